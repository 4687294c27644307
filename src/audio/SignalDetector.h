#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/AudioFormat.h"

namespace orvel {

// Measures every captured block once: decides whether it carries signal (for signal-activated
// recording and track splitting), keeps the average level of each channel for the level display
// and the noise gate, and silences 16-bit samples below -48 dB in place.
//
// A block has signal when at least about a third of its samples reach the threshold amplitude
// (threshold setting 0..47, see LevelTables.h; 8-bit blocks add 5 to the table amplitude).
//
// Thread contract: called on the GUI thread only (the block handler and the displays).
class SignalDetector {
public:
    void setThreshold(int setting);  // clamped into 0..47

    // Measures the block and returns whether it carries signal. A block too short to hold one
    // sample gives no signal and changes nothing, not even the averages.
    bool detect(std::uint8_t* data, std::size_t length, const AudioFormat& format);

    // Average absolute amplitude of the left (or only) channel and of the right channel of the
    // last measured block; 8-bit amplitudes are distances from 128 (0..128).
    std::uint32_t leftAverage() const { return m_leftAverage; }
    std::uint32_t rightAverage() const { return m_rightAverage; }
    // Fewer than a third of the last block's samples were quiet.
    bool strongSignal() const { return m_strong; }

private:
    int m_threshold = 0;
    std::uint32_t m_leftAverage = 0;
    std::uint32_t m_rightAverage = 0;
    bool m_strong = false;
};

}  // namespace orvel
