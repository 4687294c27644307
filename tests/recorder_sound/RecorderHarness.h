#pragma once

#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/CaptureEngine.h"
#include "config/LanguageTable.h"
#include "config/SettingsStore.h"
#include "devices/DeviceList.h"
#include "devices/MixerControl.h"
#include "encoders/LameLibrary.h"
#include "platform/SoundServer.h"
#include "platform/ViewerLauncher.h"
#include "playback/BackgroundMusic.h"
#include "playback/MediaPlayer.h"
#include "recorder/QtTickSource.h"
#include "recorder/RecorderClock.h"
#include "recorder/RecorderController.h"
#include "recorder/RecorderView.h"
#include "recorder/SystemClock.h"
#include "support/ManualTime.h"
#include "support/TempDir.h"

// The recorder's controller on the real engine, player and devices of the private sound server,
// with a view that records what it is told and answers questions from a script.
namespace orvel::test {

// Keeps what the controller shows; answers the overwrite question with the scripted answers
// (none scripted: the question stays open until the test answers it).
class FakeView : public RecorderView {
public:
    void showInfo(const std::string& line1, const std::string& line2) override;
    void showState(const FaceState& state) override { states.push_back(state); }
    void showTimes(const std::string&, const std::string&, int) override {}
    void showLevels(const LevelFrame&) override {}
    void showClock(const std::string&) override {}
    void askOverwrite(const std::string& path, std::function<void(bool)> answer) override;
    void tellNoMemory(std::function<void()> done) override;
    void openStartupWindow(const std::string& versionText) override {
        startupWindows.push_back(versionText);
    }
    void openScheduleWindow() override { ++scheduleWindows; }
    void openOutputSettings() override {}
    void openWmaSettings() override {}
    void openDocument(const std::string&) override {}
    void closeProgram() override { ++closed; }
    void fileFinished(const FinishedFile& file) override { files.push_back(file); }
    void soundLost(std::uint64_t milliseconds) override { lost.push_back(milliseconds); }

    // Whether the info line has shown this first line (or message) since the last clear.
    bool shown(const std::string& line1) const;
    std::string lastInfo() const;

    std::vector<std::pair<std::string, std::string>> infos;
    std::vector<FaceState> states;
    std::vector<FinishedFile> files;
    std::vector<std::uint64_t> lost;
    std::deque<bool> overwriteAnswers;
    std::function<void(bool)> openQuestion;
    std::vector<std::string> startupWindows;
    int scheduleWindows = 0;
    int closed = 0;
};

// A stand-in viewer (a sleeping process) for every target, remembered with its process id.
// Opened on the launch table's worker.
class FakeViewerLauncher : public platform::ViewerLauncher {
public:
    std::unique_ptr<platform::ViewerProcess> open(const std::string& target) override;
    std::vector<std::pair<std::string, int>> opened() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, int>> m_opened;
};

// A line that plays a script of tone bursts and silences at the pace of a sound card (or as
// fast as the recording takes it), in whatever format the recording asks for.
struct Segment {
    bool tone = false;
    double seconds = 0;
};
CaptureSourceFactory scriptedLine(std::string folder, std::vector<Segment> script,
                                  bool realTime = true);

// The controller with everything it drives. The settings live in the test's own folder; unless
// told otherwise the stored line is the server's steady tone.
class RecorderHarness {
public:
    struct Options {
        std::optional<std::string> line = std::string("tone");  // source name; none: first run
        CaptureSourceFactory sources;                           // none: the server's lines
        RecorderClock* clock = nullptr;                         // none: the system clock
        TickSource* ticks = nullptr;                            // none: real Qt timers
        bool hideLame = false;
    };

    RecorderHarness();
    ~RecorderHarness();

    // Makes the controller and initialises it. False when the server is not there.
    bool make(Options options);
    bool make() { return make(Options{}); }

    RecorderController& controller() { return *m_controller; }
    platform::SoundServer& server() { return *m_server; }
    const SettingsStore& settings() const { return m_settings; }
    const std::string& folder() const { return m_folder; }
    std::string file(const std::string& name) const { return m_folder + "/" + name; }
    std::string logFolder() const;
    // Writes 3 s of a 1 kHz tone as a WAV file into the test's folder and makes it the stored
    // background music; returns its path.
    std::string writeBackgroundMusic(const std::string& name) const;
    // Writes the schedule file the recorder reads at its start.
    void writeSchedule(const std::string& lines) const;
    FakeViewerLauncher& viewers() { return m_viewers; }
    // The log lines written so far (all days).
    std::vector<std::string> logLines() const;

    // Destroys one part of the recorder, as a program or a test tearing it down might; the
    // harness then leaves it alone.
    enum class Part { Controller, Engine, Music, Player };
    void destroy(Part part);
    CaptureEngine& engine() { return *m_engine; }

    // Handles events until the condition holds or the time is up.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    // Handles events for a while.
    void run(std::chrono::milliseconds time);

    FakeView view;

private:
    TempDir m_dir{TempDir::Xdg::Redirect};
    std::string m_folder;
    SettingsStore m_settings;
    std::unique_ptr<platform::SoundServer> m_server;
    LanguageTable m_language;
    std::unique_ptr<DeviceList> m_devices;
    std::unique_ptr<MixerControl> m_mixer;
    std::unique_ptr<CaptureEngine> m_engine;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<BackgroundMusic> m_music;
    FakeViewerLauncher m_viewers;
    std::unique_ptr<LameLibrary> m_noLame;
    SystemClock m_systemClock;
    QtTickSource m_qtTicks;
    std::unique_ptr<RecorderController> m_controller;
};

}  // namespace orvel::test
