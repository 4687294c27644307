#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "audio/BlockQueue.h"
#include "audio/CaptureSource.h"

namespace orvel {

// Assembles a capture source's pieces into blocks of exactly the run's block size and queues
// them for the owner thread, waking it when it is not already due to look. A block the owner has
// not handled is never overwritten: only when every slot of the queue is taken is what cannot be
// placed dropped, and counted.
//
// Thread contract: the CaptureConsumer methods run on the source's thread (the hooks are called
// there); publishPartial, rearmWakeUp, nextFull, releaseHandled, close and setRingSpace on the
// owner thread; notifyRoom on the owner or the writer thread; blocked, queuedBlocks and dropped
// on any thread.
class CaptureAssembler : public CaptureConsumer {
public:
    struct Hooks {
        std::function<void()> wakeOwner;  // blocks wait for the owner: post it an event
        std::function<void(CaptureEnd, const std::string&)> sourceEnded;
        // A source that is not live starts waiting for room: whoever drains the ring must not
        // wait for the source in turn.
        std::function<void()> sourceWaits;
    };

    CaptureAssembler(std::size_t slotCount, std::size_t blockBytes, std::uint8_t silence,
                     Hooks hooks);

    bool valid() const { return m_queue.valid(); }

    void onCapturedData(const std::uint8_t* data, std::size_t bytes) override;
    void onCaptureEnded(CaptureEnd reason, const std::string& detail) override;
    std::size_t waitForRoom(std::size_t wanted, std::chrono::milliseconds timeout) override;

    // Whether a source that is not live waits for the ring to make room.
    bool blocked() const { return m_blocked; }
    // A block was released, or the ring made room.
    void notifyRoom();
    // The run is ending: a source waiting for room waits no longer.
    void close();
    // The ring's free space, when there is a ring to keep from overflowing.
    void setRingSpace(std::function<std::size_t()> space) { m_ringSpace = std::move(space); }

    // After the source has stopped: the partly filled block becomes the last one.
    void publishPartial();
    // The wake-up event arrived; blocks queued from now on post another one.
    void rearmWakeUp() { m_wakeUpPosted.store(false); }
    // The oldest full block, if any, and its release once handled.
    bool nextFull(BlockQueue::Block& out) const { return m_queue.front(out); }
    void releaseHandled();
    std::size_t queuedBlocks() const { return m_queue.queued(); }

    std::uint64_t dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    std::size_t roomNow(std::size_t wanted) const;
    void publishCurrent();

    std::size_t m_blockBytes;
    std::uint8_t m_silence;
    Hooks m_hooks;
    BlockQueue m_queue;
    std::size_t m_fill = 0;  // source thread: bytes in the slot being filled
    std::atomic<std::uint64_t> m_dropped{0};
    std::atomic<bool> m_wakeUpPosted{false};

    std::mutex m_roomMutex;
    std::condition_variable m_room;
    bool m_closing = false;
    std::atomic<bool> m_blocked{false};
    std::function<std::size_t()> m_ringSpace;
};

}  // namespace orvel
