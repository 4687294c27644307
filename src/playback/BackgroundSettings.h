#pragma once

#include <string>

namespace orvel {

class SettingsStore;

// The choices of background music: which file, the mix ratio, where the background and the
// recording go, voice removal, whether the background is heard, and what happens at the end
// of the file. Filled from the settings store by fromStore, or field by field (a command-line
// recorder sets what its options name and keeps the rest).
//
// Thread contract: a plain value, any thread; fromStore as SettingsStore.
struct BackgroundSettings {
    // Where a channel's sound goes.
    enum Route : int { Both = 0, LeftOnly = 1, RightOnly = 2 };
    // With voice removal, what both background channels become.
    enum Vocal : int { Difference = 0, RightChannel = 1, LeftChannel = 2 };
    // At the end of the background file.
    enum Action : int { Repeat = 0, StopRecording = 1, StopBackground = 2 };

    // Paths longer than this are refused rather than cut (a cut path names another file).
    static constexpr std::size_t kFileCapacity = 280;

    std::string file;
    int scale = 50;  // S, 0..100: background gain 2S/100, recording gain 2(100 - S)/100
    int backgroundChannel = Both;
    int recordingChannel = Both;
    int vocalChannel = Difference;
    bool removeVoice = false;
    bool preview = true;  // the background is heard while recording
    int action = Repeat;

    // Values outside their ranges become their defaults (the scale is clamped to 0..100).
    BackgroundSettings normalised() const;

    // "Background File", "Background Scale", "Background Channel", "Recording Channel",
    // "Vocal Channel", "Remove Voice", "Background Enable Preview", "Background Action".
    static BackgroundSettings fromStore(const SettingsStore& store);
    // Writes the same values (the file whole: a cut path would name another file).
    void write(const SettingsStore& store) const;
};

}  // namespace orvel
