#include "audio/BiquadFilter.h"

#include <cmath>
#include <limits>

namespace orvel {

namespace {

// Truncation toward zero that stays defined for every value: an unstable filter (a cutoff
// above half the sample rate) can grow its unclamped state without bound.
std::int32_t truncateToInt32(long double y) {
    if (std::isnan(y)) {
        return 0;
    }
    if (y >= static_cast<long double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (y <= static_cast<long double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(y);
}

std::int16_t clampToSample(std::int32_t y) {
    if (y > std::numeric_limits<std::int16_t>::max()) {
        return std::numeric_limits<std::int16_t>::max();
    }
    if (y < std::numeric_limits<std::int16_t>::min()) {
        return std::numeric_limits<std::int16_t>::min();
    }
    return static_cast<std::int16_t>(y);
}

}  // namespace

void BiquadFilter::setCutoff(int cutoffHz, float q) {
    m_cutoff = cutoffHz;
    m_q = q;
    recompute();
}

void BiquadFilter::recompute() {
    m_coefficients = computeCoefficients();
}

BiquadFilter::Prewarp BiquadFilter::prewarp() const {
    const float omega =
        2.0f * 3.1415925f * static_cast<float>(m_cutoff) / static_cast<float>(m_sampleRate);
    const float alpha = std::sin(omega) / (2.0f * m_q);
    return {std::cos(omega), alpha, 1.0f / (1.0f + alpha)};
}

void BiquadFilter::process(std::int16_t* samples, std::size_t frames, int channels,
                           int sampleRate) {
    if (sampleRate <= 0 || (channels != 1 && channels != 2)) {
        return;
    }
    if (sampleRate != m_sampleRate) {
        m_sampleRate = sampleRate;
        recompute();
    }
    const long double b0 = m_coefficients.b0;
    const long double b1 = m_coefficients.b1;
    const long double b2 = m_coefficients.b2;
    const long double a1 = m_coefficients.a1;
    const long double a2 = m_coefficients.a2;
    // Mono keeps the clamped output as its state, stereo the output before clamping.
    const bool stateClamped = channels == 1;
    const auto count = frames * static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < count; ++i) {
        ChannelState& s = m_state[i % static_cast<std::size_t>(channels)];
        const std::int32_t x = samples[i];
        const std::int32_t y =
            truncateToInt32(b0 * x + b1 * s.x1 + b2 * s.x2 - a1 * s.y1 - a2 * s.y2);
        const std::int16_t out = clampToSample(y);
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = stateClamped ? out : y;
        samples[i] = out;
    }
}

}  // namespace orvel
