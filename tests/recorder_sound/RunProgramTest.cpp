#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <array>
#include <chrono>

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
    // Starts the program, lets it run, then sends SIGINT and collects what it printed.
    test::ProcessRun runFor(const QStringList& arguments, std::chrono::milliseconds time) {
        QProcess process;
        // The command line cuts a file name at its first "-": the test's folder has one, so
        // the program runs in it and is given a bare name.
        process.setWorkingDirectory(QString::fromStdString(m_dir.path()));
        process.start(test::recorderPath(), QStringList{"run"} + arguments);
        test::ProcessRun run;
        if (!process.waitForStarted(5000)) {
            return run;
        }
        test::waitUntil([] { return false; }, time);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        run.finished = process.waitForFinished(20000);
        run.exitCode = process.exitCode();
        run.exitStatus = process.exitStatus();
        run.out = process.readAllStandardOutput().toStdString();
        run.err = process.readAllStandardError().toStdString();
        return run;
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
