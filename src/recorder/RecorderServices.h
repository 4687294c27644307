#pragma once

#include <functional>
#include <memory>

#include "audio/CaptureSource.h"
#include "platform/SoundServer.h"

namespace orvel {

class BackgroundMusic;
class CaptureEngine;
class DeviceList;
class LameLibrary;
class LanguageTable;
class MediaPlayer;
class MixerControl;
class RecorderClock;
class SettingsStore;
class TickSource;

namespace platform {
class ViewerLauncher;
}

// Makes the capture source of a recording line; by default the sound server's stream on it.
using CaptureSourceFactory =
    std::function<std::unique_ptr<CaptureSource>(const platform::SoundLine& line)>;

// Everything the recorder's controller drives, made by its owner (the front face, the headless
// recorder, a test) and outliving the controller. The controller owns nothing of it.
struct RecorderServices {
    platform::SoundServer& server;
    DeviceList& devices;
    MixerControl& mixer;
    CaptureEngine& engine;
    MediaPlayer& player;
    BackgroundMusic& background;  // plays through `player`
    const SettingsStore& settings;
    const LanguageTable& language;
    platform::ViewerLauncher& viewers;
    const LameLibrary& lame;
    RecorderClock& clock;
    TickSource& ticks;
    CaptureSourceFactory sources;  // empty: server.createCaptureSource
};

}  // namespace orvel
