#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "audio/CaptureEngine.h"
#include "playback/BackgroundSettings.h"

namespace orvel {

// Mixes background music into a 16-bit recording, sample by sample, in whole numbers:
//
// Stereo, for each pair of recording (rL, rR) and background (bL, bR):
//   1. recording gain g = 2(100 - S)/100, background gain t = 2S/100 (S the mix ratio);
//   2. l = trunc(g x rL), h = trunc(g x rR);
//   3. with voice removal the background becomes, in both channels: bL - bR (vocal choice 0,
//      a voice equal in both channels cancels), bR (1) or bL (2);
//   4. left u and right v start at 0; the background adds trunc(t x bL) to u and
//      trunc(t x bR) to v (route 0), only the first (1, left only) or only the second (2);
//   5. the recording adds l to u and h to v (route 0), only l to u (1) or only h to v (2);
//   6. u and v are clamped to -32768..32767.
// The products are exact (2(100 - S) x r / 100 with the division truncated toward zero), not
// taken through a rounded decimal factor.
//
// Mono recordings have one channel on both sides: each sample is trunc(g x r) + trunc(t x b),
// clamped. Routes and voice removal need two channels and do not apply (the background reaches
// a mono recording already mixed down to one channel).
//
// Thread contract: mix may run on any thread (the writer's); setScale on any other, at any
// time: each call of mix takes the ratio once, so a chunk is never mixed with two ratios.
class BackgroundMixer : public BackgroundMix {
public:
    explicit BackgroundMixer(const BackgroundSettings& settings);

    // A new mix ratio S for the chunks mixed from now on (the front face's balance slider);
    // clamped to 0..100.
    void setScale(int scale);
    int scale() const { return m_scale.load(std::memory_order_relaxed); }

    void mix(const std::int16_t* recording, const std::int16_t* background, std::int16_t* out,
             std::size_t samples, int channels) const override;

    // One stereo pair, as mix computes it.
    void mixPair(std::int32_t rL, std::int32_t rR, std::int32_t bL, std::int32_t bR,
                 std::int16_t& left, std::int16_t& right) const;

private:
    void mixPair(std::int32_t scale, std::int32_t rL, std::int32_t rR, std::int32_t bL,
                 std::int32_t bR, std::int16_t& left, std::int16_t& right) const;

    std::atomic<int> m_scale;  // S; the gains are 2(100 - S) and 2S, x 100
    int m_backgroundRoute;
    int m_recordingRoute;
    bool m_removeVoice;
    int m_vocal;
};

}  // namespace orvel
