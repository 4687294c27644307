#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvel {

// A second-order IIR filter on 16-bit PCM (mono or stereo, interleaved), in the direct form
// y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 with 32-bit float coefficients. The variants supply
// the coefficients from the cutoff, the quality factor and the sample rate.
//
// The state (two inputs and two outputs per channel) is carried from block to block and from
// recording to recording; it is never reset. Until a cutoff is set the coefficients are all 1,
// which passes the signal unchanged.
//
// Thread contract: called on the GUI thread only (the block handler and the front face).
class BiquadFilter {
public:
    struct Coefficients {
        float b0 = 1.0f;
        float b1 = 1.0f;
        float b2 = 1.0f;
        float a1 = 1.0f;
        float a2 = 1.0f;
    };

    virtual ~BiquadFilter() = default;
    BiquadFilter(const BiquadFilter&) = delete;
    BiquadFilter& operator=(const BiquadFilter&) = delete;

    // Filters `frames` frames in place. A sample rate different from the last one is kept and
    // the coefficients recomputed first; a rate of 0 or less, or a channel count other than 1
    // or 2, leaves the samples untouched.
    virtual void process(std::int16_t* samples, std::size_t frames, int channels, int sampleRate);

    // Stores the cutoff (Hz) and quality factor and recomputes the coefficients for the current
    // sample rate. Cutoffs at or above half the sample rate are not refused.
    void setCutoff(int cutoffHz, float q);

    int sampleRate() const { return m_sampleRate; }
    const Coefficients& coefficients() const { return m_coefficients; }

protected:
    BiquadFilter() = default;

    // The angular frequency of the cutoff, its sine-derived alpha and the normaliser
    // 1 / (1 + alpha), as both variants use them.
    struct Prewarp {
        float cosOmega;
        float alpha;
        float norm;
    };
    Prewarp prewarp() const;

    virtual Coefficients computeCoefficients() const = 0;

private:
    struct ChannelState {
        std::int32_t x1 = 0;
        std::int32_t x2 = 0;
        std::int32_t y1 = 0;
        std::int32_t y2 = 0;
    };

    void recompute();

    std::int32_t m_sampleRate = 44100;
    std::int32_t m_cutoff = 1000;
    float m_q = 1.0f;
    Coefficients m_coefficients;
    std::array<ChannelState, 2> m_state;
};

}  // namespace orvel
