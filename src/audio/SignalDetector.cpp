#include "audio/SignalDetector.h"

#include "audio/LevelTables.h"

namespace orvel {

void SignalDetector::setThreshold(int setting) {
    m_threshold = clampThresholdSetting(setting);
}

bool SignalDetector::detect(std::uint8_t* data, std::size_t length, const AudioFormat& format) {
    const bool sixteen = format.is16Bit();
    const std::size_t n = sixteen ? length / 2 : length;
    if (n == 0) {
        return false;
    }
    const bool mono = !format.isStereo();
    std::uint64_t sums[2] = {0, 0};
    std::size_t quiet = 0;

    if (sixteen) {
        const auto threshold = static_cast<std::uint32_t>(LevelTable16::threshold(m_threshold));
        const auto floor = static_cast<std::uint32_t>(LevelTable16::kEntries[kLevelSteps - 1]);
        for (std::size_t k = 0; k < n; ++k) {
            std::uint8_t* sample = data + 2 * k;
            const std::uint32_t magnitude = magnitude16(sample);
            sums[mono ? 0 : k % 2] += magnitude;
            if (magnitude < threshold) {
                ++quiet;
            }
            if (magnitude < floor) {
                sample[0] = 0;
                sample[1] = 0;
            }
        }
    } else {
        const auto threshold = static_cast<std::uint32_t>(LevelTable8::threshold(m_threshold) + 5);
        for (std::size_t k = 0; k < n; ++k) {
            const std::uint32_t magnitude = magnitude8(data[k]);
            sums[mono ? 0 : k % 2] += magnitude;
            if (magnitude < threshold) {
                ++quiet;
            }
        }
    }

    // A stereo block of a single sample holds no whole frame; it still counts as one.
    std::size_t divisor = mono ? n : n / 2;
    if (divisor == 0) {
        divisor = 1;
    }
    m_leftAverage = static_cast<std::uint32_t>(sums[0] / divisor);
    m_rightAverage = static_cast<std::uint32_t>(sums[1] / divisor);
    m_strong = quiet < n / 3;
    return quiet <= 2 * n / 3;
}

}  // namespace orvel
