#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvel {

// Full capture blocks on their way from the source's thread to the owner thread, oldest
// first. A fixed pool of equal slots is reserved once; a slot's memory is touched only when it
// is first filled, and freed slots are filled again most recently freed first, so a queue that
// stays short keeps few pages however large its capacity is.
//
// Neither side ever waits, locks or allocates: the producer fills one slot at a time and
// publishes it, the consumer reads the oldest published block and releases it. When every
// slot is full the producer gets none and must drop (and count) what it has.
//
// Thread contract: one producer thread calls acquire and publish; one consumer thread calls
// front and pop; queued() may be read from any thread.
class BlockQueue {
public:
    struct Block {
        std::uint8_t* data = nullptr;
        std::size_t bytes = 0;
    };

    // `slotCount` slots of `blockBytes` bytes. An invalid queue (no memory, or a size of 0) has no
    // slot to give.
    BlockQueue(std::size_t slotCount, std::size_t blockBytes);

    BlockQueue(const BlockQueue&) = delete;
    BlockQueue& operator=(const BlockQueue&) = delete;

    bool valid() const { return m_slots != 0; }

    // Producer: a free slot to fill (the queue's block size), kept until it is published; nullptr
    // when every slot is queued or being read. Asking again before publishing returns the same.
    std::uint8_t* acquire();
    // Producer: the acquired slot, holding `bytes` bytes, becomes the newest queued block.
    void publish(std::size_t bytes);

    // Consumer: the oldest queued block; false when none is queued.
    bool front(Block& out) const;
    // Consumer: releases the block front() gave; its slot may be filled again.
    void pop();

    // Blocks queued and not yet popped (any thread).
    std::size_t queued() const;
    // Producer: slots it can still fill, the one it holds included.
    std::size_t freeSlots() const;

private:
    static constexpr std::uint32_t kNone = 0;  // free-list links hold slot + 1

    std::size_t m_slots = 0;
    std::size_t m_blockBytes = 0;
    std::unique_ptr<std::uint8_t[]> m_memory;
    std::unique_ptr<std::size_t[]> m_length;               // per slot, set before publishing
    std::unique_ptr<std::uint32_t[]> m_order;              // queued slots, m_slots entries
    std::unique_ptr<std::atomic<std::uint32_t>[]> m_next;  // free-list links
    std::atomic<std::uint32_t> m_freeHead{kNone};
    std::atomic<std::size_t> m_freeCount{0};
    std::atomic<std::size_t> m_head{0};  // consumer: blocks popped so far
    std::atomic<std::size_t> m_tail{0};  // producer: blocks published so far
    std::uint32_t m_current = kNone;     // producer: the acquired slot + 1
};

}  // namespace orvel
