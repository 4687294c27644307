#include "audio/LevelTables.h"

#include <algorithm>

namespace orvel {

namespace {

template <std::size_t N>
int firstBelow(const std::array<std::int32_t, N>& entries, std::int64_t amplitude) {
    for (std::size_t i = 0; i < N; ++i) {
        if (entries[i] < amplitude) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(N);
}

}  // namespace

int clampThresholdSetting(int setting) {
    return std::clamp(setting, 0, kLevelSteps - 1);
}

int LevelTable16::levelIndex(std::uint32_t amplitude) {
    return firstBelow(kEntries, amplitude);
}

int LevelTable8::levelIndex(std::uint32_t amplitude) {
    return firstBelow(kEntries, amplitude % 256);
}

}  // namespace orvel
