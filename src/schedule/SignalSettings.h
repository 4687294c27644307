#pragma once

#include "config/NumberField.h"

// The three values of signal-activated recording as the track-splitter window edits them: the
// threshold step 0..47 (shown as step - 48 dB), the action on silence and the silence delay in
// seconds. Read through the store's own readers, which hold each value to its range.
//
// Thread contract: a plain value, any thread; fromStore and write as SettingsStore.
namespace orvel {

class SettingsStore;

struct SignalSettings {
    // What a recording does when silence has lasted the delay (`SignalType`).
    enum Action : int { Pause = 0, Stop = 1, NewFile = 2 };

    // The fields as shown: the threshold in dB, the delay in seconds.
    static constexpr NumberField kThresholdField{
        -48, -1, "Please input the threshold volue between -48 and -1"};
    static constexpr NumberField kDelayField{0, 25,
                                             "Please input the time delay volue between 0 and 25"};
    static constexpr int kThresholdOffset = 48;  // step = shown dB + 48

    int threshold = 0;  // step 0..47
    int action = Pause;
    int delay = 0;  // seconds, 0..25

    static SignalSettings fromStore(const SettingsStore& store);
    void write(const SettingsStore& store) const;

    friend bool operator==(const SignalSettings&, const SignalSettings&) = default;
};

}  // namespace orvel
