#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "audio/AudioFormat.h"

namespace orvel {

class SignalDetector;

// A block-level noise gate: it opens on the first block whose level reaches the threshold and
// closes (fills whole blocks with silence) once the level has stayed below it for the release
// time. The level of a block is the detector's average of that block, of both channels for
// stereo. It starts closed and keeps its state across recordings.
//
// Thread contract: called on the GUI thread only (the block handler).
class NoiseGate {
public:
    // Threshold as a table position 0..47 meaning (setting - 48) dB (clamped).
    void setThreshold(int setting);
    // Whole seconds of continuous quiet before blocks are silenced (negative reads as 0).
    void setReleaseTime(int seconds);

    // Gates one block that `detection` has just measured; `nowSeconds` is the current time in
    // whole seconds of any steady clock. Returns true when the block was silenced.
    bool apply(std::uint8_t* data, std::size_t length, const AudioFormat& format,
               const SignalDetector& detection, std::int64_t nowSeconds);

    bool open() const { return m_signalSeen; }

private:
    int m_threshold = 0;
    int m_releaseSeconds = 0;
    bool m_signalSeen = false;
    // Quiet since the beginning of time: a gate that never heard signal is closed.
    std::int64_t m_quietSince = std::numeric_limits<std::int64_t>::min();
};

}  // namespace orvel
