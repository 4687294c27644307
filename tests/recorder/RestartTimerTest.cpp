#include "recorder/RestartTimer.h"

#include <gtest/gtest.h>
#include <QTest>

#include <vector>

namespace orvel {
namespace {

// The restart timer with the previous file's state in the test's hands.
struct Restarts {
    bool complete = false;
    std::vector<unsigned> fired;
    RestartTimer timer{[this] { return complete; },
                       [this](unsigned kinds) { fired.push_back(kinds); }};
};

// A restart waits for both its delay and the previous file, whichever comes last.
TEST(RestartTimer, FiresOnceTheDelayHasPassedAndThePreviousFileIsComplete) {
    Restarts r;
    r.timer.request(RestartTimer::kSignal, 10);
    QTest::qWait(100);
    EXPECT_TRUE(r.fired.empty());  // the file is still being completed
    r.complete = true;
    r.timer.previousCompleted();
    EXPECT_EQ(r.fired, std::vector<unsigned>{RestartTimer::kSignal});
    EXPECT_FALSE(r.timer.pending());

    r.timer.request(RestartTimer::kScheduleRearm, 10);
    r.timer.previousCompleted();  // before the delay: nothing yet
    EXPECT_EQ(r.fired.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.fired.size() == 2; }, 2000));
    EXPECT_EQ(r.fired.back(), unsigned{RestartTimer::kScheduleRearm});
}

// A track of a scheduled signal recording re-arms the schedule and switches signal mode on
// again: both wait for the longer delay and fire together, once.
TEST(RestartTimer, TwoKindsWaitForTheLongerDelayAndFireTogetherOnce) {
    Restarts r;
    r.complete = true;
    r.timer.request(RestartTimer::kScheduleRearm, 400);
    r.timer.request(RestartTimer::kSignal, 10);
    QTest::qWait(50);
    EXPECT_TRUE(r.fired.empty());
    EXPECT_TRUE(r.timer.pending(RestartTimer::kSignal));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !r.fired.empty(); }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(r.fired, std::vector<unsigned>{RestartTimer::kScheduleRearm | RestartTimer::kSignal});
}

// Stop or a mode switched by the user cancels the restart, before or after its delay: it never
// fires, whatever completes later.
TEST(RestartTimer, ACancelledRestartNeverFires) {
    Restarts r;
    r.timer.request(RestartTimer::kSignal, 10);
    QTest::qWait(60);  // the delay is over; the file is not complete yet
    r.timer.cancel();
    r.complete = true;
    r.timer.previousCompleted();
    r.timer.request(RestartTimer::kScheduleRearm, 10);
    r.timer.cancel();
    QTest::qWait(100);
    r.timer.previousCompleted();
    EXPECT_TRUE(r.fired.empty());
    EXPECT_FALSE(r.timer.pending());
}

}  // namespace
}  // namespace orvel
