#include "audio/HeldBlocks.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orvel {

bool HeldBlocks::reset(std::size_t blockBytes, std::size_t maxPreRoll, std::size_t onsetSlots) {
    clear();
    m_memory.reset();
    m_length.reset();
    m_blockBytes = 0;
    m_slots = 0;
    m_maxPreRoll = 0;
    m_onsetSlots = 0;
    m_preRoll = 0;
    const std::size_t total = maxPreRoll + onsetSlots;
    if (blockBytes == 0 || total == 0) {
        return total == 0;
    }
    // Not filled: a run that never pauses or waits for a signal never touches it.
    m_memory.reset(new (std::nothrow) std::uint8_t[total * blockBytes]);
    m_length.reset(new (std::nothrow) std::size_t[total]);
    if (!m_memory || !m_length) {
        m_memory.reset();
        m_length.reset();
        return false;
    }
    m_blockBytes = blockBytes;
    m_slots = total;
    m_maxPreRoll = maxPreRoll;
    m_onsetSlots = onsetSlots;
    return true;
}

void HeldBlocks::setPreRoll(std::size_t blocks) {
    m_preRoll = std::min(blocks, m_maxPreRoll);
    trimPreRoll();
}

void HeldBlocks::keep(const std::uint8_t* data, std::size_t bytes, bool onset) {
    if (m_slots == 0 || bytes > m_blockBytes) {
        return;
    }
    if (m_onset && m_onsetCount == m_onsetSlots) {
        // The pause outlasted the onset: what was held of it counts as any unwritten sound.
        m_onset = false;
        m_onsetCount = 0;
        trimPreRoll();
    }
    if (!m_onset && onset && m_onsetSlots > 0) {
        m_onset = true;
        m_onsetCount = 0;
    }
    if (!m_onset && m_preRoll == 0) {
        clear();
        return;
    }
    if (m_count == m_slots) {
        dropOldest();
    }
    const std::size_t slot = (m_first + m_count) % m_slots;
    std::memcpy(m_memory.get() + slot * m_blockBytes, data, bytes);
    m_length[slot] = bytes;
    ++m_count;
    if (m_onset) {
        ++m_onsetCount;
    } else {
        trimPreRoll();
    }
}

void HeldBlocks::release(const std::function<void(const std::uint8_t*, std::size_t)>& write) {
    for (std::size_t i = 0; i < m_count; ++i) {
        const std::size_t slot = (m_first + i) % m_slots;
        write(m_memory.get() + slot * m_blockBytes, m_length[slot]);
    }
    clear();
}

void HeldBlocks::clear() {
    m_first = 0;
    m_count = 0;
    m_onset = false;
    m_onsetCount = 0;
}

void HeldBlocks::dropOldest() {
    m_first = (m_first + 1) % m_slots;
    --m_count;
}

void HeldBlocks::trimPreRoll() {
    // The blocks before the onset (all of them when none is held) are the pre-roll.
    while (m_count > m_onsetCount + m_preRoll) {
        dropOldest();
    }
}

}  // namespace orvel
