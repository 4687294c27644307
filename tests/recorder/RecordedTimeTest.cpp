#include "recorder/RecordedTime.h"

#include <gtest/gtest.h>

#include "recorder/DisplayTexts.h"

namespace orvel {
namespace {

// A clock the test moves by hand.
class RecordedTimeTest : public ::testing::Test {
protected:
    void advance(std::int64_t ms) { now += ms; }
    // Runs the 100 ms ticks over a span, returning whether every tick asked for a redraw.
    bool run(std::int64_t ms, bool paused = false, bool waiting = false) {
        bool allRedrawn = true;
        for (std::int64_t t = 0; t < ms; t += 100) {
            advance(100);
            allRedrawn = time.tick(paused, waiting) && allRedrawn;
        }
        return allRedrawn;
    }

    std::int64_t now = 1'000'000;
    RecordedTime time{[this] { return now; }};
};

TEST_F(RecordedTimeTest, CountsOnlyRunningStretches) {
    time.reset();
    EXPECT_TRUE(run(2500));
    EXPECT_EQ(time.seconds(), 2u);

    // Pausing freezes the time; ticks while paused ask for no redraw.
    time.pause();
    EXPECT_FALSE(time.tick(true, false));
    advance(60'000);
    EXPECT_FALSE(time.tick(true, false));
    EXPECT_EQ(time.seconds(), 2u);

    // Resuming continues from the frozen value, not from the wall clock.
    time.resume();
    run(1000);
    EXPECT_EQ(time.milliseconds(), 3500);

    // In signal mode, waiting for sound does not count either.
    EXPECT_FALSE(run(5000, false, true));
    EXPECT_EQ(time.milliseconds(), 3500);
    run(500);
    EXPECT_EQ(time.seconds(), 4u);

    time.reset();
    EXPECT_EQ(time.seconds(), 0u);
    run(1000);
    EXPECT_EQ(time.seconds(), 1u);
}

TEST_F(RecordedTimeTest, ManyShortPausesLoseNoTime) {
    time.reset();
    for (int i = 0; i < 10; ++i) {
        run(700);
        time.pause();
        run(300, true);
        time.resume();
    }
    EXPECT_EQ(time.seconds(), 7u);
}

TEST_F(RecordedTimeTest, PausedFlagAloneFreezesWithoutExplicitPause) {
    // The ticks alone keep the bookkeeping right when the pause calls are missed.
    time.reset();
    run(1000);
    run(1000, true);
    run(1000);
    EXPECT_EQ(time.seconds(), 2u);
    EXPECT_EQ(display::recordingText(0, time.seconds()), "0KB / 00:02");
}

}  // namespace
}  // namespace orvel
