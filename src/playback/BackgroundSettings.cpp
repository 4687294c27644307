#include "playback/BackgroundSettings.h"

#include <algorithm>

#include "config/SettingsStore.h"

namespace orvel {

namespace {

int choice(int value, int fallback) {
    return value >= 0 && value <= 2 ? value : fallback;
}

}  // namespace

BackgroundSettings BackgroundSettings::normalised() const {
    BackgroundSettings s = *this;
    s.scale = std::clamp(scale, 0, 100);
    s.backgroundChannel = choice(backgroundChannel, Both);
    s.recordingChannel = choice(recordingChannel, Both);
    s.vocalChannel = choice(vocalChannel, Difference);
    s.action = choice(action, Repeat);
    return s;
}

BackgroundSettings BackgroundSettings::fromStore(const SettingsStore& store) {
    BackgroundSettings s;
    s.file = store.readText(setting::kBackgroundFile);
    s.scale = store.readNumber(setting::kBackgroundScale);
    s.backgroundChannel = store.readNumber(setting::kBackgroundChannel);
    s.recordingChannel = store.readNumber(setting::kRecordingChannel);
    s.vocalChannel = store.readNumber(setting::kVocalChannel);
    s.removeVoice = store.readNumber(setting::kRemoveVoice) != 0;
    s.preview = store.readNumber(setting::kBackgroundEnablePreview) != 0;
    s.action = store.readNumber(setting::kBackgroundAction);
    return s.normalised();
}

void BackgroundSettings::write(const SettingsStore& store) const {
    store.writeText(setting::kBackgroundFile, file);
    store.writeNumber(setting::kBackgroundScale, scale);
    store.writeNumber(setting::kBackgroundChannel, backgroundChannel);
    store.writeNumber(setting::kRecordingChannel, recordingChannel);
    store.writeNumber(setting::kVocalChannel, vocalChannel);
    store.writeNumber(setting::kRemoveVoice, removeVoice ? 1 : 0);
    store.writeNumber(setting::kBackgroundEnablePreview, preview ? 1 : 0);
    store.writeNumber(setting::kBackgroundAction, action);
}

}  // namespace orvel
