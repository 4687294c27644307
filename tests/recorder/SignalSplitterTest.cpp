#include "recorder/SignalSplitter.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using Action = SignalSplitter::Action;
using Input = SignalSplitter::Input;

const QDateTime kNow(QDate(2024, 3, 1), QTime(10, 0, 0));

Input running(bool strong, bool flag) {
    Input in;
    in.signalMode = true;
    in.recording = true;
    in.strongBlock = strong;
    in.signalFlag = flag;
    return in;
}

// A second of silence after the delay, by type: pause at once; stop and new file only after
// sound was heard.
TEST(SignalSplitter, SilenceActsByTypeAndStopAndNewFileWaitForSound) {
    for (const int type : {SignalSplitter::PauseOnSilence, SignalSplitter::StopOnSilence,
                           SignalSplitter::NewFileOnSilence}) {
        SignalSplitter s;
        s.setType(type);
        s.restart();
        const Input silent = running(false, false);
        EXPECT_EQ(s.perTick(silent, kNow), Action::None);
        const Action before = s.perSecond(silent);
        EXPECT_EQ(before, type == SignalSplitter::PauseOnSilence ? Action::Pause : Action::None)
            << type;
        EXPECT_EQ(s.perTick(running(true, true), kNow), Action::None);
        EXPECT_TRUE(s.heard());
        EXPECT_EQ(s.firstSignal(), kNow);
        EXPECT_EQ(s.perSecond(running(false, true)), Action::None);  // still within the delay
        const Action after = s.perSecond(silent);
        const Action expected[] = {Action::Pause, Action::StopSignal, Action::NewFile};
        EXPECT_EQ(after, expected[type]) << type;
        Input paused = silent;
        paused.paused = true;
        if (type == SignalSplitter::PauseOnSilence) {
            EXPECT_EQ(s.perSecond(paused), Action::None);  // already paused
        }
    }
}

// Sound resumes a paused recording; under a schedule only inside the active window.
TEST(SignalSplitter, SoundResumesOnlyWhereTheScheduleAllows) {
    SignalSplitter s;
    Input in = running(true, true);
    in.paused = true;
    EXPECT_EQ(s.perTick(in, kNow), Action::Resume);
    in.scheduleMode = true;
    EXPECT_EQ(s.perTick(in, kNow), Action::None);
    in.windowActive = true;
    EXPECT_EQ(s.perTick(in, kNow), Action::Resume);
    in.signalMode = false;
    EXPECT_EQ(s.perTick(in, kNow), Action::None);
}

// Under a schedule, a track heard in a window is closed once a second of a paused recording
// inside a window (the runner paused it), not every tick.
TEST(SignalSplitter, UnderAScheduleAPausedTrackIsClosedOnceASecond) {
    SignalSplitter s;
    s.setType(SignalSplitter::NewFileOnSilence);
    Input in = running(true, true);
    in.scheduleMode = true;
    in.windowActive = true;
    EXPECT_EQ(s.perTick(in, kNow), Action::None);
    in.strongBlock = false;
    in.signalFlag = false;
    in.paused = true;
    in.insideWindow = true;
    int newFiles = 0;
    for (int tick = 0; tick < SignalSplitter::kTicksPerSecond; ++tick) {
        newFiles += s.perTick(in, kNow) == Action::NewFile ? 1 : 0;
    }
    EXPECT_EQ(newFiles, 1);
    in.insideWindow = false;
    for (int tick = 0; tick < SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_EQ(s.perTick(in, kNow), Action::None);
    }
}

}  // namespace
}  // namespace orvel
