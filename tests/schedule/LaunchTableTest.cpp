#include "schedule/LaunchTable.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <QSemaphore>
#include <cerrno>

#include "ScheduleTestSupport.h"
#include "schedule/ScheduleRunner.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::at;
using test::listOf;

// No desktop browser here: each viewer is a real process of a shell script, so that starting
// and ending it are the real ones. The test reads what it recorded only while open() waits at
// the gate or once the workers are done.
class StandInLauncher : public platform::ViewerLauncher {
public:
    std::unique_ptr<platform::ViewerProcess> open(const std::string& target) override {
        if (gated) {
            entered.release();
            gate.tryAcquire(1, 10000);
        }
        auto viewer = platform::ViewerProcess::start("sh", {"-c", script});
        targets.push_back(target);
        pids.push_back(viewer->pid());
        return viewer;
    }

    std::string script = "sleep 60";
    bool gated = false;
    QSemaphore entered;
    QSemaphore gate;
    std::vector<std::string> targets;
    std::vector<int> pids;
};

bool alive(int pid) {
    return kill(pid, 0) == 0 || errno != ESRCH;
}

class LaunchTableTest : public ::testing::Test {
protected:
    test::TempDir dir;
    StandInLauncher launcher;
    LaunchTable table{launcher, StreamingPage(dir.path())};
    TimeBase clock;
};

TEST_F(LaunchTableTest, AViewerEndsAtItsOwnItemsEndWhateverItsDay) {
    // A has no URL, so B's record is the table's first; A's end must not end B's viewer. B is a
    // Monday item on a Tuesday: it is not recorded, but its viewer opens and ends all the same.
    const ScheduleList list =
        listOf({"10:00:00 - 10:20:00", "10:10:00 - 10:45:00|Mon|http://r.example/b.mp3|30"});
    table.rebuild(list);
    ScheduleRunner runner;
    runner.reload(list, false, at(4, 10, 0, 0), true);
    runner.arm(at(4, 10, 0, 0), false, false);
    bool paused = true;
    std::vector<std::string> launches;
    for (QDateTime now = at(4, 10, 0, 0); now <= at(4, 10, 50, 0); now = now.addSecs(1)) {
        if (!table.check(now, runner.timeBase()).empty()) {
            launches.push_back(now.toString("hh:mm:ss").toStdString());
        }
        const ScheduleRunner::TickResult result = runner.tick(now, paused);
        table.endViewers(result.viewersToClose);
        for (const auto action : result.actions) {
            paused = action == ScheduleRunner::Action::Pause;
        }
        if (now == at(4, 10, 30, 0)) {
            ASSERT_TRUE(table.waitForWorkers(10s));
            EXPECT_TRUE(table.hasViewer(1));
            EXPECT_TRUE(alive(launcher.pids[0]));
        }
        if (now == at(4, 10, 45, 0)) {
            EXPECT_FALSE(table.hasViewer(1));
        }
    }
    EXPECT_EQ(launches, std::vector<std::string>{"10:09:31"});
    EXPECT_EQ(launcher.targets, std::vector<std::string>{dir.file("orvelurl.htm")});
    ASSERT_TRUE(table.waitForWorkers(10s));
    EXPECT_FALSE(alive(launcher.pids[0]));
}

TEST_F(LaunchTableTest, LaunchesComeOnlyAfterTheClockHasBeenBeforeThem) {
    table.rebuild(listOf({"00:00:10 - 00:05:00||http://r.example/night|30",
                          "09:00:30 - 10:00:00||http://r.example/morning|30"}));
    // Built at noon: the morning launch has passed and waits for tomorrow.
    EXPECT_TRUE(table.check(at(3, 12, 0, 0), clock).empty());
    EXPECT_TRUE(table.check(at(3, 23, 59, 40), clock).empty());
    EXPECT_EQ(table.check(at(3, 23, 59, 41), clock), std::vector<int>{0});
    // The night viewer runs across midnight until its window's end.
    const ScheduleItem night = *ScheduleItem::parse("00:00:10 - 00:05:00||u|30").item;
    EXPECT_TRUE(night.viewerHolds(ScheduleItem::secondOfDay(QTime(0, 4, 59))));
    EXPECT_FALSE(night.viewerHolds(ScheduleItem::secondOfDay(QTime(0, 5, 0))));
    EXPECT_TRUE(table.check(at(4, 9, 0, 0), clock).empty());
    EXPECT_EQ(table.check(at(4, 9, 0, 1), clock), std::vector<int>{1});
}

TEST_F(LaunchTableTest, TheGuiThreadWaitsNeitherForTheBrowserNorForAViewerToEnd) {
    launcher.gated = true;
    launcher.script = "trap '' TERM; sleep 60";  // ends only when killed, a second after asked
    table.rebuild(listOf({"10:00:00 - 11:00:00||http://r.example/live|0"}));
    table.check(at(3, 9, 59, 59), clock);
    EXPECT_EQ(table.check(at(3, 10, 0, 1), clock), std::vector<int>{0});
    // check() has returned while the launcher is still busy.
    ASSERT_TRUE(launcher.entered.tryAcquire(1, 10000));
    EXPECT_TRUE(launcher.targets.empty());
    launcher.gate.release();
    ASSERT_TRUE(table.waitForWorkers(10s));
    ASSERT_TRUE(table.hasViewer(0));

    const int pid = launcher.pids[0];
    table.endViewers({0});
    EXPECT_TRUE(alive(pid));
    EXPECT_FALSE(table.hasViewer(0));
    ASSERT_TRUE(table.waitForWorkers(10s));
    EXPECT_FALSE(alive(pid));
}

TEST_F(LaunchTableTest, ReloadKeepsTheViewersOfItemsStillThereAndEndsTheOthers) {
    table.rebuild(listOf({"10:00:00 - 11:00:00||http://r.example/x|0",
                          "10:00:00 - 11:00:00||http://r.example/y|0"}));
    table.check(at(3, 9, 0, 0), clock);
    EXPECT_EQ(table.check(at(3, 10, 0, 1), clock), (std::vector<int>{0, 1}));
    ASSERT_TRUE(table.waitForWorkers(10s));
    const int x = launcher.pids[0];  // viewers open one at a time, in order
    const int y = launcher.pids[1];

    // X's window now ends later and moves down the list; Y is gone.
    table.rebuild(listOf({"09:00:00 - 09:30:00", "10:00:00 - 12:00:00||http://r.example/x|0"}));
    EXPECT_TRUE(table.check(at(3, 10, 5, 0), clock).empty());
    ASSERT_TRUE(table.waitForWorkers(10s));
    EXPECT_TRUE(table.hasViewer(1));
    EXPECT_TRUE(alive(x));
    EXPECT_FALSE(alive(y));

    // A viewer no tick has ended is forgotten when its item launches the next day, and ended
    // only at program close.
    table.check(at(4, 9, 0, 0), clock);
    EXPECT_EQ(table.check(at(4, 10, 0, 1), clock), std::vector<int>{1});
    ASSERT_TRUE(table.waitForWorkers(10s));
    EXPECT_EQ(table.detachedCount(), 1u);
    EXPECT_TRUE(alive(x));
    table.endAll();
    ASSERT_TRUE(table.waitForWorkers(10s));
    EXPECT_FALSE(alive(x));
}

}  // namespace
}  // namespace orvel
