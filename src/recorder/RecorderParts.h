#pragma once

#include "audio/CaptureEngine.h"
#include "config/LanguageTable.h"
#include "config/SettingsStore.h"
#include "devices/DeviceList.h"
#include "devices/MixerControl.h"
#include "platform/DesktopBrowser.h"
#include "platform/SoundServer.h"
#include "playback/BackgroundMusic.h"
#include "playback/MediaPlayer.h"
#include "recorder/QtTickSource.h"
#include "recorder/RecorderServices.h"
#include "recorder/SystemClock.h"

namespace orvel {

// Everything the recorder's controller drives on one sound server, made in one place for the
// window, the headless `run` command and the tests: the language table (loaded from the
// settings' language), the devices and their lines, the capture engine, the player with the
// background music, the desktop's browser for streaming pages, the system clock and precise Qt
// ticks. The server and the settings outlive it.
//
// Destruction order matters: the background music goes before the player it plays through, and
// both before the engine. A capture still running when the parts go is stopped by the engine's
// own destructor.
//
// Thread contract: created, used and destroyed on the GUI thread.
class RecorderParts {
public:
    RecorderParts(platform::SoundServer& server, const SettingsStore& settings);

    RecorderServices services();

    platform::SoundServer& server() { return m_server; }
    const SettingsStore& settings() const { return m_settings; }
    const LanguageTable& language() const { return m_language; }
    DeviceList& devices() { return m_devices; }
    MixerControl& mixer() { return m_mixer; }
    CaptureEngine& engine() { return m_engine; }
    MediaPlayer& player() { return m_player; }
    BackgroundMusic& background() { return m_background; }

private:
    platform::SoundServer& m_server;
    const SettingsStore& m_settings;
    LanguageTable m_language;
    DeviceList m_devices;
    MixerControl m_mixer;
    CaptureEngine m_engine;
    MediaPlayer m_player;
    BackgroundMusic m_background;
    platform::DesktopBrowser m_viewers;
    SystemClock m_clock;
    QtTickSource m_ticks;
};

}  // namespace orvel
