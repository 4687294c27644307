#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace orvel {

// Captured blocks (already gated and filtered) that a run did not write, kept so that a passage
// can be written from where it really began:
// - the pre-roll: the last few blocks before the passage, so that the file starts a set time
//   before its first loud block;
// - the onset: while the run is paused, the blocks from the first strong block since the pause
//   on, so that a pause lifted by the signal a moment later does not lose the passage's start.
//
// Both are bounded: the pre-roll by the slots it was given, the onset by its own slots. An
// onset that outgrows them (the pause was not lifted in time) is let go, and the next strong
// block starts a new one; its last blocks become the pre-roll as any other blocks would.
// Storage is reserved once per run; nothing is allocated per block.
//
// Thread contract: owner thread only.
class HeldBlocks {
public:
    // Reserves room for `maxPreRoll` pre-roll slots and `onsetSlots` onset slots of
    // `blockBytes` each, and forgets everything held. False when the memory cannot be had (then
    // nothing is held).
    bool reset(std::size_t blockBytes, std::size_t maxPreRoll, std::size_t onsetSlots);
    // How many blocks before a passage are kept (at most the reserved maximum).
    void setPreRoll(std::size_t blocks);
    std::size_t preRoll() const { return m_preRoll; }

    // Keeps a block that was not written. `onset`: the block may start an onset (a strong
    // block while paused). A block longer than a slot is not kept.
    void keep(const std::uint8_t* data, std::size_t bytes, bool onset);
    // Whether an onset is held.
    bool holdsOnset() const { return m_onset; }
    std::size_t count() const { return m_count; }

    // Hands every held block to `write`, oldest first, then forgets them.
    void release(const std::function<void(const std::uint8_t*, std::size_t)>& write);
    void clear();

private:
    void dropOldest();
    void trimPreRoll();

    std::size_t m_blockBytes = 0;
    std::size_t m_slots = 0;
    std::size_t m_maxPreRoll = 0;
    std::size_t m_onsetSlots = 0;
    std::unique_ptr<std::uint8_t[]> m_memory;
    std::unique_ptr<std::size_t[]> m_length;
    std::size_t m_first = 0;  // slot of the oldest block
    std::size_t m_count = 0;
    std::size_t m_preRoll = 0;
    bool m_onset = false;
    std::size_t m_onsetCount = 0;  // blocks from the onset on (the newest ones)
};

}  // namespace orvel
