#include "recorder/SignalMode.h"

#include <gtest/gtest.h>

#include "audio/CaptureEngine.h"
#include "config/SettingsStore.h"
#include "recorder/RestartTimer.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Kind = ModeAction::Kind;
using Input = SignalMode::Input;

const ModeAction kStop{.kind = Kind::Stop};
const ModeAction kNumbered{.kind = Kind::NumberedNames};
const ModeAction kRearmLater{.kind = Kind::RestartLater,
                             .restartKind = RestartTimer::kScheduleRearm,
                             .delayMs = RestartTimer::kLeastDelayMs};
const ModeAction kSignalLater{.kind = Kind::RestartLater,
                              .restartKind = RestartTimer::kSignal,
                              .delayMs = RestartTimer::kLeastDelayMs};

Input silentRecording() {
    Input in;
    in.signalMode = true;
    in.recording = true;
    return in;
}

class SignalModeTest : public ::testing::Test {
protected:
    void setType(int type) {
        settings.writeSignalType(type);
        mode.read(settings);
    }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore settings;
    SignalMode mode;
};

// The button starts a recording or goes on in the running one; the track splitter asks for
// numbered names first, even under a running recording. Off, the recording stops, and a
// schedule goes on in a file of its own after the restart delay; a track that cannot follow
// without a gap restarts signal mode too.
TEST_F(SignalModeTest, SwitchingStartsOrJoinsTheRecordingAndOffHandsOverToTheSchedule) {
    setType(SignalSplitter::NewFileOnSilence);
    EXPECT_EQ(mode.switchOn(false, false),
              (ModeActions{kNumbered, {.kind = Kind::Start, .restart = false}}));
    EXPECT_TRUE(mode.on());
    EXPECT_EQ(mode.switchOn(true, false), (ModeActions{kNumbered, {.kind = Kind::Processing}}));
    setType(SignalSplitter::PauseOnSilence);
    EXPECT_EQ(mode.switchOn(false, true), (ModeActions{{.kind = Kind::Start, .restart = true}}));

    EXPECT_EQ(SignalMode::switchOff(false), ModeActions{kStop});
    EXPECT_EQ(SignalMode::switchOff(true), (ModeActions{kStop, kNumbered, kRearmLater}));
    EXPECT_EQ(mode.trackCannotFollow(false), (ModeActions{kStop, kSignalLater}));
    EXPECT_EQ(mode.trackCannotFollow(true),
              (ModeActions{kStop, kNumbered, kRearmLater, kSignalLater}));
    mode.stopped();
    EXPECT_FALSE(mode.on());
}

// The silence action comes once a second of the recording tick, only while the mode is on and
// the engine hears no sound; a stop on silence waits for a first sound.
TEST_F(SignalModeTest, TheSilenceActionComesOnceASecondAndNeverWhileSoundIsThere) {
    settings.writeNewFileDelay(3);
    setType(SignalSplitter::PauseOnSilence);
    mode.switchOn(true, false);
    mode.recordingStarted();
    Input in = silentRecording();
    for (int tick = 1; tick < SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_TRUE(mode.second(in).empty()) << tick;
    }
    EXPECT_EQ(mode.second(in), ModeActions{{.kind = Kind::Pause}});
    in.signalFlag = true;
    for (int tick = 0; tick < 2 * SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_TRUE(mode.second(in).empty()) << tick;
    }
    ProcessingSettings processing;
    mode.apply(processing);
    EXPECT_TRUE(processing.signalActivated);
    EXPECT_EQ(processing.silenceDelaySeconds, 3);
    mode.stopped();
    in.signalFlag = false;
    for (int tick = 0; tick < 2 * SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_TRUE(mode.second(in).empty()) << tick;
    }
    mode.apply(processing);
    EXPECT_FALSE(processing.signalActivated);

    setType(SignalSplitter::StopOnSilence);
    mode.switchOn(true, false);
    ModeActions silence;
    for (int tick = 0; tick < SignalSplitter::kTicksPerSecond && silence.empty(); ++tick) {
        silence = mode.second(in);
    }
    EXPECT_TRUE(silence.empty());  // nothing heard yet: a stop waits for the first sound
    in.strongBlock = true;
    EXPECT_TRUE(mode.tick(in, QDateTime::currentDateTime()).empty());
    in.strongBlock = false;
    for (int tick = 0; tick < SignalSplitter::kTicksPerSecond && silence.empty(); ++tick) {
        silence = mode.second(in);
    }
    EXPECT_EQ(silence, ModeActions{kStop});
}

// The info line says the recording waits for sound only where sound would make it record: not
// outside the schedule's window, not while sound is there, not without the mode.
TEST_F(SignalModeTest, WaitsForSoundOnlyWhereSoundWouldResumeTheRecording) {
    Input in = silentRecording();
    EXPECT_FALSE(mode.waitingForSound(in));  // the mode is off
    mode.switchOn(true, false);
    EXPECT_TRUE(mode.waitingForSound(in));
    in.signalFlag = true;
    EXPECT_FALSE(mode.waitingForSound(in));
    in.paused = true;
    EXPECT_TRUE(mode.waitingForSound(in));  // sound ends a signal pause
    in.scheduleMode = true;
    EXPECT_FALSE(mode.waitingForSound(in));  // outside the schedule's window
    in.windowActive = true;
    EXPECT_TRUE(mode.waitingForSound(in));
    in.recording = false;
    EXPECT_FALSE(mode.waitingForSound(in));
}

}  // namespace
}  // namespace orvel
