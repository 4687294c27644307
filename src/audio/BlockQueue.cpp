#include "audio/BlockQueue.h"

#include <limits>
#include <new>

namespace orvel {

BlockQueue::BlockQueue(std::size_t slotCount, std::size_t blockBytes) {
    const std::size_t slots = slotCount;
    if (slots == 0 || blockBytes == 0 || slots >= std::numeric_limits<std::uint32_t>::max() ||
        slots > std::numeric_limits<std::size_t>::max() / blockBytes) {
        return;
    }
    // Not filled: the pages of slots never used are never committed.
    m_memory.reset(new (std::nothrow) std::uint8_t[slots * blockBytes]);
    m_length.reset(new (std::nothrow) std::size_t[slots]);
    m_order.reset(new (std::nothrow) std::uint32_t[slots]);
    m_next.reset(new (std::nothrow) std::atomic<std::uint32_t>[slots]);
    if (!m_memory || !m_length || !m_order || !m_next) {
        return;
    }
    // Slot 0 on top, so that a short queue keeps to the first slots.
    for (std::size_t i = 0; i < slots; ++i) {
        m_next[i].store(i + 1 < slots ? static_cast<std::uint32_t>(i + 2) : kNone,
                        std::memory_order_relaxed);
    }
    m_freeHead.store(1, std::memory_order_release);
    m_freeCount.store(slots, std::memory_order_release);
    m_slots = slots;
    m_blockBytes = blockBytes;
}

std::uint8_t* BlockQueue::acquire() {
    if (m_current == kNone) {
        // Only this thread takes from the free list, so the head it read cannot have been taken
        // and put back in between: the link read with it is still the one to install.
        std::uint32_t head = m_freeHead.load(std::memory_order_acquire);
        while (head != kNone && !m_freeHead.compare_exchange_weak(
                                    head, m_next[head - 1].load(std::memory_order_relaxed),
                                    std::memory_order_acq_rel, std::memory_order_acquire)) {
        }
        if (head == kNone) {
            return nullptr;
        }
        m_freeCount.fetch_sub(1, std::memory_order_relaxed);
        m_current = head;
    }
    return m_memory.get() + (m_current - 1) * m_blockBytes;
}

void BlockQueue::publish(std::size_t bytes) {
    if (m_current == kNone) {
        return;
    }
    const std::size_t slot = m_current - 1;
    m_length[slot] = bytes < m_blockBytes ? bytes : m_blockBytes;
    const std::size_t tail = m_tail.load(std::memory_order_relaxed);
    m_order[tail % m_slots] = static_cast<std::uint32_t>(slot);
    m_tail.store(tail + 1, std::memory_order_release);
    m_current = kNone;
}

bool BlockQueue::front(Block& out) const {
    if (m_slots == 0) {
        return false;
    }
    const std::size_t head = m_head.load(std::memory_order_relaxed);
    if (head == m_tail.load(std::memory_order_acquire)) {
        return false;
    }
    const std::uint32_t slot = m_order[head % m_slots];
    out = {m_memory.get() + slot * m_blockBytes, m_length[slot]};
    return true;
}

void BlockQueue::pop() {
    const std::size_t head = m_head.load(std::memory_order_relaxed);
    if (m_slots == 0 || head == m_tail.load(std::memory_order_acquire)) {
        return;
    }
    const std::uint32_t slot = m_order[head % m_slots];
    m_head.store(head + 1, std::memory_order_release);
    std::uint32_t top = m_freeHead.load(std::memory_order_relaxed);
    do {
        m_next[slot].store(top, std::memory_order_relaxed);
    } while (!m_freeHead.compare_exchange_weak(top, slot + 1, std::memory_order_release,
                                               std::memory_order_relaxed));
    m_freeCount.fetch_add(1, std::memory_order_relaxed);
}

std::size_t BlockQueue::queued() const {
    const std::size_t head = m_head.load(std::memory_order_acquire);
    const std::size_t tail = m_tail.load(std::memory_order_acquire);
    return tail >= head ? tail - head : 0;
}

std::size_t BlockQueue::freeSlots() const {
    return m_freeCount.load(std::memory_order_relaxed) + (m_current != kNone ? 1 : 0);
}

}  // namespace orvel
