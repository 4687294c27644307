#include "cli/HeadlessRecorder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>
#include <sstream>

#include "audio/WavReader.h"
#include "devices/FakeSoundServer.h"
#include "encoders/AttributeEditor.h"
#include "encoders/WmaProfile.h"
#include "platform/StopSignals.h"
#include "support/FileFedLine.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::FakeSoundServer;

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server->deviceList = {FakeSoundServer::device("Sound server", {"tone", "silence"})};
        m_server->captureFactory = [this,
                                    server = m_server.get()](const platform::SoundLine& line) {
            m_captured.push_back(line.sourceName);
            m_selectedAtCapture = server->selected ? server->selected->sourceName : "";
            // A 440 Hz tone of m_lineSeconds at a sound card's pace, in the recording's format.
            return std::make_unique<test::FileFedLine>(
                m_dir.path(), [seconds = m_lineSeconds](const AudioFormat& format) {
                    return test::sinePcm(440, -6, seconds, format.sampleRate, format.channels,
                                         format.bitsPerSample);
                });
        };
    }

    // Runs a command line; the fake server is handed over to the recorder once.
    int run(std::vector<std::string> arguments, HeadlessRecorder* recorder = nullptr) {
        m_out.str("");
        m_err.str("");
        HeadlessRecorder own(m_out, m_err, connector());
        HeadlessRecorder& r = recorder != nullptr ? *recorder : own;
        return r.run(RecorderArguments::parse(arguments));
    }

    HeadlessRecorder::ServerFactory connector() {
        return [this](std::string* error) -> std::unique_ptr<platform::SoundServer> {
            if (!m_server) {
                *error = "Connection refused";
            }
            return std::move(m_server);
        };
    }

    std::string err() const { return m_err.str(); }
    std::string out() const { return m_out.str(); }

    test::TempDir m_dir{test::TempDir::Xdg::Redirect};
    std::unique_ptr<FakeSoundServer> m_server = std::make_unique<FakeSoundServer>();
    std::vector<std::string> m_captured;
    std::string m_selectedAtCapture;
    double m_lineSeconds = 10;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(RecorderTest, RecordsExactlyTheAskedLengthOfTheChosenLine) {
    const std::string path = m_dir.file("take.wav");
    ASSERT_EQ(run({"record", "--line", "1", "--seconds", "1.234", "--rate", "22050", "--channels",
                   "1", path}),
              HeadlessRecorder::kExitOk)
        << err();
    EXPECT_EQ(m_captured, std::vector<std::string>{"silence"});
    EXPECT_EQ(m_selectedAtCapture, "silence");
    const WavInfo info = WavReader::readFile(path);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.audioFormat(), (AudioFormat{1, 22050, 16}));
    // To the frame, although 1.234 s is not a whole number of blocks.
    EXPECT_EQ(info.dataSize, 27210u * 2);  // 1.234 s at 22050 Hz, rounded to a frame
    EXPECT_NE(out().find("recorded 1.2 s"), std::string::npos) << out();
    EXPECT_NE(err().find("recording line 1 \"silence\""), std::string::npos) << err();
}

// Sound the line lost is told, in time rather than bytes.
TEST_F(RecorderTest, LostSoundIsToldAsHowLongItWas) {
    auto fed = m_server->captureFactory;
    m_server->captureFactory = [fed](const platform::SoundLine& line) {
        std::unique_ptr<CaptureSource> source = fed(line);
        static_cast<test::FileFedLine*>(source.get())->loseSound(8820);  // 50 ms of 44.1 kHz
        return source;
    };
    ASSERT_EQ(run({"record", "--line", "0", "--seconds", "0.5", "--rate", "44100", "--channels",
                   "2", "--bits", "16", m_dir.file("lossy.wav")}),
              0)
        << err();
    EXPECT_NE(err().find("50 ms of sound were lost"), std::string::npos) << err();
}

TEST_F(RecorderTest, AStopRequestEndsAnUntimedRecordingWithACompleteFile) {
    const std::string path = m_dir.file("take.wav");
    m_out.str("");
    HeadlessRecorder recorder(m_out, m_err, connector());
    QTimer::singleShot(700ms, &recorder, &HeadlessRecorder::requestStop);
    ASSERT_EQ(recorder.run(RecorderArguments::parse({"record", path})), HeadlessRecorder::kExitOk)
        << m_err.str();
    const WavInfo info = WavReader::readFile(path);
    ASSERT_TRUE(info.ok());
    EXPECT_FALSE(info.sizeRecovered);
    const double seconds = static_cast<double>(info.dataSize) / info.bytesPerSecond;
    EXPECT_GT(seconds, 0.4);
    EXPECT_LT(seconds, 1.5);
    EXPECT_NE(m_err.str().find("stopping"), std::string::npos);
}

TEST_F(RecorderTest, ALineThatEndsEarlyIsReportedAsAFailure) {
    m_lineSeconds = 0.5;
    const std::string path = m_dir.file("take.wav");
    EXPECT_EQ(run({"record", "--seconds", "3", path}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("the recording stopped early: the line ended"), std::string::npos)
        << err();
    EXPECT_TRUE(WavReader::readFile(path).ok());
}

TEST_F(RecorderTest, Mp3RecordingsAreRaisedAndTheirTagsCanBeRewritten) {
    const std::string path = m_dir.file("take.mp3");
    ASSERT_EQ(run({"record", "--seconds", "0.5", "--rate", "11025", "--bits", "8", path}),
              HeadlessRecorder::kExitOk)
        << err();
    EXPECT_NE(err().find("recording at 44100 Hz instead of 11025 Hz"), std::string::npos);
    EXPECT_NE(out().find("(44100 Hz, 16 bits, stereo)"), std::string::npos) << out();

    EXPECT_EQ(run({"tags", path}), HeadlessRecorder::kExitOk);
    EXPECT_NE(out().find("has no ID3v1 tag"), std::string::npos);
    ASSERT_EQ(run({"tags", path, "--artist", "Ann", "--title", "Take", "--album", "Demo", "--year",
                   "2024", "--genre", "17", "--composer", "X"}),
              HeadlessRecorder::kExitOk)
        << err();
    EXPECT_NE(out().find("genre: Rock (17)"), std::string::npos) << out();
    EXPECT_NE(err().find("--composer is not kept in an ID3v1 tag"), std::string::npos);
    TagRecord tag;
    ASSERT_TRUE(AttributeEditor::read(path, tag));
    EXPECT_EQ(tag.artist, "Ann");
    EXPECT_EQ(tag.description, "2024");
    EXPECT_EQ(tag.genreNumber, 17);
}

TEST_F(RecorderTest, TagsOfFilesThatHaveNoneOrCannotBeReadAreRefused) {
    m_dir.write("take.wav", "RIFF");
    EXPECT_EQ(run({"tags", m_dir.file("take.wav")}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("only MP3 and WMA recordings have tags"), std::string::npos);
    EXPECT_EQ(run({"tags", m_dir.file("missing.wma")}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("there is no such file"), std::string::npos);
    // A FIFO is refused before it is opened (opening it would wait for a writer).
    ASSERT_EQ(::mkfifo(m_dir.file("fifo.mp3").c_str(), 0600), 0);
    EXPECT_EQ(run({"tags", m_dir.file("fifo.mp3")}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("not a plain file"), std::string::npos) << err();
    m_dir.write("broken.wma", "not a WMA file");
    EXPECT_EQ(run({"tags", m_dir.file("broken.wma"), "--title", "x"}),
              HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("cannot be read as a WMA file"), std::string::npos);
}

// A refused file names the cause the failing call gave, whatever ran after it.
struct RefusedFile {
    std::string name;  // "@" stands for the test's folder
    std::string cause;
};

class RefusedFiles : public RecorderTest, public ::testing::WithParamInterface<RefusedFile> {};

TEST_P(RefusedFiles, NameTheirCause) {
    std::string path = GetParam().name;
    if (path.front() == '@') {
        path = m_dir.path() + path.substr(1);
    }
    ASSERT_EQ(::symlink("/dev/full", m_dir.file("full.wma").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/full", m_dir.file("full.wav").c_str()), 0);
    EXPECT_EQ(run({"record", "--seconds", "1", path}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find(GetParam().cause), std::string::npos) << err();
    // Nothing the run made is left behind, and nothing that was there is taken away.
    EXPECT_FALSE(QFileInfo(QString::fromStdString(path)).isFile());
    struct stat device {};
    ASSERT_EQ(::stat("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RefusedFiles,
    ::testing::Values(RefusedFile{"@/full.wav", "No space left on device"},
                      RefusedFile{"@/full.wma", "No space left on device"},
                      RefusedFile{"@/" + std::string(300, 'a') + ".wav", "File name too long"},
                      RefusedFile{"@/" + std::string(300, 'a') + ".wma", "File name too long"},
                      RefusedFile{"@/" + std::string(300, 'a') + ".mp3", "File name too long"}));

// A file deleted or replaced while it is being recorded holds nothing of the recording: the
// run says so and fails.
TEST_F(RecorderTest, AFileDeletedOrReplacedWhileRecordingIsAFailure) {
    const std::string path = m_dir.file("gone.wav");
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "deleted");
        m_server = std::make_unique<FakeSoundServer>();
        SetUp();
        m_out.str("");
        m_err.str("");
        HeadlessRecorder recorder(m_out, m_err, connector());
        QTimer::singleShot(400ms, [&] {
            ::unlink(path.c_str());
            if (replace) {
                m_dir.write("gone.wav", "someone else's");
            }
        });
        EXPECT_EQ(recorder.run(RecorderArguments::parse({"record", "--seconds", "1", path})),
                  HeadlessRecorder::kExitFailed);
        EXPECT_NE(m_err.str().find(replace ? "was replaced by another file"
                                           : "was deleted or moved away"),
                  std::string::npos)
            << m_err.str();
        EXPECT_EQ(m_out.str().find("recorded"), std::string::npos);
    }
}

TEST_F(RecorderTest, TagOptionsApplyToTheRecordedFormatAndTheRestIsTold) {
    const std::string path = m_dir.file("take.wma");
    ASSERT_EQ(run({"record", "--seconds", "0.5", "--title", "Take", "--author", "Ann",
                   "--copyright", "(c) Ann", "--year", "2024", "--crc", path}),
              HeadlessRecorder::kExitOk)
        << err();
    TagRecord tag;
    ASSERT_TRUE(AttributeEditor::read(path, tag));
    EXPECT_EQ(tag.title, "Take");
    EXPECT_EQ(tag.artist, "Ann");
    EXPECT_EQ(tag.copyright, "(c) Ann");
    EXPECT_NE(err().find("--year is not kept in a WMA recording"), std::string::npos) << err();
    EXPECT_NE(err().find("--crc is not kept in a WMA recording"), std::string::npos);
}

TEST_F(RecorderTest, RefusalsShowTheLanguageMessageAndTheDetail) {
    EXPECT_EQ(run({"record", "--line", "5", m_dir.file("a.wav")}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("orvel-rec: Recording device not available please try later\n"
                         "orvel-rec: there is no line 5"),
              std::string::npos)
        << err();
}

TEST_F(RecorderTest, AFileThatCannotBeCreatedIsRefusedWithItsReason) {
    EXPECT_EQ(run({"record", "--seconds", "1", m_dir.file("no/such/folder/a.wav")}),
              HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("File  error ! Please check file name and folder name"), std::string::npos)
        << err();
    EXPECT_NE(err().find("does not exist"), std::string::npos);
}

TEST_F(RecorderTest, ALineThatCannotBeOpenedIsRefused) {
    m_server->captureFactory = [](const platform::SoundLine&) { return nullptr; };
    const std::string path = m_dir.file("a.wav");
    EXPECT_EQ(run({"record", path}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("Recording device not available"), std::string::npos) << err();
    EXPECT_NE(err().find("did not open line 0 \"tone\""), std::string::npos);
}

TEST_F(RecorderTest, WithoutASoundServerNothingIsRecorded) {
    m_server.reset();
    EXPECT_EQ(run({"record", m_dir.file("a.wav")}), HeadlessRecorder::kExitFailed);
    EXPECT_NE(err().find("no sound server answers: Connection refused"), std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(m_dir.file("a.wav"))));
}

TEST_F(RecorderTest, ABadCommandLineIsAUsageError) {
    EXPECT_EQ(run({"record", "--bits", "eight", "a.wav"}), HeadlessRecorder::kExitUsage);
    EXPECT_NE(err().find("orvel-rec: --bits: \"eight\" is not a number of bits"),
              std::string::npos);
    EXPECT_NE(err().find("--help"), std::string::npos);
    EXPECT_EQ(run({"--help"}), HeadlessRecorder::kExitOk);
    EXPECT_NE(out().find("Usage:"), std::string::npos);
}

TEST_F(RecorderTest, DevicesAreListedWithTheStoredChoiceMarked) {
    SettingsStore().writeDevice(0);
    SettingsStore().writeAudioLine(1);
    ASSERT_EQ(run({"devices"}), HeadlessRecorder::kExitOk);
    EXPECT_EQ(out(),
              "device 0: Sound server\n"
              "  line 0: tone\n"
              "  line 1: silence  (stored choice)\n");
}

TEST_F(RecorderTest, NoDevicesListAsNoEntries) {
    m_server->deviceList.clear();
    ASSERT_EQ(run({"devices"}), HeadlessRecorder::kExitOk);
    EXPECT_EQ(out(), "<< No entries >>\n");
}

TEST_F(RecorderTest, ProfilesAreListedOnePerLineByIndex) {
    ASSERT_EQ(run({"profiles"}), HeadlessRecorder::kExitOk);
    const std::string text = out();
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
              WmaProfile::all().size());
    EXPECT_NE(text.find(" 0  " + std::string(WmaProfile::all()[0].name) + "\n"), std::string::npos);
}

// SIGINT and SIGTERM reach the event loop as a Qt signal, and the old handlers come back.
TEST(StopSignals, ARaisedSignalArrivesThroughTheEventLoop) {
    struct sigaction before {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &before), 0);
    {
        StopSignals stop({SIGTERM, SIGINT});
        ASSERT_TRUE(stop.isActive());
        StopSignals second({SIGTERM});
        EXPECT_FALSE(second.isActive());
        QSignalSpy received(&stop, &StopSignals::received);
        ASSERT_EQ(std::raise(SIGTERM), 0);
        ASSERT_EQ(std::raise(SIGINT), 0);
        EXPECT_TRUE(received.wait(2000) || received.count() > 0);
        if (received.count() < 2) {
            received.wait(500);
        }
        ASSERT_EQ(received.count(), 2);
        EXPECT_EQ(received.at(0).at(0).toInt(), SIGTERM);
        EXPECT_EQ(received.at(1).at(0).toInt(), SIGINT);
    }
    struct sigaction after {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &after), 0);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

// A signal that comes again before the event loop took the first one (the loop is stuck in a
// wait) ends the program, so that Ctrl+C always ends it; once is a request to stop.
TEST(StopSignals, TheSameSignalTwiceUnhandledEndsTheProgram) {
    for (const int times : {1, 2}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            StopSignals stop({SIGUSR1});
            for (int i = 0; i < times; ++i) {
                std::raise(SIGUSR1);
            }
            std::_Exit(stop.isActive() ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (times == 1) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1) << status;
        }
    }
}

}  // namespace
}  // namespace orvel
