#include "recorder/RecorderModes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTest>

#include <string>
#include <vector>

#include "InfoView.h"
#include "audio/CaptureEngine.h"
#include "config/LanguageTable.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "recorder/InfoLine.h"
#include "recorder/OutputNaming.h"
#include "recorder/RecordedTime.h"
#include "support/ManualTime.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Kind = ModeAction::Kind;

class ListView : public test::InfoView {
public:
    void openScheduleWindow() override { ++scheduleWindows; }
    int scheduleWindows = 0;
};

class NoViewers : public platform::ViewerLauncher {
public:
    std::unique_ptr<platform::ViewerProcess> open(const std::string&) override { return {}; }
};

// Both modes with the recorder in the test's hands: the `recording` hook keeps the actions it
// is handed and plays the controller's part (a start records, a pause pauses, a stop ends both
// modes and cancels the restarts as stop-all does). A schedule of one window, later today.
class RecorderModesTest : public ::testing::Test {
protected:
    RecorderModesTest() {
        QDir(QString::fromStdString(dir.path())).mkpath("install");
        settings.writeText(setting::kInstallPath, dir.file("install"));
        dir.write("install/TimeSchedule.txt", "10:00:00 - 11:00:00\n");
        info.load();
        modes.read();
    }

    bool onRecording(const ModeAction& action) {
        handed.push_back(action);
        switch (action.kind) {
            case Kind::Start:
                now.recording = true;
                now.paused = action.paused;
                break;
            case Kind::Pause:
                now.paused = true;
                break;
            case Kind::Stop:
                modes.cancelRestarts();
                endedModes.emplace_back(modes.endedMode(false));
                now = {};
                modes.stopped(false);
                break;
            default:
                break;
        }
        return true;
    }
    std::vector<Kind> handedKinds() const {
        std::vector<Kind> kinds;
        for (const ModeAction& action : handed) {
            kinds.push_back(action.kind);
        }
        return kinds;
    }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore settings;
    LanguageTable language;
    NoViewers viewers;
    CaptureEngine engine;
    test::ManualClock clock{QDateTime(QDate(2024, 3, 4), QTime(9, 0))};
    RecordedTime time{[this] { return clock.steadyMs(); }};
    OutputNaming naming{settings, [this] { return clock.now(); }};
    ListView view;
    InfoLine info{view, language};
    RecorderModes::Recorder now;
    std::vector<ModeAction> handed;
    std::vector<std::string> endedModes;
    bool previousComplete = false;
    RecorderModes modes{{settings, language, viewers, engine, clock, time, naming, info, view},
                        {.recorder = [this] { return now; },
                         .recording = [this](const ModeAction& a) { return onRecording(a); },
                         .previousComplete = [this] { return previousComplete; },
                         .shown = [] {}}};
};

// Signal mode switched off under a schedule: the recording stops first (which cancels every
// restart then waiting), and only then are numbered names forced and the schedule's re-arm
// requested, so the re-arm survives the stop and starts a new file, paused, once the previous
// one is complete. Neither mode shows as on in between.
TEST_F(RecorderModesTest, SignalModeSwitchedOffUnderAScheduleStopsThenReArmsItOnANewFile) {
    modes.toggleSchedule();
    EXPECT_EQ(handed.back(), (ModeAction{.kind = Kind::Start, .restart = false, .paused = true}));
    modes.toggleSignal();
    EXPECT_TRUE(modes.signal().on());
    EXPECT_EQ(handed.back().kind, Kind::Processing);

    modes.toggleSignal();
    EXPECT_EQ(handedKinds(), (std::vector<Kind>{Kind::Start, Kind::Processing, Kind::Stop}));
    EXPECT_EQ(endedModes, std::vector<std::string>{"SignalEnded"});
    EXPECT_FALSE(modes.on());
    EXPECT_TRUE(naming.multiFile());
    EXPECT_TRUE(modes.restartPending());

    QTest::qWait(RestartTimer::kLeastDelayMs + 100);
    EXPECT_EQ(handed.size(), 3u);  // the closed file is still being completed
    previousComplete = true;
    modes.previousCompleted();
    EXPECT_EQ(handed.back(), (ModeAction{.kind = Kind::Start, .restart = true, .paused = true}));
    EXPECT_TRUE(modes.schedule().on());
    EXPECT_FALSE(modes.signal().on());
    EXPECT_FALSE(modes.restartPending());
}

// The schedule switched off under signal mode: signal mode goes on in a new file of its own.
// Between the two files the info line keeps saying that sound is awaited; signal mode's restart
// starts the new file, and once nothing waits any more the line gives way to "Ready to record".
// The buttons take no press while a playback or a line test runs, and without a list the
// schedule button opens the schedule window instead.
TEST_F(RecorderModesTest, TheScheduleSwitchedOffUnderSignalModeWaitsForSoundThenRestartsIt) {
    now.playing = true;
    modes.toggleSignal();
    now = {.testing = true};
    modes.toggleSchedule();
    EXPECT_TRUE(handed.empty());
    now = {};

    modes.toggleSignal();
    modes.toggleSchedule();
    EXPECT_EQ(handedKinds(), (std::vector<Kind>{Kind::Start, Kind::Pause}));
    EXPECT_EQ(info.line2(), "Recording will start at 10:00:00");
    info.show(InfoLine::kRecordingText, "");
    previousComplete = true;
    modes.toggleSchedule();
    EXPECT_EQ(handed.back().kind, Kind::Stop);
    EXPECT_TRUE(naming.multiFile());
    modes.followText();
    EXPECT_EQ(info.line1(), "Waiting for sound");

    ASSERT_TRUE(QTest::qWaitFor([&] { return handed.size() == 4; }, 3000));
    EXPECT_EQ(handed.back(), (ModeAction{.kind = Kind::Start, .restart = true}));
    EXPECT_TRUE(modes.signal().on());
    EXPECT_FALSE(modes.schedule().on());

    onRecording({.kind = Kind::Stop});
    modes.followText();
    EXPECT_EQ(info.line1(), InfoLine::kReadyText);

    dir.write("install/TimeSchedule.txt", "");
    modes.scheduleWindowClosed();
    modes.toggleSchedule();
    EXPECT_EQ(view.scheduleWindows, 1);
    EXPECT_FALSE(modes.schedule().on());
}

}  // namespace
}  // namespace orvel
