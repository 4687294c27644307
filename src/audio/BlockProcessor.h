#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/HeldBlocks.h"
#include "audio/HighPassFilter.h"
#include "audio/LowPassFilter.h"
#include "audio/NoiseGate.h"
#include "audio/ProcessingSettings.h"
#include "audio/SignalDetector.h"

namespace orvel {

// What the last handled block measured.
struct BlockLevels {
    std::uint32_t left = 0;  // average absolute amplitude of the last block
    std::uint32_t right = 0;
    bool strong = false;
};

// The processing of a capture run's blocks, one after the other in the order they were
// captured: each block is measured (levels, signal detection and the signal flag with its
// silence delay), gated and filtered in place, then written (handed to the sink) or held.
//
// A block is written unless the run is paused, or waits for the signal in signal-activated mode.
// What is not written is partly kept (HeldBlocks, reserved once per run):
// - While paused, the blocks from the first strong block since the pause on (at most
//   kOnsetHoldMs; a longer pause lets them go and the next strong block starts again).
//   resumeFromSignal() writes them before anything else, so a pause lifted by the signal a
//   tick later keeps the passage's onset; setPaused(false) discards them.
// - With a pre-roll (ProcessingSettings::preRollMs, at most 2 s), while paused or waiting for
//   a signal in signal-activated mode, the last preRollMs of blocks. When a loud block ends the
//   wait for a signal, or resumeFromSignal() ends a pause, they are written first, ahead of the
//   onset. setPaused(false) discards them too.
// Every block reaches the sink whole (only a length limit cuts the last one), and at most once.
//
// Nothing here waits, locks or allocates per block, and nothing knows threads or events: the
// capture engine calls it for each block on its owner thread.
//
// Thread contract: one thread at a time (the capture engine's owner thread).
class BlockProcessor {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Takes a block to write. False when it did not go to a file (the run's writing failed, or
    // the file it opens could not be opened): it is then not counted as queued.
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t bytes)>;

    // How long a held onset may grow while the pause is not lifted.
    static constexpr int kOnsetHoldMs = 3000;

    BlockProcessor();

    // The clock of the signal flag's silence delay and the noise gate; an empty one gives the
    // processor the steady clock back.
    void setClock(Clock clock);
    // Takes effect with the next block; a run's pre-roll changes at once.
    void setSettings(const ProcessingSettings& settings);

    // Reserves what a run of `blockBytes`-byte blocks in `format` holds, forgetting what was
    // held. False when the memory cannot be had.
    bool prepare(const AudioFormat& format, std::size_t blockBytes);
    // Starts the prepared run, not paused, without a signal: blocks to write go to `sink`, or,
    // without one (a run with no file), are only measured.
    void begin(Sink sink);
    // The run is ending: what is not written is no longer held.
    void stopHolding();
    // The run is over: what is held is let go.
    void end();

    // Measures, gates and filters one block in place, then writes or holds it.
    void handle(std::uint8_t* data, std::size_t bytes);

    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // Ends a pause because the signal came back: writes the pre-roll and the held onset, oldest
    // first (once the run has stopped holding, lets them go). False, and nothing changes, unless
    // paused.
    bool resumeFromSignal();
    bool onsetHeld() const { return m_held.holdsOnset(); }
    // The run writes at most this many bytes in all (cut to whole frames; 0: no limit).
    void setLengthLimit(std::uint64_t bytes);

    bool signalPresent() const { return m_signal; }
    const BlockLevels& levels() const { return m_levels; }
    // The last handled block (after detection, before gate and filters); empty when none.
    const std::vector<std::uint8_t>& latestBlock() const { return m_latestBlock; }
    // Bytes the sink took in this run.
    std::uint64_t bytesQueued() const { return m_bytesQueued; }

private:
    void measure(std::uint8_t* data, std::size_t bytes, std::chrono::steady_clock::time_point now);
    void shape(std::uint8_t* data, std::size_t bytes, std::chrono::steady_clock::time_point now);
    void write(const std::uint8_t* data, std::size_t bytes);
    void releaseHeld();
    std::size_t blocksFor(std::uint64_t milliseconds) const;

    Clock m_clock;
    ProcessingSettings m_settings;
    AudioFormat m_format;
    std::size_t m_blockBytes = 0;
    Sink m_sink;
    bool m_inRun = false;    // between begin() and end()
    bool m_holding = false;  // between begin() and stopHolding()

    bool m_paused = false;
    bool m_signal = false;
    std::chrono::steady_clock::time_point m_lastSignal;
    BlockLevels m_levels;
    std::vector<std::uint8_t> m_latestBlock;
    std::uint64_t m_bytesQueued = 0;
    std::uint64_t m_lengthLimit = 0;  // 0: none

    SignalDetector m_detector;
    NoiseGate m_gate;
    HighPassFilter m_highPass;
    LowPassFilter m_lowPass;
    HeldBlocks m_held;
};

}  // namespace orvel
