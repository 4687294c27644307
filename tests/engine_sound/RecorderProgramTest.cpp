#include <gtest/gtest.h>

#include <signal.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <chrono>

#include <sys/stat.h>

#include <QDir>

#include "EngineSoundSupport.h"
#include "audio/WavWriter.h"
#include "config/SettingsStore.h"
#include "devices/MixerControl.h"
#include "platform_sound/SoundTestSupport.h"
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

// A recorder killed at any moment leaves a file that decodes and misses at most about a second
// of what was captured: counted from the moment the first sound reached the file, three
// seconds later at least two are in it.
class KilledRecorder : public RecorderProgram, public ::testing::WithParamInterface<const char*> {};

TEST_P(KilledRecorder, LeavesAFileThatMissesAtMostASecond) {
    const QString path = file(std::string("killed.") + GetParam());
    RunningRecorder recorder(path);
    ASSERT_TRUE(recorder.running()) << recorder.err();
    const qint64 startSize = QFileInfo(path).size();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (QFileInfo(path).size() <= startSize && std::chrono::steady_clock::now() < deadline) {
        QThread::msleep(20);
    }
    ASSERT_GT(QFileInfo(path).size(), startSize) << "no sound reached the file";
    QThread::sleep(3);
    recorder.process().kill();
    ASSERT_TRUE(recorder.process().waitForFinished(10000));

    const std::vector<double> decoded = test::decodeWithFfmpeg(path.toStdString(), 44100);
    EXPECT_GE(static_cast<double>(decoded.size()) / 44100, 2.0);
    if (std::string(GetParam()) == "wav") {
        // The header lags the samples by at most the chunk being written: two blocks.
        const WavInfo info = WavReader::readFile(path.toStdString());
        ASSERT_TRUE(info.ok());
        const auto length = static_cast<std::uint64_t>(QFileInfo(path).size());
        ASSERT_GE(length, info.dataOffset + info.dataSize);
        EXPECT_FALSE(info.sizeRecovered);
        EXPECT_LE(length - info.dataOffset - info.dataSize, 2u * 17640);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, KilledRecorder, ::testing::Values("wav", "mp3", "wma"));

// A line that delivers seconds at once (the server's sine source does, after a backlog): a timed
// recording holds every sample and exactly its length, and nothing is reported lost.
TEST_F(RecorderProgram, ABurstyLineLosesNothing) {
    test::LoadedModule burst({"module-sine-source", "source_name=orvel_burst", "rate=44100"});
    ASSERT_TRUE(burst.loaded());
    std::string error;
    std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
    ASSERT_NE(server, nullptr) << error;
    const auto line = test::findLineIndexes(*server, "orvel_burst");
    ASSERT_TRUE(line);
    const test::ProcessRun run =
        test::runRecorder({"record", "--device", QString::number(line->first), "--line",
                           QString::number(line->second), "--seconds", "3", file("burst.wav")});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(contains(run.err, "lost")) << run.err;
    const test::WavSamples wav = test::readWav(m_dir.file("burst.wav"));
    ASSERT_TRUE(wav.info.ok());
    EXPECT_EQ(wav.info.dataSize, 3u * 176400);
    const std::vector<double> middle(wav.channels[0].begin() + 4410, wav.channels[0].end() - 4410);
    EXPECT_NEAR(test::zeroCrossingFrequency(middle, 44100), 440.0, 2.0);
}

// A recording on a small file system of its own (a private mount namespace), as full as a test
// makes it; the files it leaves (beside the filler) are copied to `kept`. False when such a
// mount cannot be made here.
bool recordOnSmallDisk(const QString& folder, int sizeKb, int fillKb, const QString& kept,
                       const QStringList& record, test::ProcessRun* run) {
    const QString script = QStringLiteral(
                               "mount -t tmpfs -o size=%1k tmpfs \"$1\" || exit 99; kept=$2; "
                               "shift 2; dd if=/dev/zero of=\"$0/fill\" bs=1k count=%2 "
                               "2>/dev/null; \"$@\"; status=$?; ls \"$0\"; "
                               "for f in \"$0\"/*; do [ \"$f\" = \"$0/fill\" ] || cp \"$f\" "
                               "\"$kept\"; done; exit $status")
                               .arg(sizeKb)
                               .arg(fillKb);
    *run = test::runProgram("unshare", QStringList{"-m", "sh", "-c", script, folder, folder, kept,
                                                   test::recorderPath()} +
                                           record);
    return run->finished && run->exitCode != 99;
}

TEST_F(RecorderProgram, AFullDiskIsNamedAsTheCause) {
    const QString disk = file("disk");
    const QString kept = file("kept");
    ASSERT_TRUE(QDir().mkpath(disk));
    ASSERT_TRUE(QDir().mkpath(kept));
    test::ProcessRun run;
    for (const char* format : {"wav", "mp3", "wma"}) {
        SCOPED_TRACE(std::string("full at the start: ") + format);
        if (!recordOnSmallDisk(disk, 64, 1024, kept,
                               {"record", "--seconds", "1", disk + "/x." + format}, &run)) {
            GTEST_SKIP() << "no private file system can be mounted here: " << run.err;
        }
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(contains(run.err, "No space left on device")) << run.err;
        EXPECT_EQ(run.out, "fill\n") << "the refused recording's file stayed behind";
    }
    // The disk fills up part-way through a chunk of the recording (the first two) or as the
    // file is brought up to date: the file is completed all the same and keeps whole packets.
    for (int fillKb : {40, 60, 48}) {
        SCOPED_TRACE("filled by a WMA recording after " + std::to_string(fillKb) + " KiB");
        const QString recording = kept + "/x.wma";
        QFile::remove(recording);
        ASSERT_TRUE(recordOnSmallDisk(disk, 96, fillKb, kept,
                                      {"record", "--seconds", "20", disk + "/x.wma"}, &run));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(contains(run.err, "No space left on device")) << run.err;
        EXPECT_TRUE(contains(run.err, "the file holds the sound written before")) << run.err;
        const test::ProcessRun decode = test::runProgram(
            "ffmpeg", {"-v", "error", "-nostdin", "-i", recording, "-f", "null", "-"});
        EXPECT_EQ(decode.exitCode, 0);
        EXPECT_EQ(decode.err, "") << "the file's last packet is damaged";
        EXPECT_GE(test::decodeWithFfmpeg(recording.toStdString(), 44100).size(), 44100u / 2);
    }
}

// A second recorder asked for the file a first one is recording is refused with a message and
// leaves the first recording whole.
TEST_F(RecorderProgram, ASecondRecorderOnTheSameFileIsRefused) {
    const QString path = file("same.wav");
    QProcess first;
    first.start(test::recorderPath(), {"record", "--line", "0", "--seconds", "3", path});
    QByteArray firstErr;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            first.waitForReadyRead(100);
            firstErr += first.readAllStandardError();
            return firstErr.contains("recording line");
        },
        20s))
        << firstErr.toStdString();

    const test::ProcessRun second =
        test::runRecorder({"record", "--line", "0", "--seconds", "1", path});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(contains(second.err, "\"" + path.toStdString() +
                                         "\" is being recorded by another Orvel"))
        << second.err;

    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), 0) << (firstErr + first.readAllStandardError()).toStdString();
    const WavInfo info = WavReader::readFile(path.toStdString());
    ASSERT_TRUE(info.ok());
    EXPECT_FALSE(info.sizeRecovered);
    EXPECT_EQ(info.dataSize, 3u * 176400);
    EXPECT_EQ(info.dataOffset + info.dataSize, static_cast<std::uint64_t>(QFileInfo(path).size()));
}

// Files that are no plain files, or hold no sound, are refused at once with a message.
TEST_F(RecorderProgram, OddFilesAreRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(m_dir.file("fifo.wav").c_str(), 0600), 0);
    test::ProcessRun run = test::runRecorder({"play", file("fifo.wav")}, 20s);
    ASSERT_TRUE(run.finished) << "playing a FIFO hangs";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.err, "not a plain file")) << run.err;

    run = test::runRecorder({"record", "--line", "0", "--seconds", "1", "--background",
                             file("fifo.wav"), file("take.wav")},
                            30s);
    ASSERT_TRUE(run.finished) << "a FIFO as background music hangs";
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.err, "cannot be played")) << run.err;

    const auto header = WavWriter::header({2, 44100, 16}, 176400);
    m_dir.write("hollow.wav", std::string(header.begin(), header.end()));
    run = test::runRecorder({"play", file("hollow.wav")}, 20s);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.err, "holds no sound")) << run.err;
}

// SIGTERM and a closed terminal's SIGHUP both complete the file; the recording ends well.
TEST_F(RecorderProgram, SigtermAndSighupCompleteTheFileAndSucceed) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sigabbrev_np(signal));
        const std::string name = std::string("stopped-") + sigabbrev_np(signal) + ".wav";
        RunningRecorder recorder(file(name));
        ASSERT_TRUE(recorder.running()) << recorder.err();
        QThread::sleep(2);
        ::kill(static_cast<pid_t>(recorder.process().processId()), signal);
        ASSERT_TRUE(recorder.process().waitForFinished(20000));
        EXPECT_EQ(recorder.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(recorder.process().exitCode(), 0) << recorder.err();

        const WavInfo info = WavReader::readFile(m_dir.file(name));
        ASSERT_TRUE(info.ok());
        EXPECT_FALSE(info.sizeRecovered);
        EXPECT_EQ(info.dataOffset + info.dataSize,
                  static_cast<std::uint64_t>(QFileInfo(file(name)).size()));
        EXPECT_GT(info.dataSize, 0u);
    }
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
