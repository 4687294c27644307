#include "audio/CaptureAssembler.h"

#include <algorithm>
#include <cstring>

namespace orvel {

CaptureAssembler::CaptureAssembler(std::size_t slotCount, std::size_t blockBytes,
                                   std::uint8_t silence, Hooks hooks)
    : m_blockBytes(blockBytes),
      m_silence(silence),
      m_hooks(std::move(hooks)),
      m_queue(slotCount, blockBytes) {}

void CaptureAssembler::onCapturedData(const std::uint8_t* data, std::size_t bytes) {
    while (bytes > 0) {
        std::uint8_t* block = m_queue.acquire();
        if (block == nullptr) {
            m_dropped.fetch_add(bytes, std::memory_order_relaxed);
            return;
        }
        const std::size_t n = std::min(bytes, m_blockBytes - m_fill);
        if (data != nullptr) {
            std::memcpy(block + m_fill, data, n);
            data += n;
        } else {
            std::memset(block + m_fill, m_silence, n);
        }
        m_fill += n;
        bytes -= n;
        if (m_fill == m_blockBytes) {
            publishCurrent();
        }
    }
}

void CaptureAssembler::onCaptureEnded(CaptureEnd reason, const std::string& detail) {
    m_hooks.sourceEnded(reason, detail);
}

std::size_t CaptureAssembler::waitForRoom(std::size_t wanted, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_roomMutex);
    std::size_t room = m_closing ? 0 : roomNow(wanted);
    if (room == 0 && !m_closing && !m_blocked.exchange(true)) {
        m_hooks.sourceWaits();
    }
    m_room.wait_for(lock, timeout, [&] {
        room = m_closing ? 0 : roomNow(wanted);
        return m_closing || room > 0;
    });
    if (room > 0) {
        m_blocked = false;
    }
    return room;
}

void CaptureAssembler::notifyRoom() {
    { std::lock_guard lock(m_roomMutex); }
    m_room.notify_all();
}

void CaptureAssembler::close() {
    {
        std::lock_guard lock(m_roomMutex);
        m_closing = true;
    }
    m_room.notify_all();
}

void CaptureAssembler::publishPartial() {
    if (m_fill > 0) {
        publishCurrent();
    }
}

void CaptureAssembler::releaseHandled() {
    m_queue.pop();
    notifyRoom();
}

// Bytes that fit into the queue's free slots, and that the ring can take even with every queued
// block still to come.
std::size_t CaptureAssembler::roomNow(std::size_t wanted) const {
    const std::size_t free = m_queue.freeSlots();
    std::size_t room = free == 0 ? 0 : free * m_blockBytes - m_fill;
    if (m_ringSpace) {
        const std::size_t inFlight = m_queue.queued() * m_blockBytes + m_fill;
        const std::size_t space = m_ringSpace();
        room = std::min(room, space > inFlight ? space - inFlight : 0);
    }
    return std::min(room, wanted);
}

void CaptureAssembler::publishCurrent() {
    m_queue.publish(m_fill);
    m_fill = 0;
    // Sequentially consistent with rearmWakeUp(): either the owner still sees this block after
    // re-arming, or this exchange sees the re-armed flag and posts again.
    if (!m_wakeUpPosted.exchange(true)) {
        m_hooks.wakeOwner();
    }
}

}  // namespace orvel
