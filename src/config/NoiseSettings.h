#pragma once

#include <array>

#include "config/NumberField.h"
#include "config/SettingNames.h"

// The five values of the noise gate and the two filters as the noise window shows them:
// threshold -48..-1 dB (stored + 48, so 0..47), release and attack time 0..25, low-pass cut-off
// 10000..20000 Hz and high-pass cut-off 0..10000 Hz. Loading holds every stored value to its
// range, so an out-of-range cut-off from an old or hand-edited settings file never reaches the
// filters (a negative high pass or a low pass outside its range makes the biquads unstable).
//
// Thread contract: a plain value, any thread; fromStore and write as SettingsStore.
namespace orvel {

class SettingsStore;

struct NoiseSettings {
    enum Field { Threshold, Release, Attack, LowPass, HighPass };
    static constexpr int kFieldCount = 5;

    struct FieldSpec {
        setting::NumberSetting setting;
        NumberField shown;  // the range as the field shows it, and its message
        int storedOffset;   // stored = shown + storedOffset
        int sliderOffset;   // slider value = shown + sliderOffset
    };
    static const FieldSpec& spec(Field field);

    // Values as the fields show them, indexed by Field.
    std::array<int, kFieldCount> shown{};

    int sliderValue(Field field) const { return shown[field] + spec(field).sliderOffset; }
    static int shownFromSlider(Field field, int value) { return value - spec(field).sliderOffset; }

    // The stored values held to their ranges (defaults where absent): -48, 0, 0, 20000, 0.
    static NoiseSettings fromStore(const SettingsStore& store);
    // Writes the five values in the order threshold, release, attack, low pass, high pass.
    void write(const SettingsStore& store) const;
};

}  // namespace orvel
