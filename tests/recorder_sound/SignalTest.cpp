#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "../engine_sound/EngineSoundSupport.h"
#include "RecorderHarness.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "support/Signal.h"

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

// Where a file's sound lies: its first and last samples louder than a quiet hum, in seconds.
struct Loud {
    double onset = -1;
    double span = -1;
};
Loud loudPart(const std::vector<double>& samples, int rate) {
    auto loud = [](double x) { return std::abs(x) > 0.05; };
    const auto first = std::find_if(samples.begin(), samples.end(), loud);
    if (first == samples.end()) {
        return {};
    }
    const auto last = std::find_if(samples.rbegin(), samples.rend(), loud);
    return {static_cast<double>(first - samples.begin()) / rate,
            static_cast<double>(last.base() - first) / rate};
}

std::vector<std::uint8_t> burstsPcm(int bursts, double tone, double silence, double lead) {
    const AudioFormat format{2, 44100, 16};
    std::vector<std::uint8_t> pcm(
        static_cast<std::size_t>(lead * format.sampleRate) * format.blockAlign(), 0);
    for (int i = 0; i < bursts; ++i) {
        const std::vector<std::uint8_t> burst = test::sinePcm(440, -6, tone, 44100, 2, 16);
        pcm.insert(pcm.end(), burst.begin(), burst.end());
        pcm.resize(pcm.size() +
                   static_cast<std::size_t>(silence * format.sampleRate) * format.blockAlign());
    }
    return pcm;
}

// The track splitter on the server's own playback mix: bursts played into the speakers are
// recorded from their monitor. The capture never stops between tracks: every burst has a
// numbered file of its own that holds it whole from its onset, and a stop while the next file
// waits for sound leaves no file for it, no log line and no alert, only that the mode ended.
TEST_F(SignalRecording, TheTrackSplitterGivesEveryBurstItsWholeFileWithoutAGap) {
    h.settings().writeSignalType(SignalSplitter::NewFileOnSilence);
    h.settings().writeNewFileDelay(1);
    ASSERT_TRUE(h.make({.line = std::string("speakers.monitor")}));
    const std::string played = h.file("bursts.wav");
    {
        const std::vector<std::uint8_t> pcm = burstsPcm(3, 1.0, 3.0, 0.5);
        WavWriter writer;
        ASSERT_EQ(writer.open(played, AudioFormat{2, 44100, 16}), WavWriter::Result::Ok);
        ASSERT_EQ(writer.append(pcm.data(), pcm.size()), WavWriter::Result::Ok);
        ASSERT_EQ(writer.close(), WavWriter::Result::Ok);
    }
    QSignalSpy runs(&h.engine(), &CaptureEngine::finished);
    c().setFieldText(h.file("song.mp3"));
    c().toggleSignal();
    ASSERT_EQ(c().transport(), Transport::Recording);
    // The monitor's first sound may come late: the bursts play once it delivers.
    ASSERT_TRUE(h.waitFor([&] { return !h.engine().latestBlock().empty(); }, 5s));
    QProcess player;
    player.start("paplay", {"--device=speakers", QString::fromStdString(played)});
    ASSERT_TRUE(h.waitFor([&] { return c().runPath() == h.file("song_004.MP3"); }, 20s));
    EXPECT_TRUE(c().recording());
    EXPECT_TRUE(c().signalMode());
    EXPECT_EQ(runs.count(), 0);
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 3; }, 5s));
    c().stop();
    h.run(1s);
    player.waitForFinished(5000);

    EXPECT_EQ(runs.count(), 1);
    for (const FaceState& state : h.view.states) {
        if (!state.signalDown) {
            break;  // the stop
        }
        EXPECT_EQ(state.transport, Transport::Recording);
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.file("song_004.MP3"))));
    EXPECT_EQ(h.view.files.size(), 3u);
    EXPECT_EQ(h.logLines().size(), 3u);
    EXPECT_EQ(c().infoLine1(), "Signal recording ended");
    for (const char* name : {"song_001.MP3", "song_002.MP3", "song_003.MP3"}) {
        SCOPED_TRACE(name);
        const Loud loud = loudPart(test::decodeWithFfmpeg(h.file(name), 44100), 44100);
        EXPECT_GE(loud.onset, 0.0);
        EXPECT_LE(loud.onset, 0.1);  // the file starts at the burst's onset block
        EXPECT_NEAR(loud.span, 1.0, 0.02);
    }
}

// Forty bursts in a row, fed as fast as the recording takes them with the clock and the
// recording tick following the sound block by block: forty files, each holding its whole burst
// from the onset's block on (the pre-roll before it), logged from the moment its sound began.
class FortyBursts : public SignalRecording, public ::testing::WithParamInterface<int> {};

TEST_P(FortyBursts, GiveFortyWholeFiles) {
    const double preRoll = GetParam() / 1000.0;
    h.settings().writePreRoll(GetParam());
    constexpr int kBursts = 40;
    constexpr double kLead = 0.55;
    std::vector<Segment> script{{false, kLead}};
    for (int i = 0; i < kBursts; ++i) {
        script.push_back({true, 2.0});
        script.push_back({false, 3.0});
    }
    h.settings().writeSignalType(SignalSplitter::NewFileOnSilence);
    h.settings().writeNewFileDelay(1);
    const QDateTime start(QDate(2024, 3, 4), QTime(10, 0, 0));
    test::ManualClock clock(start);
    test::ManualTicks ticks;
    RecorderHarness::Options options;
    options.sources = test::scriptedLine(h.folder(), script, false);
    options.clock = &clock;
    options.ticks = &ticks;
    ASSERT_TRUE(h.make(options));
    QObject::connect(&h.engine(), &CaptureEngine::blockHandled, [&] {
        clock.set(clock.now().addMSecs(100));
        ticks.fire(TickSource::Tick::Recording50);
        ticks.fire(TickSource::Tick::Recording50);
    });
    c().setRateIndex(0);
    c().setStereo(false);
    c().setFieldText(h.file("take.wav"));
    c().toggleSignal();
    ASSERT_TRUE(c().recording());
    ASSERT_TRUE(h.waitFor([&] { return !c().recording(); }, 120s));
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() >= kBursts; }, 5s));
    h.run(300ms);

    EXPECT_EQ(h.view.files.size(), static_cast<std::size_t>(kBursts));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.file("take_041.WAV"))));
    const std::vector<std::string> log = h.logLines();
    ASSERT_EQ(log.size(), static_cast<std::size_t>(kBursts));
    for (int i = 0; i < kBursts; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "take_%03d.WAV", i + 1);
        SCOPED_TRACE(name);
        const test::WavSamples wav = test::readWav(h.file(name));
        ASSERT_FALSE(wav.channels.empty());
        const Loud loud = loudPart(wav.channels[0], wav.info.sampleRate);
        EXPECT_GE(loud.onset, preRoll);
        EXPECT_LT(loud.onset, preRoll + 0.1);
        EXPECT_NEAR(loud.span, 2.0, 0.01);
        // Logged from the burst's onset, not from when the file was asked for.
        const QTime logged = QTime::fromString(
            QString::fromStdString(log[static_cast<std::size_t>(i)]).section(',', 2, 2),
            "HH:mm:ss");
        EXPECT_NEAR(start.time().secsTo(logged), kLead + 5.0 * i, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(PreRollMs, FortyBursts, ::testing::Values(0, 500));

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
    ASSERT_TRUE(h.waitFor([&] { return c().runPath() == h.file("wait_002.WAV"); }, 6s));
    EXPECT_TRUE(c().recording());
    EXPECT_EQ(c().infoLine1(), kWaiting);
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
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 3s));
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
