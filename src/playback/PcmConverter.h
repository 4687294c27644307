#pragma once

#include <cstdint>
#include <vector>

#include "audio/AudioFormat.h"
#include "playback/MediaFile.h"

struct SwrContext;

namespace orvel {

// Converts decoded runs of a media file into interleaved PCM of one format: the speakers'
// stream or the PCM tap (channels 1 or 2, 8 or 16 bits, any sample rate). Channels are mixed
// down or up, the rate is converted, 8-bit output is unsigned around 0x80.
//
// The output keeps the input's timing: after reset() the first output sample belongs to the
// first input sample, and the samples still held in the rate converter come out with flush().
//
// Thread contract: one thread at a time (the player's decode thread).
class PcmConverter {
public:
    explicit PcmConverter(const AudioFormat& target);
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    const AudioFormat& target() const { return m_target; }

    // Appends the run, converted, to `out`. False when no conversion exists for the run's
    // format (nothing is appended then).
    bool convert(const DecodedAudio& run, std::vector<std::uint8_t>& out);
    // Appends what the rate converter still holds (at the end of the stream).
    void flush(std::vector<std::uint8_t>& out);
    // Forgets what the rate converter holds (after a seek).
    void reset();

private:
    bool configure(const AVFrame* frame);
    void drainInto(std::vector<std::uint8_t>& out, const std::uint8_t** in, int samples);

    AudioFormat m_target;
    SwrContext* m_swr = nullptr;
    int m_inRate = 0;
    int m_inFormat = -1;
    int m_inChannels = 0;
    std::uint64_t m_inMask = 0;
    bool m_holds = false;  // input went in since the last flush or reset
};

}  // namespace orvel
