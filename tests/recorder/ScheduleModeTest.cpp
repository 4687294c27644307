#include "recorder/ScheduleMode.h"

#include <gtest/gtest.h>
#include <QDir>

#include "config/LanguageTable.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "recorder/RestartTimer.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Kind = ModeAction::Kind;

ModeAction line2(const std::string& text) {
    return {.kind = Kind::ShowLine2, .text = text};
}

// No item of these schedules launches a viewer.
class NoViewers : public platform::ViewerLauncher {
public:
    std::unique_ptr<platform::ViewerProcess> open(const std::string&) override { return {}; }
};

class ScheduleModeTest : public ::testing::Test {
protected:
    ScheduleModeTest() {
        QDir(QString::fromStdString(dir.path())).mkpath("install");
        settings.writeText(setting::kInstallPath, dir.file("install"));
    }
    static QDateTime at(int hour, int minute) {
        return QDateTime(QDate(2024, 3, 4), QTime(hour, minute));
    }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore settings;
    LanguageTable language;
    NoViewers viewers;
    ScheduleMode mode{settings, language, viewers};
};

// Without a list the button opens the schedule window. With one it starts a recording paused,
// whose start shows the next start once; under a running recording it pauses it and shows it at
// once. A second press stops, and signal mode goes on in a new file of its own.
TEST_F(ScheduleModeTest, ArmsOnlyWithAListPausedAndHandsOverToSignalModeWhenSwitchedOff) {
    mode.load(at(9, 0), false);
    EXPECT_EQ(mode.arm(false, at(9, 0), {}), ModeActions{{.kind = Kind::OpenList}});
    EXPECT_FALSE(mode.on());

    dir.write("install/TimeSchedule.txt", "10:00:00 - 11:00:00\n");
    mode.load(at(9, 0), false);
    EXPECT_EQ(mode.arm(false, at(9, 0), {}),
              (ModeActions{{.kind = Kind::Start, .restart = false, .paused = true}}));
    EXPECT_EQ(mode.takeStartLine(), "Recording will start at 10:00:00");
    EXPECT_EQ(mode.takeStartLine(), std::nullopt);
    EXPECT_EQ(mode.arm(false, at(9, 0), {.signalMode = true}),
              (ModeActions{{.kind = Kind::Stop},
                           {.kind = Kind::NumberedNames},
                           {.kind = Kind::RestartLater,
                            .restartKind = RestartTimer::kSignal,
                            .delayMs = RestartTimer::kLeastDelayMs}}));
    mode.stopped(false);
    EXPECT_FALSE(mode.on());
    EXPECT_FALSE(mode.runner().armed());

    EXPECT_EQ(mode.arm(false, at(9, 0), {.recording = true}),
              (ModeActions{line2("Recording will start at 10:00:00"), {.kind = Kind::Pause}}));
    EXPECT_EQ(mode.takeStartLine(), std::nullopt);
}

// A multi-file window's end stops the recording but keeps the runner waiting for the re-arm,
// which keeps the relative base and arms the next window on a new file.
TEST_F(ScheduleModeTest, AWindowsEndKeepsTheRunnerForTheRearm) {
    dir.write("install/TimeSchedule.txt", "10:00:00 - 10:30:00\n10:40:00 - 11:00:00\n");
    mode.load(at(9, 0), false);
    mode.arm(false, at(9, 0), {.multiFile = true});
    EXPECT_EQ(mode.tick(at(10, 0), true),
              (ModeActions{line2("Recording will stop at 10:30:00"), {.kind = Kind::Resume}}));
    EXPECT_EQ(mode.tick(at(10, 30), false),
              (ModeActions{line2("Recording will start at 10:40:00"),
                           {.kind = Kind::EndWindowFile},
                           {.kind = Kind::RestartLater,
                            .restartKind = RestartTimer::kScheduleRearm,
                            .delayMs = ScheduleRunner::kRearmDelayMs}}));
    mode.stopped(true);
    EXPECT_TRUE(mode.runner().armed());
    EXPECT_TRUE(mode.tick(at(10, 40), true).empty());  // no file until the re-arm
    EXPECT_EQ(mode.arm(true, at(10, 31), {.multiFile = true}),
              (ModeActions{{.kind = Kind::Start, .restart = true, .paused = true}}));
    EXPECT_EQ(mode.takeStartLine(), "Recording will start at 10:40:00");
    EXPECT_EQ(mode.tick(at(10, 40), true).back(), ModeAction{.kind = Kind::Resume});
}

}  // namespace
}  // namespace orvel
