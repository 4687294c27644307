#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace orvel {

// A byte ring between the thread that queues captured (or decoded) audio and the writer
// thread that drains it. Bytes that do not fit are dropped and counted: the older data is
// kept, never overwritten.
//
// Thread contract: one producer calls append, one consumer calls take; every other method is
// safe from any thread. All state changes happen under the ring's own lock.
class BlockRing {
public:
    // A ring of `capacity` bytes. A capacity of 0, or memory that cannot be had, gives an
    // invalid ring: appends and takes then do nothing.
    explicit BlockRing(std::size_t capacity);

    BlockRing(const BlockRing&) = delete;
    BlockRing& operator=(const BlockRing&) = delete;

    bool valid() const { return m_capacity != 0; }
    std::size_t capacity() const { return m_capacity; }

    // Queues min(bytes, free space) bytes; returns how many were queued.
    std::size_t append(const std::uint8_t* data, std::size_t bytes);
    // Moves min(bytes, fill) bytes into dest; returns how many were moved.
    std::size_t take(std::uint8_t* dest, std::size_t bytes);

    std::size_t fill() const;
    std::size_t freeSpace() const;
    // Bytes dropped by append because the ring was full, since construction.
    std::uint64_t droppedBytes() const;

    // Low water: once armed, the first take that leaves more than `freeThreshold` bytes free
    // signals it and disarms it. A producer that must not overrun the ring waits for it.
    void armLowWater(std::size_t freeThreshold);
    // Waits until the armed low-water mark was signalled, or the timeout passed; returns
    // whether it was signalled. Returns true at once when nothing is armed.
    bool waitLowWater(std::chrono::milliseconds timeout);

private:
    std::size_t m_capacity = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    mutable std::mutex m_mutex;
    std::condition_variable m_lowWaterSignal;
    std::size_t m_read = 0;
    std::size_t m_write = 0;
    std::size_t m_fill = 0;
    std::uint64_t m_dropped = 0;
    bool m_lowWaterArmed = false;
    std::size_t m_lowWaterThreshold = 0;
};

// The ring budget for a recording: `base` bytes (80000, or 160000 with background music) or
// half the available physical memory when that is larger, never more than `upperBound`
// (64 MiB: six minutes of 48 kHz stereo); 0 when even half the base cannot be had.
std::size_t ringCapacity(std::size_t base, std::uint64_t availableMemory,
                         std::size_t upperBound = std::size_t(64) << 20);
// The physical memory available now (MemAvailable of /proc/meminfo); 0 when unknown.
std::uint64_t availablePhysicalMemory();

}  // namespace orvel
