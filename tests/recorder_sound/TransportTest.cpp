#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <csignal>

#include "../engine_sound/EngineSoundSupport.h"
#include "../platform_sound/SoundTestSupport.h"
#include "RecorderHarness.h"
#include "audio/FileLock.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "support/FileFedLine.h"
#include "support/Signal.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::RecorderHarness;

std::int64_t fileSize(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return info.exists() ? info.size() : -1;
}

bool exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

// The stream parameters ffprobe reads from a file: "<sample rate> <channels>".
std::string probe(const std::string& path) {
    const test::ProcessRun run =
        test::runProgram("ffprobe", {"-v", "error", "-select_streams", "a:0", "-show_entries",
                                     "stream=sample_rate,channels", "-of", "csv=p=0:s=x",
                                     QString::fromStdString(path)});
    std::string out = run.out;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
        out.pop_back();
    }
    return out;
}

TEST(Transport, RefusesWithoutALineAndArmsUnderPause) {
    RecorderHarness h;
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.setFieldText(h.file("armed.wav"));

    c.togglePause();
    c.record();
    h.run(300ms);
    EXPECT_EQ(c.transport(), Transport::RecordArmed);
    EXPECT_TRUE(c.state().recordDown);
    EXPECT_FALSE(exists(h.file("armed.wav")));

    c.togglePause();
    ASSERT_EQ(c.transport(), Transport::Recording);
    EXPECT_EQ(c.infoLine1(), RecorderController::kRecordingText);
    EXPECT_TRUE(h.waitFor([&] { return fileSize(h.file("armed.wav")) > 20000; }, 5s));
    // Record, play and eject take no press while recording.
    EXPECT_FALSE(c.state().transportEnabled);
    c.play();
    EXPECT_EQ(c.transport(), Transport::Recording);

    c.stop();
    EXPECT_EQ(c.transport(), Transport::Idle);
    EXPECT_EQ(c.infoLine1(), RecorderController::kReadyText);
    EXPECT_FALSE(c.state().recordDown || c.state().pauseDown);
}

TEST(Transport, WithoutAUsableLineRecordDoesNothingAndPlayTellsTheDevice) {
    RecorderHarness h;
    h.settings().writeDevice(7);
    h.settings().writeAudioLine(0);
    ASSERT_TRUE(h.make({.line = std::nullopt}));
    RecorderController& c = h.controller();
    c.setFieldText(h.file("none.wav"));
    const std::size_t infos = h.view.infos.size();
    c.record();
    h.run(200ms);
    EXPECT_EQ(h.view.infos.size(), infos);
    EXPECT_FALSE(c.state().recordDown);
    EXPECT_FALSE(exists(h.file("none.wav")));
    c.play();
    EXPECT_EQ(c.infoLine1(), "Audio device error");
}

// The size rule, the duration and the log line are judged once the engine has completed the
// file, never on a file still being written.
TEST(Transport, StopJudgesTheFileOnlyWhenItIsComplete) {
    RecorderHarness h;
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.setRateIndex(0);
    c.setStereo(false);
    c.setSixteenBits(false);
    c.setFieldText(h.file("short.wav"));

    c.record();
    ASSERT_EQ(c.transport(), Transport::Recording);
    h.run(300ms);
    c.stop();
    EXPECT_EQ(c.infoLine1(), RecorderController::kReadyText);
    EXPECT_TRUE(h.view.files.empty());
    ASSERT_TRUE(h.waitFor([&] { return !h.view.files.empty(); }, 5s));
    EXPECT_TRUE(h.view.files[0].ok);
    EXPECT_LE(h.view.files[0].bytes, 6143u);
    EXPECT_EQ(c.infoLine1(), "Alert ! Recording is not completed");

    c.setFieldText(h.file("long.wav"));
    c.record();
    ASSERT_TRUE(h.waitFor([&] { return fileSize(h.file("long.wav")) >= 44 + 2 * 8000; }, 6s));
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 2; }, 5s));
    EXPECT_EQ(c.infoLine1(), RecorderController::kReadyText);
    EXPECT_EQ(h.view.files[1].path, h.file("long.wav"));
    const std::vector<std::string> log = h.logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].rfind("short.wav,", 0), 0u) << log[0];
    EXPECT_NE(log[1].find("long.wav," + h.folder() + "/,"), std::string::npos) << log[1];
    EXPECT_NE(log[1].find(",0:02,1 - Tone line,,"), std::string::npos) << log[1];
}

TEST(Transport, TheOverwriteQuestionIsAnsweredWithoutBlockingAndStopSaysNo) {
    RecorderHarness h;
    h.settings().writeNumber(setting::kAlert, 1);
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    const std::string path = h.file("kept.wav");
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(10000, 'k'));
    }
    c.setFieldText(path);

    // No: nothing changes.
    h.view.overwriteAnswers = {false};
    c.record();
    EXPECT_TRUE(c.questionOpen());
    EXPECT_EQ(c.transport(), Transport::Confirming);
    ASSERT_TRUE(h.waitFor([&] { return !c.questionOpen(); }, 2s));
    EXPECT_EQ(c.transport(), Transport::Idle);
    EXPECT_FALSE(c.state().recordDown);
    EXPECT_EQ(fileSize(path), 10000);

    // A press while the question is open waits for the answer, then runs; a format chosen
    // meanwhile is for the next recording, as it would be had nobody been asked.
    c.record();
    ASSERT_TRUE(c.questionOpen());
    c.togglePause();
    c.setStereo(false);
    EXPECT_FALSE(c.pauseDown());
    EXPECT_TRUE(c.choice().stereo);
    ASSERT_TRUE(h.view.openQuestion);
    h.view.openQuestion(true);
    ASSERT_TRUE(h.waitFor([&] { return c.transport() == Transport::Recording; }, 2s));
    ASSERT_TRUE(h.waitFor([&] { return c.pauseDown(); }, 2s));
    EXPECT_EQ(h.engine().format().channels, 2);
    EXPECT_FALSE(c.choice().stereo);
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    EXPECT_LT(fileSize(path), 10000);  // replaced

    // Stop while the question is open answers it "No"; a late answer changes nothing.
    h.view.openQuestion = nullptr;
    c.record();
    ASSERT_TRUE(h.view.openQuestion);
    c.stop();
    EXPECT_FALSE(c.questionOpen());
    h.view.openQuestion(true);
    h.run(300ms);
    EXPECT_EQ(c.transport(), Transport::Idle);
    EXPECT_EQ(h.view.files.size(), 1u);
}

// An MP3 recording at 22050 Hz and 8 bits records at 44100 Hz and 16 bits; the face keeps 16
// bits afterwards (as the MP3 start has always left it) but its rate. Without an MP3 encoder
// nothing is adjusted or created.
// Another recorder's file is left alone, and the info line names it; with multi-file on, the
// numbered name another recorder took a moment after this one formed it is passed over.
TEST(Transport, AFileAnotherRecorderHoldsIsNeverOverwritten) {
    RecorderHarness h;
    FileLock other;
    std::string takenMeanwhile;  // claimed for the other recorder just before the engine starts
    RecorderHarness::Options options;
    options.sources = [&](const platform::SoundLine& line) {
        if (!takenMeanwhile.empty()) {
            EXPECT_EQ(other.acquire(std::exchange(takenMeanwhile, {})), FileLock::Result::Locked);
        }
        return h.server().createCaptureSource(line);
    };
    ASSERT_TRUE(h.make(options));
    RecorderController& c = h.controller();

    const auto header = WavWriter::header({2, 44100, 16}, 0);
    const std::string recorded(header.begin(), header.end());
    QFile file(QString::fromStdString(h.file("take.wav")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(recorded.data(), static_cast<qint64>(recorded.size()));
    file.close();
    ASSERT_EQ(other.acquire(h.file("take.wav")), FileLock::Result::Locked);
    c.setFieldText(h.file("take.wav"));
    c.record();
    EXPECT_EQ(c.transport(), Transport::Idle);
    EXPECT_FALSE(c.state().recordDown);
    EXPECT_EQ(c.infoLine1(), "take.wav");
    EXPECT_EQ(c.infoLine2(), "is being recorded by another Orvel");
    h.run(300ms);
    EXPECT_EQ(fileSize(h.file("take.wav")), static_cast<std::int64_t>(recorded.size()));
    EXPECT_TRUE(h.logLines().empty());

    other.release();
    c.setFieldText(h.file("song.wav"));
    c.toggleMultiFile();
    takenMeanwhile = h.file("song_001.WAV");
    c.record();
    ASSERT_EQ(c.transport(), Transport::Recording) << c.infoLine1() << " " << c.infoLine2();
    EXPECT_EQ(c.runPath(), h.file("song_002.WAV"));
    ASSERT_TRUE(h.waitFor([&] { return fileSize(h.file("song_002.WAV")) > 20000; }, 5s));
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return !h.view.files.empty(); }, 5s));
    EXPECT_TRUE(h.view.files[0].ok);
    EXPECT_EQ(fileSize(h.file("song_001.WAV")), 0);
    const std::vector<std::string> log = h.logLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("song_002.WAV,", 0), 0u) << log[0];
}

TEST(Transport, Mp3AdjustsTheFormatAndIsRefusedWithoutAnEncoder) {
    {
        RecorderHarness h;
        ASSERT_TRUE(h.make({.hideLame = true}));
        RecorderController& c = h.controller();
        c.setSixteenBits(false);
        c.setFieldText(h.file("none.mp3"));
        c.record();
        EXPECT_EQ(c.infoLine1(), "MP3 eocoder is not found on your");
        EXPECT_EQ(c.transport(), Transport::Idle);
        EXPECT_FALSE(c.state().recordDown);
        EXPECT_FALSE(c.state().sixteenBits);
        EXPECT_FALSE(exists(h.file("none.mp3")));
    }
    RecorderHarness h;
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.setRateIndex(4);
    c.setSixteenBits(false);
    c.setFieldText(h.file("raised.mp3"));
    c.record();
    ASSERT_EQ(c.transport(), Transport::Recording);
    EXPECT_TRUE(c.state().sixteenBits);
    EXPECT_EQ(c.state().rateIndex, 4);
    ASSERT_TRUE(h.waitFor([&] { return fileSize(h.file("raised.mp3")) > 8000; }, 6s));
    c.stop();
    // Record again at once: the start waits for the MP3 file to be complete instead of being
    // refused by the busy engine.
    c.setFieldText(h.file("second.mp3"));
    c.record();
    EXPECT_NE(c.transport(), Transport::Idle);
    ASSERT_TRUE(h.waitFor([&] { return c.transport() == Transport::Recording; }, 5s));
    ASSERT_EQ(h.view.files.size(), 1u);
    EXPECT_TRUE(h.view.files[0].ok);
    EXPECT_FALSE(h.view.shown("Recording device not available"));
    EXPECT_EQ(probe(h.file("raised.mp3")), "44100x2");
    ASSERT_TRUE(h.waitFor([&] { return fileSize(h.file("second.mp3")) > 8000; }, 6s));
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 2; }, 5s));
    EXPECT_EQ(h.view.files[1].path, h.file("second.mp3"));
    EXPECT_GT(h.view.files[1].durationMs, 300);
    h.controller().close();
    ASSERT_TRUE(h.waitFor([&] { return h.view.closed == 1; }, 5s));
    EXPECT_EQ(h.settings().readBit(), 1);
    EXPECT_EQ(h.settings().readFreq(), 4);
}

// A run the engine ends by itself stops everything with its message, and nothing starts
// again after it: no loop of empty files on a full disk, no mode left on over a dead line.
TEST(Transport, AWriteFailureEndsTheTrackSplitterWithFileError) {
    RecorderHarness h;
    h.settings().writeSignalType(SignalSplitter::NewFileOnSilence);
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.setFieldText(h.file("full.wav"));
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = 200000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    c.toggleSignal();
    ASSERT_EQ(c.transport(), Transport::Recording);
    const bool ended = h.waitFor([&] { return !h.view.files.empty(); }, 10s);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_TRUE(ended);
    EXPECT_EQ(c.infoLine1(), "File  error ! Please check file name");
    EXPECT_EQ(c.transport(), Transport::Idle);
    EXPECT_FALSE(c.signalMode());
    EXPECT_FALSE(c.restartPending());
    h.run(1s);
    EXPECT_EQ(h.view.files.size(), 1u);
    const WavInfo wav = WavReader::readFile(h.view.files[0].path);
    EXPECT_TRUE(wav.ok());
    EXPECT_FALSE(wav.sizeRecovered);
    EXPECT_EQ(h.logLines().size(), 1u);
}

TEST(Transport, ALostLineEndsTheRecordingWithItsMessage) {
    test::LoadedModule source({"module-null-source", "source_name=unplugged", "rate=44100",
                               "channels=2", "description=Unplugged"});
    ASSERT_TRUE(source.loaded());
    RecorderHarness h;
    ASSERT_TRUE(h.make({.line = std::string("unplugged")}));
    RecorderController& c = h.controller();
    c.setFieldText(h.file("lost.wav"));
    c.toggleSignal();
    ASSERT_EQ(c.transport(), Transport::Recording);
    h.run(1s);
    ASSERT_TRUE(source.unload());
    ASSERT_TRUE(h.waitFor([&] { return !c.recording(); }, 5s));
    EXPECT_EQ(c.infoLine1(), "Recording device not available");
    EXPECT_EQ(c.transport(), Transport::Idle);
    EXPECT_FALSE(c.signalMode());
    h.run(800ms);
    // The line stayed silent: the file signal mode armed heard nothing and is no recording.
    EXPECT_EQ(c.infoLine1(), "Recording device not available");
    EXPECT_TRUE(h.view.files.empty());
    EXPECT_FALSE(exists(h.file("lost.wav")));
}

// Sound the line could not deliver is told on the info line and to the view, with how much was
// lost, while the recording goes on.
TEST(Transport, LostSoundIsToldWithHowMuchWasLost) {
    RecorderHarness h;
    test::FileFedLine* line = nullptr;
    RecorderHarness::Options options;
    options.sources = [&](const platform::SoundLine&) {
        auto fed = std::make_unique<test::FileFedLine>(h.folder(), [](const AudioFormat& format) {
            return test::sinePcm(440, -6, 10, format.sampleRate, format.channels,
                                 format.bitsPerSample);
        });
        line = fed.get();
        return fed;
    };
    ASSERT_TRUE(h.make(options));
    RecorderController& c = h.controller();
    c.setFieldText(h.file("lossy.wav"));
    c.record();
    ASSERT_TRUE(h.waitFor([&] { return h.engine().bytesQueued() > 0; }, 5s));
    ASSERT_NE(line, nullptr);
    line->loseSound(35280);  // 200 ms of 44.1 kHz 16-bit stereo
    ASSERT_TRUE(
        h.waitFor([&] { return c.infoLine1() == "Alert ! Recording could not keep up"; }, 3s));
    EXPECT_EQ(c.infoLine2(), "Sound lost, milliseconds: 200");
    EXPECT_EQ(h.view.lost, std::vector<std::uint64_t>{200});
    EXPECT_TRUE(c.recording());
    c.stop();
}

// Background music does not hold the start: "PrepareBackground" shows until the background's
// first block comes (or 100 ms have passed), then "Recording" again.
TEST(Transport, BackgroundMusicIsPreparedWithoutWaiting) {
    RecorderHarness h;
    const std::string music = h.writeBackgroundMusic("music.wav");
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.setBackgroundEnabled(true);
    c.setFieldText(h.file("mixed.wav"));
    c.record();
    ASSERT_TRUE(c.recording());
    EXPECT_EQ(c.infoLine1(), "Please wait");
    EXPECT_EQ(c.infoLine2(), "Preparing background file");
    EXPECT_TRUE(c.state().backgroundBalanceVisible);
    ASSERT_TRUE(h.waitFor([&] { return c.infoLine1() == RecorderController::kRecordingText; }, 1s));
    h.run(1500ms);
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    EXPECT_TRUE(h.view.files[0].ok);
    EXPECT_NE(h.logLines().at(0).find("," + music + ","), std::string::npos) << h.logLines().at(0);
}

// Closing during a recording completes the file and writes exactly one log line before the
// program may end, without waiting on the GUI thread.
TEST(Transport, CloseCompletesTheRecordingAndLogsItOnce) {
    RecorderHarness h;
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.setFieldText(h.file("closing.mp3"));
    c.record();
    ASSERT_EQ(c.transport(), Transport::Recording);
    // A second of sound in the file (the line's first sound may come late).
    ASSERT_TRUE(h.waitFor([&] { return fileSize(h.file("closing.mp3")) > 16000; }, 6s));
    c.close();
    EXPECT_EQ(h.view.closed, 0);
    ASSERT_TRUE(h.waitFor([&] { return h.view.closed == 1; }, 10s));
    ASSERT_EQ(h.view.files.size(), 1u);
    EXPECT_TRUE(h.view.files[0].ok);
    EXPECT_EQ(h.logLines().size(), 1u);
    EXPECT_EQ(h.settings().readLastName(), h.file("closing.mp3"));
    EXPECT_FALSE(test::decodeWithFfmpeg(h.file("closing.mp3"), 44100).empty());
}

}  // namespace
}  // namespace orvel
