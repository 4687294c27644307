#include "config/NoiseSettings.h"

#include <algorithm>

#include "config/SettingsStore.h"

namespace orvel {

namespace {

// clang-format off
constexpr NoiseSettings::FieldSpec kFields[NoiseSettings::kFieldCount] = {
    {setting::kNoiseThreshold,
     {-48, -1, "Please input the threshold volue between -48 and -1"}, 48, 48},
    {setting::kReleaseTime,
     {0, 25, "Please input the release time volue between 0 and 25"}, 0, 0},
    {setting::kAttackTime,
     {0, 25, "Please input the attack time value between 0 and 25"}, 0, 0},
    {setting::kLowPass,
     {10000, 20000, "Please input the low pass volue between 10000 and 20000"}, 0, -10000},
    {setting::kHighPass,
     {0, 10000, "Please input the high pass between 0 and 10000"}, 0, 0},
};
// clang-format on

}  // namespace

const NoiseSettings::FieldSpec& NoiseSettings::spec(Field field) {
    return kFields[field];
}

NoiseSettings NoiseSettings::fromStore(const SettingsStore& store) {
    NoiseSettings s;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldSpec& f = kFields[i];
        // In 64 bits: a stored value near the 32-bit limits must not wrap.
        const long long shown =
            static_cast<long long>(store.readNumber(f.setting)) - f.storedOffset;
        s.shown[i] =
            static_cast<int>(std::clamp<long long>(shown, f.shown.minimum, f.shown.maximum));
    }
    return s;
}

void NoiseSettings::write(const SettingsStore& store) const {
    for (int i = 0; i < kFieldCount; ++i) {
        store.writeNumber(kFields[i].setting, shown[i] + kFields[i].storedOffset);
    }
}

}  // namespace orvel
