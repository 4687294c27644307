#include "schedule/ScheduleRunner.h"

#include <gtest/gtest.h>

#include "ScheduleTestSupport.h"

namespace orvel {
namespace {

using Action = ScheduleRunner::Action;
using test::at;
using test::listOf;

// A recording as the controller keeps it under schedule mode: paused or running, the stretches
// it recorded (with their file), and the re-arm after a multi-file window's end, which happens
// no earlier than the delay the runner asks for (no ticks come while no recording runs).
class Drive {
public:
    Drive(const ScheduleList& list, const QDateTime& armAt, bool relative = false,
          bool multiFile = false)
        : m_now(armAt), m_multiFile(multiFile) {
        runner.reload(list, relative, armAt, true);
        armLine = runner.arm(armAt, relative, multiFile);
    }

    ScheduleRunner::TickResult tickAt(const QDateTime& now) {
        m_now = now;
        if (m_rearmAt.isValid()) {
            if (now < m_rearmAt) {
                return {};
            }
            m_rearmAt = {};
            runner.rearm(now, m_multiFile);
        }
        ScheduleRunner::TickResult result = runner.tick(now, paused);
        apply(result);
        return result;
    }

    ScheduleRunner::TickResult reload(const ScheduleList& list, const QDateTime& now) {
        m_now = now;
        ScheduleRunner::TickResult result = runner.reload(list, false, now, paused);
        apply(result);
        return result;
    }

    void runUntil(const QDateTime& end, int stepMs = 50) {
        while (m_now < end) {
            tickAt(m_now.addMSecs(stepMs));
        }
    }

    ScheduleRunner runner;
    std::optional<ScheduleRunner::InfoLine> armLine;
    bool paused = true;
    std::vector<std::string> stretches;

private:
    void apply(const ScheduleRunner::TickResult& result) {
        const QDateTime& now = m_now;
        for (const Action action : result.actions) {
            if (action == Action::Resume) {
                EXPECT_TRUE(paused);
                paused = false;
                m_start = now;
                continue;
            }
            EXPECT_FALSE(action == Action::Pause && paused);
            if (!paused) {
                stretches.push_back(
                    std::to_string(m_file) + ": " +
                    (m_start.toString("d hh:mm:ss") + "-" + now.toString("d hh:mm:ss"))
                        .toStdString());
            }
            paused = true;
            if (action == Action::EndFileAndRearm) {
                ++m_file;
                m_rearmAt = now.addMSecs(result.rearmDelayMs);
            }
        }
        // Never recording outside a window, never paused inside the active one.
        EXPECT_EQ(paused, !runner.windowActive()) << now.toString().toStdString();
    }

    QDateTime m_now;
    QDateTime m_start;
    QDateTime m_rearmAt;
    int m_file = 1;
    bool m_multiFile;
};

const ScheduleList kBackToBack = listOf({"10:00:00 - 10:00:05", "10:00:05 - 10:00:10"});

TEST(ScheduleRunner, BackToBackWindowsPauseAndResumeInOneTick) {
    Drive drive(kBackToBack, at(3, 9, 59, 58));
    EXPECT_EQ(drive.armLine, (ScheduleRunner::InfoLine{"RecordingStart", "10:00:00"}));
    drive.runUntil(at(3, 10, 0, 4, 950));
    const ScheduleRunner::TickResult edge = drive.tickAt(at(3, 10, 0, 5));
    EXPECT_EQ(edge.actions, (std::vector<Action>{Action::Pause, Action::Resume}));
    EXPECT_EQ(edge.line2, (ScheduleRunner::InfoLine{"RecordingStop", "10:00:10"}));
    drive.runUntil(at(3, 10, 0, 12));
    EXPECT_EQ(drive.stretches,
              (std::vector<std::string>{"1: 3 10:00:00-3 10:00:05", "1: 3 10:00:05-3 10:00:10"}));
}

TEST(ScheduleRunner, MultiFileEndsAFilePerWindowAndArmsTheNext) {
    Drive drive(kBackToBack, at(3, 9, 59, 58), false, true);
    drive.runUntil(at(3, 10, 0, 12));
    EXPECT_EQ(drive.stretches,
              (std::vector<std::string>{"1: 3 10:00:00-3 10:00:05", "2: 3 10:00:05-3 10:00:10"}));
    EXPECT_TRUE(drive.runner.armed());  // the third file, paused until tomorrow
}

TEST(ScheduleRunner, AWindowToTheEndOfTheDayEndsWhenTheClockPassesMidnight) {
    for (const char* line : {"22:00:00 - 23:59:59|Mon", "22:00:00 - 23:59:59"}) {
        Drive drive(listOf({line}), at(3, 23, 59, 58));
        EXPECT_EQ(drive.tickAt(at(3, 23, 59, 58, 950)).actions,
                  std::vector<Action>{Action::Resume});
        // No tick falls on 23:59:59 or on 00:00:00.
        EXPECT_EQ(drive.tickAt(at(4, 0, 0, 1)).actions, std::vector<Action>{Action::Pause}) << line;
    }
}

TEST(ScheduleRunner, DayFieldsLimitWindowsToTheirWeekdaysAndDate) {
    // 4 July 2006 is a Tuesday.
    Drive drive(listOf({"10:00:00 - 11:00:00|Mon,Wed", "12:00:00 - 13:00:00|7/4/2006"}),
                at(4, 9, 0, 0));
    drive.runUntil(at(5, 14, 0, 0), 1000);
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

void PrintTo(const Jump& jump, std::ostream* out) {
    *out << jump.name;
}

class ScheduleClockJump : public ::testing::TestWithParam<Jump> {};

TEST_P(ScheduleClockJump, EndsWhatIsOverAndEntersWhatHoldsNow) {
    const Jump& jump = GetParam();
    Drive drive(listOf({"10:00:00 - 10:05:00", "10:06:00 - 10:10:00", "11:00:00 - 12:00:00",
                        "13:00:00 - 14:00:00|Mon"}),
                jump.from);
    drive.tickAt(jump.from);
    EXPECT_EQ(drive.tickAt(jump.to).actions, jump.actions);
    EXPECT_EQ(drive.runner.activeIndex(), jump.activeAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, ScheduleClockJump,
    ::testing::Values(
        Jump{"ForwardPastOneWindowIntoAnother",
             at(3, 10, 2, 0),
             at(3, 11, 30, 0),
             {Action::Pause, Action::Resume},
             2},
        Jump{"ForwardPastEveryWindow", at(3, 10, 2, 0), at(3, 14, 30, 0), {Action::Pause}, -1},
        Jump{"BackAnHourIntoAnEarlierWindow",
             at(3, 11, 3, 0),
             at(3, 10, 3, 0),
             {Action::Pause, Action::Resume},
             0},
        Jump{"BackBeforeEveryWindow", at(3, 10, 2, 0), at(3, 9, 2, 0), {Action::Pause}, -1},
        Jump{"ForwardFromBeforeIntoTheSecondWindow",
             at(3, 9, 0, 0),
             at(3, 10, 7, 0),
             {Action::Resume},
             1},
        Jump{"ADayOnIntoAWindowOfAnotherWeekday",
             at(3, 13, 30, 0),
             at(4, 13, 30, 0),
             {Action::Pause},
             -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct RelativeCase {
    const char* name;
    QDateTime armedAt;
    const char* line;
    std::string shownStart;
    std::string stretch;
};

void PrintTo(const RelativeCase& c, std::ostream* out) {
    *out << c.name;
}

class ScheduleRelative : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(ScheduleRelative, WindowsCountFromTheMomentScheduleModeWasSwitchedOn) {
    const RelativeCase& c = GetParam();
    Drive drive(listOf({c.line}), c.armedAt, true);
    EXPECT_EQ(drive.armLine ? drive.armLine->time : "", c.shownStart);
    drive.runUntil(c.armedAt.addSecs(2 * 3600), 1000);
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
    drive.runUntil(at(3, 10, 30, 0), 1000);

    // An item added before it moves the active window; it still ends at its own end.
    const auto moved =
        drive.reload(listOf({"09:00:00 - 09:30:00", "10:00:00 - 11:00:00", "12:00:00 - 13:00:00"}),
                     at(3, 10, 30, 0));
    EXPECT_TRUE(moved.actions.empty());
    EXPECT_EQ(drive.runner.activeIndex(), 1);
    drive.runUntil(at(3, 11, 30, 0), 1000);

    // Editing the running window's end: the window ends, and the next tick enters the new one.
    drive.runUntil(at(3, 12, 30, 0), 1000);
    const auto edited = drive.reload(listOf({"12:00:00 - 14:00:00"}), at(3, 12, 30, 0));
    EXPECT_EQ(edited.actions, std::vector<Action>{Action::Pause});
    drive.runUntil(at(3, 14, 30, 0), 1000);
    EXPECT_EQ(drive.stretches,
              (std::vector<std::string>{"1: 3 10:00:00-3 11:00:00", "1: 3 12:00:00-3 12:30:00",
                                        "1: 3 12:30:01-3 14:00:00"}));
}

}  // namespace
}  // namespace orvel
