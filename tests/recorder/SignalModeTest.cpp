#include "recorder/SignalMode.h"

#include <gtest/gtest.h>

#include "audio/CaptureEngine.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Action = SignalMode::Action;
using Input = SignalMode::Input;

Input silentRecording() {
    Input in;
    in.signalMode = true;
    in.recording = true;
    return in;
}

// The silence action comes once a second of the recording tick, only while the mode is on and
// the engine hears no sound; the track splitter asks for numbered names.
TEST(SignalMode, TheSilenceActionComesOnceASecondAndNeverWhileSoundIsThere) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    const SettingsStore settings;
    settings.writeSignalType(SignalSplitter::PauseOnSilence);
    settings.writeNewFileDelay(3);
    SignalMode mode;
    mode.read(settings);
    EXPECT_FALSE(mode.switchOn());
    mode.recordingStarted();
    Input in = silentRecording();
    for (int tick = 1; tick < SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_EQ(mode.second(in), Action::None) << tick;
    }
    EXPECT_EQ(mode.second(in), Action::Pause);
    in.signalFlag = true;
    for (int tick = 0; tick < 2 * SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_EQ(mode.second(in), Action::None) << tick;
    }
    mode.switchOff();
    in.signalFlag = false;
    for (int tick = 0; tick < 2 * SignalSplitter::kTicksPerSecond; ++tick) {
        EXPECT_EQ(mode.second(in), Action::None) << tick;
    }

    ProcessingSettings processing;
    mode.apply(processing);
    EXPECT_FALSE(processing.signalActivated);
    EXPECT_EQ(processing.silenceDelaySeconds, 3);
    settings.writeSignalType(SignalSplitter::NewFileOnSilence);
    mode.read(settings);
    EXPECT_TRUE(mode.switchOn());
    mode.apply(processing);
    EXPECT_TRUE(processing.signalActivated);
}

// The info line says the recording waits for sound only where sound would make it record: not
// outside the schedule's window, not while sound is there, not without the mode.
TEST(SignalMode, WaitsForSoundOnlyWhereSoundWouldResumeTheRecording) {
    SignalMode mode;
    Input in = silentRecording();
    EXPECT_FALSE(mode.waitingForSound(in));  // the mode is off
    mode.switchOn();
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
