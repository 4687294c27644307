#pragma once

#include <QObject>
#include <QPointer>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/CaptureEngine.h"
#include "config/SettingsStore.h"
#include "platform/SoundServer.h"
#include "playback/BackgroundSettings.h"

namespace orvel {

class BackgroundMusic;
class HeadlessRecorder;
class MediaPlayer;

// The background-music options of `orvel-rec record`, given on the command line.
struct BackgroundArguments {
    std::optional<std::string> file;
    std::optional<int> scale;
    std::optional<int> backgroundChannel;
    std::optional<int> recordingChannel;
    std::optional<int> vocalChannel;
    std::optional<int> action;
    bool removeVoice = false;

    bool operator==(const BackgroundArguments&) const = default;
};

// Background music for the headless recorder's recordings: takes its options out of a `record`
// command line, and plugs into the recorder so that the capture engine mixes the file in. The
// values not given come from the settings store. A background that cannot be played is told
// with the language table's "BackgroundError" message and the recording goes on without it;
// 8-bit recordings record without background. At the end of the file with action 1 the
// recording is stopped as by Ctrl+C.
//
// Thread contract: called on the GUI thread of a QCoreApplication.
class RecordingBackground : public QObject {
    Q_OBJECT
public:
    explicit RecordingBackground(std::ostream& err, SettingsStore settings = SettingsStore());
    ~RecordingBackground() override;

    // Removes the background options from a `record` command line (the arguments after the
    // program's name) and keeps them; other command lines are left alone. Returns why the
    // options cannot be used, empty when they can.
    std::string takeOptions(std::vector<std::string>& arguments);
    const std::optional<BackgroundArguments>& options() const { return m_options; }
    // The settings of the recording's background: stored values, overridden by the options.
    BackgroundSettings settings() const;

    // Connects to the recorder: nothing happens unless --background was given.
    void attach(HeadlessRecorder& recorder);

private:
    void beforeStart(CaptureOptions& options);
    void started(platform::SoundServer& server, CaptureEngine& engine);

    std::ostream& m_err;
    SettingsStore m_store;
    std::optional<BackgroundArguments> m_options;
    HeadlessRecorder* m_recorder = nullptr;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<BackgroundMusic> m_music;
};

}  // namespace orvel
