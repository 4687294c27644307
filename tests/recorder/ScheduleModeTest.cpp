#include "recorder/ScheduleMode.h"

#include <gtest/gtest.h>
#include <QDir>

#include "config/LanguageTable.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Arm = ScheduleMode::Arm;
using Action = ScheduleRunner::Action;

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
    QDateTime at(int hour, int minute) const {
        return QDateTime(QDate(2024, 3, 4), QTime(hour, minute));
    }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore settings;
    LanguageTable language;
    NoViewers viewers;
    ScheduleMode mode{settings, language, viewers};
};

// Without a list the button opens the schedule window; with one it arms, tells the next start
// once (for the recording it starts), and a second press switches it off with the runner.
TEST_F(ScheduleModeTest, ArmsOnlyWithAListAndTellsTheNextStartOnce) {
    mode.load(at(9, 0), false);
    EXPECT_EQ(mode.arm(false, at(9, 0), false), Arm::OpenList);
    EXPECT_FALSE(mode.on());

    dir.write("install/TimeSchedule.txt", "10:00:00 - 11:00:00\n");
    mode.load(at(9, 0), false);
    EXPECT_EQ(mode.arm(false, at(9, 0), false), Arm::Armed);
    EXPECT_TRUE(mode.on());
    EXPECT_EQ(mode.takeStartLine(), "Recording will start at 10:00:00");
    EXPECT_EQ(mode.takeStartLine(), std::nullopt);
    EXPECT_EQ(mode.arm(false, at(9, 0), false), Arm::SwitchOff);
    mode.off(false);
    EXPECT_FALSE(mode.on());
    EXPECT_FALSE(mode.runner().armed());
}

// A multi-file window's end stops the recording but keeps the runner waiting for the re-arm,
// which keeps the relative base and arms the next window on a new file.
TEST_F(ScheduleModeTest, AWindowsEndKeepsTheRunnerForTheRearm) {
    dir.write("install/TimeSchedule.txt", "10:00:00 - 10:30:00\n10:40:00 - 11:00:00\n");
    mode.load(at(9, 0), false);
    ASSERT_EQ(mode.arm(false, at(9, 0), true), Arm::Armed);
    EXPECT_EQ(mode.tick(at(10, 0), true).actions, std::vector<Action>{Action::Resume});
    EXPECT_EQ(mode.tick(at(10, 30), false).actions, std::vector<Action>{Action::EndFileAndRearm});
    mode.off(true);
    EXPECT_TRUE(mode.runner().armed());
    EXPECT_TRUE(mode.tick(at(10, 40), true).actions.empty());  // no file until the re-arm
    ASSERT_EQ(mode.arm(true, at(10, 31), true), Arm::Armed);
    EXPECT_EQ(mode.takeStartLine(), "Recording will start at 10:40:00");
    EXPECT_EQ(mode.tick(at(10, 40), true).actions, std::vector<Action>{Action::Resume});
}

}  // namespace
}  // namespace orvel
