#include "schedule/ScheduleRunner.h"

#include <gtest/gtest.h>

#include "ScheduleTestSupport.h"
#include "config/LanguageTable.h"

namespace orvel {
namespace {

using Action = ScheduleRunner::Action;
using test::at;
using test::listOf;

// A recording under schedule mode: paused or running, and the stretches it recorded with their
// file. A multi-file re-arm comes at once (the controller's delay is no concern here).
struct Drive {
    Drive(const ScheduleList& list, const QDateTime& armAt, bool relative = false,
          bool multiFile = false)
        : now(armAt), multiFile(multiFile) {
        runner.reload(list, relative, armAt, true);
        armLine = runner.arm(armAt, relative, multiFile);
    }

    ScheduleRunner::TickResult tick(const QDateTime& at) {
        now = at;
        return apply(runner.tick(at, paused));
    }
    ScheduleRunner::TickResult reload(const ScheduleList& list) {
        return apply(runner.reload(list, false, now, paused));
    }
    void runUntil(const QDateTime& end, int stepMs = 1000) {
        while (now < end) {
            tick(now.addMSecs(stepMs));
        }
    }

    ScheduleRunner::TickResult apply(ScheduleRunner::TickResult result) {
        for (const Action action : result.actions) {
            if (action == Action::Resume) {
                start = now;
                paused = false;
                continue;
            }
            if (!paused) {
                stretches.push_back(
                    std::to_string(file) + ": " +
                    (start.toString("d hh:mm:ss") + "-" + now.toString("d hh:mm:ss"))
                        .toStdString());
            }
            paused = true;
            if (action == Action::EndFileAndRearm) {
                ++file;
                runner.rearm(now, multiFile);
            }
        }
        // Never recording outside a window, never paused inside the active one.
        EXPECT_EQ(paused, !runner.windowActive()) << now.toString().toStdString();
        return result;
    }

    ScheduleRunner runner;
    std::optional<ScheduleRunner::InfoLine> armLine;
    QDateTime now;
    QDateTime start;
    bool paused = true;
    bool multiFile;
    int file = 1;
    std::vector<std::string> stretches;
};

TEST(ScheduleRunner, BackToBackWindowsGoOnInOneTickOrInANewFile) {
    for (const bool multiFile : {false, true}) {
        Drive drive(listOf({"10:00:00 - 10:00:05", "10:00:05 - 10:00:10"}), at(3, 9, 59, 58), false,
                    multiFile);
        EXPECT_EQ(drive.armLine, (ScheduleRunner::InfoLine{"RecordingStart", "10:00:00"}));
        drive.runUntil(at(3, 10, 0, 4, 950), 50);
        const ScheduleRunner::TickResult edge = drive.tick(at(3, 10, 0, 5));
        drive.runUntil(at(3, 10, 0, 12), 50);
        if (multiFile) {
            EXPECT_EQ(edge.actions, std::vector<Action>{Action::EndFileAndRearm});
            EXPECT_EQ(drive.stretches, (std::vector<std::string>{"1: 3 10:00:00-3 10:00:05",
                                                                 "2: 3 10:00:05-3 10:00:10"}));
            continue;
        }
        EXPECT_EQ(edge.actions, (std::vector<Action>{Action::Pause, Action::Resume}));
        EXPECT_EQ(edge.line2->text(LanguageTable()), "Recording will stop at 10:00:10");
        EXPECT_EQ(drive.stretches, (std::vector<std::string>{"1: 3 10:00:00-3 10:00:05",
                                                             "1: 3 10:00:05-3 10:00:10"}));
    }
}

TEST(ScheduleRunner, DayFieldsLimitWindowsToTheirWeekdaysAndDate) {
    // 4 July 2006 is a Tuesday.
    Drive drive(listOf({"10:00:00 - 11:00:00|Mon,Wed", "12:00:00 - 13:00:00|7/4/2006"}),
                at(4, 9, 0, 0));
    drive.runUntil(at(5, 14, 0, 0));
    EXPECT_EQ(drive.stretches,
              (std::vector<std::string>{"1: 4 12:00:00-4 13:00:00", "1: 5 10:00:00-5 11:00:00"}));
}

struct Jump {
    const char* name;
    QDateTime from;
    QDateTime to;
    std::vector<Action> actions;
    int activeAfter;
};

class ScheduleClockJump : public ::testing::TestWithParam<Jump> {};

TEST_P(ScheduleClockJump, EndsWhatIsOverAndEntersWhatHoldsNow) {
    const Jump& jump = GetParam();
    Drive drive(listOf({"10:00:00 - 10:05:00", "10:06:00 - 10:10:00", "11:00:00 - 12:00:00",
                        "13:00:00 - 14:00:00|Mon", "22:00:00 - 23:59:59|Mon"}),
                jump.from);
    drive.tick(jump.from);
    EXPECT_EQ(drive.tick(jump.to).actions, jump.actions);
    EXPECT_EQ(drive.runner.activeIndex(), jump.activeAfter);
}

constexpr Action kPause = Action::Pause;
constexpr Action kResume = Action::Resume;

INSTANTIATE_TEST_SUITE_P(
    Jumps, ScheduleClockJump,
    ::testing::Values(
        Jump{"PastOneWindowIntoAnother", at(3, 10, 2, 0), at(3, 11, 30, 0), {kPause, kResume}, 2},
        Jump{"PastEveryWindow", at(3, 10, 2, 0), at(3, 14, 30, 0), {kPause}, -1},
        Jump{"BackAnHourIntoAnEarlierWindow",
             at(3, 11, 3, 0),
             at(3, 10, 3, 0),
             {kPause, kResume},
             0},
        Jump{"BackBeforeEveryWindow", at(3, 10, 2, 0), at(3, 9, 2, 0), {kPause}, -1},
        Jump{"FromBeforeIntoTheSecondWindow", at(3, 9, 0, 0), at(3, 10, 7, 0), {kResume}, 1},
        Jump{"ADayOnToAnotherWeekday", at(3, 13, 30, 0), at(4, 13, 30, 0), {kPause}, -1},
        // No tick falls on 23:59:59 or 00:00:00, and after midnight it is no longer Monday.
        Jump{"PastMidnight", at(3, 23, 59, 58, 950), at(4, 0, 0, 1), {kPause}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct RelativeCase {
    const char* name;
    QDateTime armedAt;
    const char* line;
    std::string shownStart;
    std::string stretch;
};

class ScheduleRelative : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(ScheduleRelative, WindowsCountFromTheMomentScheduleModeWasSwitchedOn) {
    const RelativeCase& c = GetParam();
    Drive drive(listOf({c.line}), c.armedAt, true);
    EXPECT_EQ(drive.armLine ? drive.armLine->time : "", c.shownStart);
    drive.runUntil(c.armedAt.addSecs(2 * 3600));
    EXPECT_EQ(drive.stretches, std::vector<std::string>{c.stretch});
}

INSTANTIATE_TEST_SUITE_P(
    Relative, ScheduleRelative,
    ::testing::Values(RelativeCase{"PastMidnight", at(3, 23, 30, 0), "01:00:00 - 01:10:00",
                                   "00:30:00", "1: 4 00:30:00-4 00:40:00"},
                      RelativeCase{"WithCarries", at(3, 10, 59, 30), "00:00:45 - 00:01:15",
                                   "11:00:15", "1: 3 11:00:15-3 11:00:45"},
                      // Converted, this window would start after it ends: it records all the same.
                      RelativeCase{"AcrossMidnight", at(3, 23, 30, 0), "00:00:00 - 01:00:00", "",
                                   "1: 3 23:30:01-4 00:30:00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScheduleRunner, ReloadFindsTheActiveWindowByItsTextOrEndsIt) {
    Drive drive(listOf({"10:00:00 - 11:00:00", "12:00:00 - 13:00:00"}), at(3, 9, 59, 59));
    drive.runUntil(at(3, 10, 30, 0));

    // An item added before it moves the active window; it still ends at its own end.
    const auto moved =
        drive.reload(listOf({"09:00:00 - 09:30:00", "10:00:00 - 11:00:00", "12:00:00 - 13:00:00"}));
    EXPECT_TRUE(moved.actions.empty());
    EXPECT_EQ(drive.runner.activeIndex(), 1);
    drive.runUntil(at(3, 11, 30, 0));

    // Editing the running window's end: the window ends, and the next tick enters the new one.
    drive.runUntil(at(3, 12, 30, 0));
    const auto edited = drive.reload(listOf({"12:00:00 - 14:00:00"}));
    EXPECT_EQ(edited.actions, std::vector<Action>{Action::Pause});
    drive.runUntil(at(3, 14, 30, 0));
    EXPECT_EQ(drive.stretches,
              (std::vector<std::string>{"1: 3 10:00:00-3 11:00:00", "1: 3 12:00:00-3 12:30:00",
                                        "1: 3 12:30:01-3 14:00:00"}));
}

}  // namespace
}  // namespace orvel
