#include <gtest/gtest.h>

#include <signal.h>

#include <QProcess>
#include <chrono>
#include <thread>

#include "../engine_sound/EngineSoundSupport.h"
#include "../playback/TestMedia.h"
#include "support/Signal.h"
#include "support/TempDir.h"

// The headless recorder's play command and its background music, run as the program against
// the private sound server.
namespace orvel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const AudioFormat kCd{2, 44100, 16};

class RecorderProgram : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_server = platform::connectSoundServer(&error);
        ASSERT_NE(m_server, nullptr) << error;
        const auto tone = test::findLineIndexes(*m_server, "tone");
        ASSERT_TRUE(tone);
        m_lineArguments = {"--device", QString::number(tone->first), "--line",
                           QString::number(tone->second)};
    }

    test::TempDir m_dir;
    std::unique_ptr<platform::SoundServer> m_server;
    QStringList m_lineArguments;
};

TEST_F(RecorderProgram, PlaysWavMp3AndWmaFilesToTheirEnd) {
    for (const auto& [name, format] : {std::pair{"one.wav", OutputFormat::Wav},
                                       {"one.mp3", OutputFormat::Mp3},
                                       {"one.wma", OutputFormat::Wma}}) {
        const std::string file = m_dir.file(name);
        ASSERT_TRUE(
            test::writeMedia(file, format, kCd, test::sinePcm(1000, -6, 1.0, 44100, 2, 16)));
        const auto start = Clock::now();
        const test::ProcessRun run = test::runRecorder({"play", QString::fromStdString(file)}, 20s);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        ASSERT_TRUE(run.finished) << name;
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("played " + file), std::string::npos) << run.out;
        EXPECT_GE(seconds, 1.0) << name;
        EXPECT_LT(seconds, 6.0) << name;
    }
    const test::ProcessRun missing =
        test::runRecorder({"play", QString::fromStdString(m_dir.file("none.mp3"))}, 20s);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot be played"), std::string::npos) << missing.err;
    EXPECT_EQ(test::runRecorder({"play", "--volume", "200", "x.wav"}, 20s).exitCode, 2);
}

TEST_F(RecorderProgram, SigintStopsPlaying) {
    const std::string file = m_dir.file("long.wav");
    ASSERT_TRUE(test::writeMedia(file, OutputFormat::Wav, kCd,
                                 test::sinePcm(1000, -6, 20.0, 44100, 2, 16)));
    QProcess process;
    process.start(test::recorderPath(), {"play", "--start", "5000", QString::fromStdString(file)});
    ASSERT_TRUE(process.waitForStarted(10000));
    std::this_thread::sleep_for(1500ms);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 0);
    const std::string out = process.readAllStandardOutput().toStdString();
    // Stopped some way after the start position.
    EXPECT_NE(out.find("stopped " + file + " at 00m:0"), std::string::npos) << out;
}

TEST_F(RecorderProgram, RecordsTheToneLineWithBackgroundMusic) {
    const std::string music = m_dir.file("music.mp3");
    ASSERT_TRUE(test::writeMedia(music, OutputFormat::Mp3, kCd,
                                 test::sinePcm(1000, -12, 6.0, 44100, 2, 16)));
    const std::string take = m_dir.file("take.wav");
    QStringList arguments{"record",
                          "--seconds",
                          "4",
                          "--background",
                          QString::fromStdString(music),
                          "--background-scale",
                          "25",
                          "--background-channel",
                          "1"};
    arguments << m_lineArguments << QString::fromStdString(take);
    const test::ProcessRun run = test::runRecorder(arguments, 30s);
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const test::WavSamples wav = test::readWav(take);
    ASSERT_EQ(wav.channels.size(), 2u);
    EXPECT_NEAR(wav.seconds(), 4.0, 0.15);
    // The background comes in as late as the speakers' stream starts (up to 1.5 s on the test
    // server), and what the recording holds beyond it at the stop is mixed against silence: the
    // span from 0.2 s to 2 s has both whatever the server's start-up lag.
    const std::vector<double> left(wav.channels[0].begin() + 8820,
                                   wav.channels[0].begin() + 88200);
    const std::vector<double> right(wav.channels[1].begin() + 8820,
                                    wav.channels[1].begin() + 88200);
    // Scale 25: the line (0.5) at 1.5, the background (0.25) at 0.5, on the left only.
    EXPECT_NEAR(test::toneAmplitude(left, 44100, 440), 0.75, 0.04);
    EXPECT_NEAR(test::toneAmplitude(left, 44100, 1000), 0.125, 0.03);
    EXPECT_NEAR(test::toneAmplitude(right, 44100, 440), 0.75, 0.04);
    EXPECT_LT(test::toneAmplitude(right, 44100, 1000), 0.01);
}

// Action 1 ends an untimed recording at the end of the background file, as Ctrl+C would: the
// recording is complete and the run succeeds.
TEST_F(RecorderProgram, TheBackgroundsEndStopsTheRecordingWhenAskedTo) {
    const std::string music = m_dir.file("short.wav");
    ASSERT_TRUE(test::writeMedia(music, OutputFormat::Wav, kCd,
                                 test::sinePcm(1000, -12, 1.5, 44100, 2, 16)));
    const std::string take = m_dir.file("take.wav");
    QStringList arguments{"record", "--background", QString::fromStdString(music),
                          "--background-action", "1"};
    arguments << m_lineArguments << QString::fromStdString(take);
    const test::ProcessRun run = test::runRecorder(arguments, 30s);
    ASSERT_TRUE(run.finished) << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("stopping: completing the file"), std::string::npos) << run.err;
    const test::WavSamples wav = test::readWav(take);
    ASSERT_TRUE(wav.info.ok());
    EXPECT_FALSE(wav.info.sizeRecovered);
    // Ended by the background's end (1.5 s of playing), not by a stop long after it. How much
    // of it the line has delivered by then depends on the server's load.
    EXPECT_GT(wav.seconds(), 0.0);
    EXPECT_LT(wav.seconds(), 5.0);
}

TEST_F(RecorderProgram, ADamagedBackgroundIsAWarningAndTheRecordingGoesOn) {
    m_dir.write("bad.mp3", std::string(5000, '\x42'));
    const std::string take = m_dir.file("take.wav");
    QStringList arguments{"record", "--seconds", "1", "--background",
                          QString::fromStdString(m_dir.file("bad.mp3"))};
    arguments << m_lineArguments << QString::fromStdString(take);
    const test::ProcessRun run = test::runRecorder(arguments, 30s);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("Background file open error"), std::string::npos) << run.err;
    const test::WavSamples wav = test::readWav(take);
    ASSERT_EQ(wav.channels.size(), 2u);
    EXPECT_NEAR(wav.seconds(), 1.0, 0.15);
    EXPECT_NEAR(test::toneAmplitude(wav.channels[0], 44100, 440), 0.5, 0.03);
    EXPECT_EQ(test::runRecorder({"record", "--background-scale", "20", "x.wav"}, 20s).exitCode, 2);
}

}  // namespace
}  // namespace orvel
