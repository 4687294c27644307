#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <array>
#include <chrono>
#include <functional>

#include "../engine_sound/EngineSoundSupport.h"
#include "../platform_sound/SoundTestSupport.h"
#include "audio/WavReader.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// orvel-rec run as the program it is, on settings of the test's own (never seen before: the
// first run's choice is made for it).
class RunProgram : public ::testing::Test {
protected:
    // Starts the program in the test's folder, lets it run for the time (or until `ready`, at
    // most that long), then sends the signal (as many times as given, at once) and collects
    // what it printed.
    test::ProcessRun runFor(
        const QStringList& arguments, std::chrono::milliseconds time, int signal = SIGINT,
        int times = 1, const std::function<bool()>& ready = [] { return false; }) {
        QProcess process;
        process.setWorkingDirectory(QString::fromStdString(m_dir.path()));
        process.start(test::recorderPath(), QStringList{"run"} + arguments);
        test::ProcessRun run;
        if (!process.waitForStarted(5000)) {
            return run;
        }
        test::waitUntil(ready, time);
        for (int i = 0; i < times; ++i) {
            ::kill(static_cast<pid_t>(process.processId()), signal);
        }
        run.finished = process.waitForFinished(20000);
        run.exitCode = process.exitCode();
        run.exitStatus = process.exitStatus();
        run.out = process.readAllStandardOutput().toStdString();
        run.err = process.readAllStandardError().toStdString();
        return run;
    }

    // The tone line as the stored recording line.
    void storeToneLine() {
        std::string error;
        std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
        ASSERT_NE(server, nullptr) << error;
        const auto tone = test::findLineIndexes(*server, "tone");
        ASSERT_TRUE(tone);
        m_settings.writeDevice(tone->first);
        m_settings.writeAudioLine(tone->second);
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        QDirIterator it(QString::fromStdString(m_dir.file("data/orvel/Log")), {"*.txt"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly)) {
                for (const QByteArray& line : file.readAll().split('\n')) {
                    if (!line.isEmpty()) {
                        lines.push_back(line.toStdString());
                    }
                }
            }
        }
        return lines;
    }

    test::TempDir m_dir{test::TempDir::Xdg::Redirect};
    SettingsStore m_settings;
};

// /r records at once with the command line's format into the command line's file, until
// SIGINT, which completes the file and writes its log line.
TEST_F(RunProgram, RecordsUntilInterruptedAndLeavesACompleteFileAndItsLogLine) {
    const std::string path = m_dir.file("x.wav");
    const test::ProcessRun run = runFor(
        {"/r", "-frequency", "22", "-bit", "8", "-channels", "1", "-filename", "x.wav"}, 3500ms);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "info: Recording | \n")) << run.out;
    EXPECT_TRUE(contains(run.out, "finished: x.wav (0:0")) << run.out;
    EXPECT_TRUE(contains(run.out, "logged)")) << run.out;
    const WavInfo wav = WavReader::readFile(path);
    ASSERT_TRUE(wav.ok());
    EXPECT_FALSE(wav.sizeRecovered);
    EXPECT_EQ(wav.audioFormat(), (AudioFormat{1, 22050, 8}));
    EXPECT_GT(wav.dataSize, 10000u);
    const std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("x.wav,", 0), 0u) << log[0];
}

// A closed terminal (SIGHUP, which the terminal and then its shell each send) in the middle of
// an MP3 recording takes the close order: the file is complete, decodes to the length recorded,
// and has its log line. The name, with a blank and hyphens, is followed by another option.
TEST_F(RunProgram, AHangUpLeavesACompleteMp3AndItsLogLine) {
    storeToneLine();
    const std::string path = m_dir.file("late-night take.mp3");
    // 1.5 s of sound at 128 kbit/s.
    auto recorded = [&] { return QFileInfo(QString::fromStdString(path)).size() > 24000; };
    const test::ProcessRun run =
        runFor({"/r", "-filename", QString::fromStdString(path), "-frequency", "44"}, 20s, SIGHUP,
               2, recorded);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::optional<std::uint32_t> frames = test::mp3InfoFrames(path);
    ASSERT_TRUE(frames) << "no complete Info frame";
    const double framed = *frames * 1152.0 / 44100;
    const double decoded = static_cast<double>(test::decodeWithFfmpeg(path, 8000).size()) / 8000;
    EXPECT_GT(decoded, 1.4);
    EXPECT_NEAR(decoded, framed, 0.1);
    const std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("late-night take.mp3,", 0), 0u) << log[0];
}

// Nobody can answer the overwrite question: an existing file is kept, the run says why and ends
// with status 1, even where the stored alert is off; --overwrite replaces it.
TEST_F(RunProgram, AnExistingFileIsReplacedOnlyWithOverwrite) {
    storeToneLine();
    m_settings.writeNumber(setting::kAlert, 0);
    m_dir.write("kept.wav", "someone's recording");
    const std::string path = m_dir.file("kept.wav");
    test::ProcessRun run =
        test::runRecorder({"run", "/r", "-filename", QString::fromStdString(path)}, 20s);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "exists: not overwritten; give --overwrite")) << run.err;
    EXPECT_EQ(m_dir.read("kept.wav"), "someone's recording");

    run = runFor({"/r", "--overwrite", "-filename", "kept.wav"}, 1500ms);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(WavReader::readFile(path).ok());
}

// A name the recorder cannot write is refused before anything starts, never recorded as WAV
// data or into the stored name.
TEST_F(RunProgram, ANameItCannotWriteIsRefusedAtOnce) {
    const test::ProcessRun run = test::runRecorder({"run", "/r", "-filename", "take.flac"}, 20s);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "-filename \"take.flac\": only .wav, .mp3 and .wma files"))
        << run.err;
    EXPECT_TRUE(logLines().empty());
}

// Two recorders started together with time-stamped names (one at login, one by hand) mostly
// start in the same second: they still record into two files, each complete.
TEST_F(RunProgram, TwoRecordersStartedTogetherRecordTwoFiles) {
    const SettingsStore settings;
    settings.writeMultiFileStatus(1);
    settings.writeTimeStampedStatus(1);
    std::array<QProcess, 2> processes;
    for (QProcess& process : processes) {
        process.setWorkingDirectory(QString::fromStdString(m_dir.path()));
        process.start(test::recorderPath(), {"run", "/r", "-filename", "take.wav"});
        ASSERT_TRUE(process.waitForStarted(5000));
    }
    test::waitUntil([] { return false; }, 3500ms);
    for (QProcess& process : processes) {
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    }
    for (QProcess& process : processes) {
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
    const QStringList files = QDir(QString::fromStdString(m_dir.path())).entryList({"*.WAV"});
    ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString();
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const WavInfo wav = WavReader::readFile(m_dir.file(name.toStdString()));
        ASSERT_TRUE(wav.ok());
        EXPECT_FALSE(wav.sizeRecovered);
        EXPECT_GT(wav.dataSize, 10000u);
    }
}

// /rt on a schedule of two windows a few seconds apart, with the real clock: the file holds the
// two windows and nothing between or around them.
TEST_F(RunProgram, RecordsExactlyInsideTheScheduleWindows) {
    const QTime now = QTime::currentTime();
    if (now > QTime(23, 59, 0)) {
        GTEST_SKIP() << "the windows would cross midnight";
    }
    auto window = [&](int from, int to) {
        return now.addSecs(from).toString("HH:mm:ss").toStdString() + " - " +
               now.addSecs(to).toString("HH:mm:ss").toStdString() + "\n";
    };
    QDir().mkpath(QString::fromStdString(m_dir.file("data/orvel")));
    m_dir.write("data/orvel/TimeSchedule.txt", window(4, 6) + window(8, 10));
    const test::ProcessRun run = runFor({"/rt", "-filename", "windows.wav"}, 12s);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(
        run.out, "| Recording will start at " + now.addSecs(4).toString("HH:mm:ss").toStdString()))
        << run.out;
    EXPECT_TRUE(contains(
        run.out, "| Recording will stop at " + now.addSecs(10).toString("HH:mm:ss").toStdString()))
        << run.out;
    const WavInfo wav = WavReader::readFile(m_dir.file("windows.wav"));
    ASSERT_TRUE(wav.ok());
    const double seconds = static_cast<double>(wav.dataSize) / wav.bytesPerSecond;
    // Two windows of 2 s, each to the second (a window opens and closes on the clock's whole
    // seconds, seen by a 50 ms tick).
    EXPECT_GE(seconds, 3.5);
    EXPECT_LE(seconds, 4.6);
    EXPECT_EQ(logLines().size(), 1u);
}

}  // namespace
}  // namespace orvel
