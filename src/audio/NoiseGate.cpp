#include "audio/NoiseGate.h"

#include <algorithm>
#include <cstring>

#include "audio/LevelTables.h"
#include "audio/SignalDetector.h"

namespace orvel {

void NoiseGate::setThreshold(int setting) {
    m_threshold = clampThresholdSetting(setting);
}

void NoiseGate::setReleaseTime(int seconds) {
    m_releaseSeconds = std::max(seconds, 0);
}

bool NoiseGate::apply(std::uint8_t* data, std::size_t length, const AudioFormat& format,
                      const SignalDetector& detection, std::int64_t nowSeconds) {
    const std::uint32_t threshold =
        static_cast<std::uint32_t>(format.is16Bit() ? LevelTable16::threshold(m_threshold)
                                                    : LevelTable8::threshold(m_threshold));
    const std::uint32_t level =
        format.isStereo()
            ? static_cast<std::uint32_t>(
                  (static_cast<std::uint64_t>(detection.leftAverage()) + detection.rightAverage()) /
                  2)
            : detection.leftAverage();

    if (level >= threshold) {
        m_signalSeen = true;
        return false;
    }
    if (m_signalSeen) {
        m_quietSince = nowSeconds;
        m_signalSeen = false;
        return false;
    }
    // Compared without subtracting, so that the initial "quiet forever" cannot overflow.
    if (nowSeconds - m_releaseSeconds < m_quietSince) {
        return false;
    }
    if (length == 0) {
        return false;
    }
    std::memset(data, format.silenceByte(), length);
    return true;
}

}  // namespace orvel
