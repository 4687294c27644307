#include <gtest/gtest.h>

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "../engine_sound/EngineSoundSupport.h"
#include "RecorderHarness.h"
#include "audio/WavReader.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::RecorderHarness;
using test::Segment;

constexpr char kWaiting[] = "Waiting for sound";

double wavSeconds(const std::string& path) {
    const WavInfo info = WavReader::readFile(path);
    return info.ok() && info.bytesPerSecond > 0
               ? static_cast<double>(info.dataSize) / info.bytesPerSecond
               : -1.0;
}

class SignalRecording : public ::testing::Test {
protected:
    // The controller in signal mode's settings, recording from a line that plays `script` at
    // a sound card's pace (every recording hears the script from its start).
    bool make(int type, int delay, std::vector<Segment> script) {
        h.settings().writeSignalType(type);
        h.settings().writeNewFileDelay(delay);
        RecorderHarness::Options options;
        options.sources = test::scriptedLine(h.folder(), std::move(script));
        return h.make(options);
    }
    RecorderController& c() { return h.controller(); }

    RecorderHarness h;
};

// The track splitter: after a track and the new-file delay of silence the file is closed, and
// the next numbered file starts once 300 ms have passed and the closed file is complete. Stop
// inside that gap wins: nothing starts after it.
TEST_F(SignalRecording, TheTrackSplitterNumbersEachTrackAndStopWinsInTheRestartGap) {
    ASSERT_TRUE(make(SignalSplitter::NewFileOnSilence, 1, {{true, 1.0}, {false, 60}}));
    c().setFieldText(h.file("song.wav"));
    ASSERT_FALSE(c().naming().multiFile());
    c().toggleSignal();
    EXPECT_TRUE(c().naming().multiFile());
    ASSERT_EQ(c().transport(), Transport::Recording);
    EXPECT_EQ(c().runPath(), h.file("song_001.WAV"));

    ASSERT_TRUE(h.waitFor([&] { return c().restartPending(); }, 6s));
    const auto closed = Clock::now();
    EXPECT_FALSE(c().signalMode());
    ASSERT_TRUE(h.waitFor([&] { return c().recording(); }, 3s));
    const auto restarted = Clock::now();
    EXPECT_GE(restarted - closed, 290ms);
    ASSERT_EQ(h.view.files.size(), 1u);  // completed before the next started
    EXPECT_EQ(h.view.files[0].path, h.file("song_001.WAV"));
    EXPECT_EQ(c().runPath(), h.file("song_002.WAV"));
    EXPECT_TRUE(c().signalMode());
    EXPECT_LE(c().recordedTime().seconds(), 1u);

    ASSERT_TRUE(h.waitFor([&] { return c().restartPending(); }, 6s));
    c().stop();
    h.run(1s);
    EXPECT_EQ(c().transport(), Transport::Idle);
    EXPECT_FALSE(c().signalMode());
    EXPECT_EQ(h.view.files.size(), 2u);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.file("song_003.WAV"))));
    for (const char* name : {"song_001.WAV", "song_002.WAV"}) {
        const double seconds = wavSeconds(h.file(name));
        EXPECT_GE(seconds, 1.5) << name;  // the track and the delay's silence
        EXPECT_LE(seconds, 3.3) << name;
    }
    EXPECT_EQ(h.logLines().size(), 2u);
}

// Type 1 waits for a first sound, then stops at the first silence that lasts the delay; the
// info line says it waits, and once signal mode has ended, that nothing does.
TEST_F(SignalRecording, StopOnSilenceWaitsForSoundThenStops) {
    ASSERT_TRUE(make(SignalSplitter::StopOnSilence, 0, {{false, 2.5}, {true, 1.0}, {false, 60}}));
    c().setFieldText(h.file("once.wav"));
    c().toggleSignal();
    h.run(2s);
    EXPECT_TRUE(c().recording());
    EXPECT_FALSE(c().splitter().heard());
    EXPECT_EQ(c().infoLine1(), kWaiting);
    ASSERT_TRUE(h.waitFor([&] { return !c().recording(); }, 5s));
    EXPECT_FALSE(c().signalMode());
    EXPECT_FALSE(c().state().signalDown);
    EXPECT_EQ(c().infoLine1(), RecorderController::kReadyText);
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 3s));
    h.run(600ms);
    EXPECT_EQ(h.view.files.size(), 1u);
    const double seconds = wavSeconds(h.file("once.wav"));
    EXPECT_GE(seconds, 0.9);
    EXPECT_LE(seconds, 2.2);
}

// Type 0 pauses on silence and resumes on sound: one file without the long silence, and the
// recorded time does not count the pause.
TEST_F(SignalRecording, PauseOnSilenceResumesOnSound) {
    ASSERT_TRUE(make(SignalSplitter::PauseOnSilence, 1,
                     {{true, 2.0}, {false, 4.0}, {true, 2.0}, {false, 60}}));
    c().setFieldText(h.file("paused.wav"));
    c().toggleSignal();
    ASSERT_TRUE(h.waitFor([&] { return c().pauseDown(); }, 5s));
    ASSERT_TRUE(h.waitFor([&] { return !c().pauseDown(); }, 6s));
    ASSERT_TRUE(h.waitFor([&] { return c().pauseDown(); }, 6s));
    EXPECT_GE(c().recordedTime().seconds(), 4u);
    EXPECT_LE(c().recordedTime().seconds(), 7u);
    c().stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 3s));
    const double seconds = wavSeconds(h.file("paused.wav"));
    EXPECT_GE(seconds, 4.7);
    EXPECT_LE(seconds, 7.0);
}

// Nothing is written while signal mode waits for sound, and the info line says so instead of
// "Recording": from the start, and again between two tracks of the splitter.
TEST_F(SignalRecording, TheInfoLineSaysWhenItWaitsForSound) {
    ASSERT_TRUE(
        make(SignalSplitter::NewFileOnSilence, 1, {{false, 1.5}, {true, 1.0}, {false, 60}}));
    c().setFieldText(h.file("wait.wav"));
    c().toggleSignal();
    ASSERT_TRUE(c().recording());
    h.run(1s);
    EXPECT_EQ(c().infoLine1(), kWaiting);
    ASSERT_TRUE(
        h.waitFor([&] { return c().infoLine1() == RecorderController::kRecordingText; }, 3s));
    EXPECT_TRUE(c().recording());
    ASSERT_TRUE(h.waitFor([&] { return c().restartPending(); }, 6s));
    EXPECT_EQ(c().infoLine1(), kWaiting);
    ASSERT_TRUE(h.waitFor([&] { return c().recording(); }, 3s));
    h.run(500ms);
    EXPECT_EQ(c().infoLine1(), kWaiting);
    c().stop();
}

// Signal type 2 switched on under a plain recording: the recording's file keeps its content
// and the next track gets a numbered name of its own.
TEST_F(SignalRecording, SplitterSwitchedOnUnderARecordingNeverOverwritesIt) {
    ASSERT_TRUE(make(SignalSplitter::NewFileOnSilence, 0, {{true, 1.5}, {false, 60}}));
    c().setFieldText(h.file("x.wav"));
    c().record();
    h.run(500ms);
    c().toggleSignal();
    EXPECT_TRUE(c().naming().multiFile());
    ASSERT_TRUE(h.waitFor([&] { return c().runPath() == h.file("x_001.WAV"); }, 6s));
    ASSERT_EQ(h.view.files.size(), 1u);
    EXPECT_EQ(h.view.files[0].path, h.file("x.wav"));
    EXPECT_GE(wavSeconds(h.file("x.wav")), 1.4);
    c().stop();
}

// A restart that cannot form a new name would record into the file just closed: the splitter
// ends with "FileError" instead. The size rule and the log name the file really recorded, not
// the field.
TEST_F(SignalRecording, ARestartNeverRecordsIntoTheFileJustClosed) {
    h.settings().writeMultiFileStatus(1);
    h.settings().writeLastName(h.file("first.wav"));
    ASSERT_TRUE(make(SignalSplitter::NewFileOnSilence, 0, {{true, 1.0}, {false, 60}}));
    c().setFieldText(h.file("take.txt"));
    c().toggleSignal();
    ASSERT_EQ(c().runPath(), h.file("first.wav"));
    ASSERT_TRUE(h.waitFor(
        [&] {
            return !c().restartPending() && h.view.files.size() == 1 && !c().recording() &&
                   !c().signalMode();
        },
        6s));
    h.run(800ms);
    EXPECT_EQ(c().infoLine1(), "File  error ! Please check file name");
    EXPECT_FALSE(c().recording());
    EXPECT_GE(wavSeconds(h.file("first.wav")), 0.9);
    const std::vector<std::string> log = h.logLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("first.wav,", 0), 0u) << log[0];
}

// A signal-activated recording that waited in silence starts its file the pre-roll before the
// sound's onset (within a block), and without a pre-roll with the onset itself: the block that
// lifted the wait is never lost.
class PreRoll : public SignalRecording, public ::testing::WithParamInterface<int> {};

TEST_P(PreRoll, TheFileStartsThePreRollBeforeTheOnset) {
    h.settings().writePreRoll(GetParam());
    ASSERT_TRUE(make(SignalSplitter::PauseOnSilence, 1, {{false, 2.0}, {true, 1.0}, {false, 60}}));
    c().setFieldText(h.file("onset.wav"));
    c().toggleSignal();
    ASSERT_TRUE(h.waitFor([&] { return c().splitter().heard(); }, 5s));
    h.run(600ms);
    c().stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    const test::WavSamples wav = test::readWav(h.file("onset.wav"));
    ASSERT_FALSE(wav.channels.empty());
    const std::vector<double>& left = wav.channels[0];
    const auto loud =
        std::find_if(left.begin(), left.end(), [](double x) { return std::abs(x) > 0.05; });
    ASSERT_NE(loud, left.end());
    const double onset = static_cast<double>(loud - left.begin()) / wav.info.sampleRate;
    EXPECT_NEAR(onset, GetParam() / 1000.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Milliseconds, PreRoll, ::testing::Values(0, 500));

}  // namespace
}  // namespace orvel
