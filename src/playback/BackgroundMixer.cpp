#include "playback/BackgroundMixer.h"

#include <algorithm>

namespace orvel {

namespace {

std::int16_t clamp16(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767));
}

}  // namespace

BackgroundMixer::BackgroundMixer(const BackgroundSettings& settings) {
    const BackgroundSettings s = settings.normalised();
    m_scale = s.scale;
    m_backgroundRoute = s.backgroundChannel;
    m_recordingRoute = s.recordingChannel;
    m_removeVoice = s.removeVoice;
    m_vocal = s.vocalChannel;
}

void BackgroundMixer::setScale(int scale) {
    m_scale.store(std::clamp(scale, 0, 100), std::memory_order_relaxed);
}

void BackgroundMixer::mixPair(std::int32_t rL, std::int32_t rR, std::int32_t bL, std::int32_t bR,
                              std::int16_t& left, std::int16_t& right) const {
    mixPair(scale(), rL, rR, bL, bR, left, right);
}

void BackgroundMixer::mixPair(std::int32_t scale, std::int32_t rL, std::int32_t rR, std::int32_t bL,
                              std::int32_t bR, std::int16_t& left, std::int16_t& right) const {
    const std::int32_t recordingGain = 2 * (100 - scale);
    const std::int32_t backgroundGain = 2 * scale;
    const std::int32_t l = recordingGain * rL / 100;
    const std::int32_t h = recordingGain * rR / 100;
    if (m_removeVoice) {
        const std::int32_t voiceless = m_vocal == BackgroundSettings::RightChannel  ? bR
                                       : m_vocal == BackgroundSettings::LeftChannel ? bL
                                                                                    : bL - bR;
        bL = voiceless;
        bR = voiceless;
    }
    std::int32_t u = 0;
    std::int32_t v = 0;
    if (m_backgroundRoute != BackgroundSettings::RightOnly) {
        u += backgroundGain * bL / 100;
    }
    if (m_backgroundRoute != BackgroundSettings::LeftOnly) {
        v += backgroundGain * bR / 100;
    }
    if (m_recordingRoute != BackgroundSettings::RightOnly) {
        u += l;
    }
    if (m_recordingRoute != BackgroundSettings::LeftOnly) {
        v += h;
    }
    left = clamp16(u);
    right = clamp16(v);
}

void BackgroundMixer::mix(const std::int16_t* recording, const std::int16_t* background,
                          std::int16_t* out, std::size_t samples, int channels) const {
    const std::int32_t s = scale();
    if (channels != 2) {
        const std::int32_t recordingGain = 2 * (100 - s);
        const std::int32_t backgroundGain = 2 * s;
        for (std::size_t i = 0; i < samples; ++i) {
            out[i] =
                clamp16(recordingGain * recording[i] / 100 + backgroundGain * background[i] / 100);
        }
        return;
    }
    for (std::size_t i = 0; i + 1 < samples; i += 2) {
        mixPair(s, recording[i], recording[i + 1], background[i], background[i + 1], out[i],
                out[i + 1]);
    }
}

}  // namespace orvel
