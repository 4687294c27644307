#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <chrono>

#include "EngineSoundSupport.h"
#include "config/SettingsStore.h"
#include "devices/MixerControl.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// orvel-rec run as the program it is, against the private sound server; its settings are
// those of the test (the folders are redirected before it starts).
class RecorderProgram : public ::testing::Test {
protected:
    QString file(const std::string& name) { return QString::fromStdString(m_dir.file(name)); }

    test::TempDir m_dir{test::TempDir::Xdg::Redirect};
};

TEST_F(RecorderProgram, ListsTheServersLines) {
    const test::ProcessRun run = test::runRecorder({"devices"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "device 0: Sound server\n  line 0: Tone line\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "Silence"));
    EXPECT_TRUE(contains(run.out, "Monitor of Speakers"));
}

TEST_F(RecorderProgram, RecordsTwoSecondsToACompleteWavFile) {
    const test::ProcessRun run =
        test::runRecorder({"record", "--line", "0", "--seconds", "2", file("take.wav")});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const test::WavSamples wav = test::readWav(m_dir.file("take.wav"));
    ASSERT_TRUE(wav.info.ok());
    EXPECT_FALSE(wav.info.sizeRecovered);
    EXPECT_EQ(wav.info.audioFormat(), (AudioFormat{2, 44100, 16}));
    EXPECT_GE(wav.seconds(), 2.0 - 0.01);
    EXPECT_LE(wav.seconds(), 2.21);
    EXPECT_NEAR(test::peakDbfs(wav.channels[0]), -6.0, 1.0);
    EXPECT_TRUE(contains(run.out, "recorded 2."));
}

TEST_F(RecorderProgram, RecordsTheStoredLineInTheStoredFormat) {
    std::string error;
    std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
    ASSERT_NE(server, nullptr) << error;
    const auto silence = test::findLineIndexes(*server, "silence");
    ASSERT_TRUE(silence);
    const SettingsStore settings;
    settings.writeDevice(silence->first);
    settings.writeAudioLine(silence->second);
    settings.writeFreq(1);
    settings.writeBit(0);
    const test::ProcessRun run = test::runRecorder({"record", "--seconds", "1", file("quiet.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(contains(run.err, "no device is stored"));
    const test::WavSamples wav = test::readWav(m_dir.file("quiet.wav"));
    ASSERT_TRUE(wav.info.ok());
    EXPECT_EQ(wav.info.audioFormat(), (AudioFormat{2, 11025, 8}));
    EXPECT_LT(MixerControl::measureTestFile(m_dir.file("quiet.wav")), 6);
}

TEST_F(RecorderProgram, RefusesWhatCannotBeRecordedWithAMessage) {
    struct Case {
        QStringList arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"record", "--line", "99", "--seconds", "1", file("a.wav")}, "there is no line 99"},
        {{"record", "--rate", "12345", "--seconds", "1", file("a.wav")},
         "12345 Hz is not one of the recorder's rates"},
        {{"record", "--seconds", "1", file("missing/a.wav")}, "does not exist"},
        {{"record", "--seconds", "1", "--bits", "sixteen", file("a.wav")},
         "is not a number of bits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const test::ProcessRun run = test::runRecorder(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(contains(run.err, c.message)) << run.err;
        EXPECT_FALSE(QFileInfo::exists(file("a.wav")));
    }
}

// Starts a recording without an end and waits until it runs.
class RunningRecorder {
public:
    explicit RunningRecorder(const QString& path) {
        m_process.start(test::recorderPath(), {"record", "--line", "0", path});
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline && !m_err.contains("recording line")) {
            m_process.waitForReadyRead(200);
            m_err += m_process.readAllStandardError();
        }
        m_running = m_err.contains("recording line");
    }
    bool running() const { return m_running; }
    QProcess& process() { return m_process; }
    std::string err() { return (m_err + m_process.readAllStandardError()).toStdString(); }

private:
    QProcess m_process;
    QByteArray m_err;
    bool m_running = false;
};

TEST_F(RecorderProgram, AKilledRecorderLeavesAFileWhoseHeaderLagsByLessThanASecond) {
    RunningRecorder recorder(file("killed.wav"));
    ASSERT_TRUE(recorder.running()) << recorder.err();
    QThread::sleep(3);
    recorder.process().kill();
    ASSERT_TRUE(recorder.process().waitForFinished(10000));

    const WavInfo info = WavReader::readFile(m_dir.file("killed.wav"));
    ASSERT_TRUE(info.ok());
    const auto length = static_cast<std::uint64_t>(QFileInfo(file("killed.wav")).size());
    ASSERT_GE(length, info.dataOffset);
    const std::uint64_t inFile = length - info.dataOffset;
    const std::uint64_t inHeader = info.sizeRecovered ? 0 : info.dataSize;
    EXPECT_GT(inHeader, 0u) << "the header was never brought up to date";
    EXPECT_LE(inHeader, inFile);
    EXPECT_LE(inFile - inHeader, info.bytesPerSecond) << inFile << " bytes, header " << inHeader;
}

TEST_F(RecorderProgram, SigtermCompletesTheFileAndSucceeds) {
    RunningRecorder recorder(file("stopped.wav"));
    ASSERT_TRUE(recorder.running()) << recorder.err();
    QThread::sleep(2);
    recorder.process().terminate();
    ASSERT_TRUE(recorder.process().waitForFinished(20000));
    EXPECT_EQ(recorder.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(recorder.process().exitCode(), 0) << recorder.err();

    const WavInfo info = WavReader::readFile(m_dir.file("stopped.wav"));
    ASSERT_TRUE(info.ok());
    EXPECT_FALSE(info.sizeRecovered);
    EXPECT_EQ(info.dataOffset + info.dataSize,
              static_cast<std::uint64_t>(QFileInfo(file("stopped.wav")).size()));
    EXPECT_GT(info.dataSize, 0u);
}

TEST_F(RecorderProgram, AWriteFailureIsReportedAndLeavesAValidFile) {
    // A 64 KiB file-size limit: the fourth block of the recording cannot be written.
    const test::ProcessRun run =
        test::runProgram("bash", {"-c", "ulimit -f 64 && exec \"$0\" \"$@\"", test::recorderPath(),
                                  "record", "--line", "0", "--seconds", "3", file("full.wav")});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit) << "the recorder died of the limit";
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "failed")) << run.err;
    const WavInfo info = WavReader::readFile(m_dir.file("full.wav"));
    ASSERT_TRUE(info.ok());
    EXPECT_FALSE(info.sizeRecovered);
    EXPECT_EQ(info.dataOffset + info.dataSize,
              static_cast<std::uint64_t>(QFileInfo(file("full.wav")).size()));
}

// MP3 and WMA recordings that FFmpeg decodes to the recorded tone and length.
class EncodedRecording : public RecorderProgram,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(EncodedRecording, DecodesToTheToneForTheRecordedTime) {
    const QString path = file(std::string("take.") + GetParam());
    const test::ProcessRun run =
        test::runRecorder({"record", "--line", "0", "--seconds", "2.5", path});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<double> decoded = test::decodeWithFfmpeg(path.toStdString(), 44100);
    ASSERT_FALSE(decoded.empty());
    const double seconds = static_cast<double>(decoded.size()) / 44100;
    EXPECT_GE(seconds, 2.5 - 0.01);
    EXPECT_LE(seconds, 2.5 + 0.25);
    const std::vector<double> middle(decoded.begin() + 22050, decoded.end() - 22050);
    EXPECT_NEAR(test::zeroCrossingFrequency(middle, 44100), 440.0, 4.0);
    EXPECT_NEAR(test::peakDbfs(middle), -6.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, EncodedRecording, ::testing::Values("mp3", "wma"));

}  // namespace
}  // namespace orvel
