#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>

#include "../engine_sound/EngineSoundSupport.h"
#include "../platform_sound/SoundTestSupport.h"
#include "FaceHarness.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

// The program `orvel` itself, on settings of the test's own with the tone line stored, ended by
// a signal in the middle of an MP3 recording: the signal takes the close order, which leaves a
// complete file and its log line, and the program ends normally.
class ProgramSignal : public ::testing::TestWithParam<int> {};

TEST_P(ProgramSignal, EndsAnMp3RecordingWithACompleteFileAndOneLogLine) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    {
        std::string error;
        std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
        ASSERT_NE(server, nullptr) << error;
        const auto tone = test::findLineIndexes(*server, "tone");
        ASSERT_TRUE(tone);
        const SettingsStore settings;
        settings.writeDevice(tone->first);
        settings.writeAudioLine(tone->second);
    }
    QProcess process;
    // The command line cuts a file name at its first "-": the program runs in the test's
    // folder and is given a bare name.
    process.setWorkingDirectory(QString::fromStdString(dir.path()));
    process.start(QStringLiteral(ORVEL_PATH), {"/r", "-filename", "take.mp3"});
    ASSERT_TRUE(process.waitForStarted(5000));
    const std::string path = dir.file("take.mp3");
    ASSERT_TRUE(test::waitUntil(
        [&] { return QFileInfo(QString::fromStdString(path)).size() > 30000; }, 10s))
        << process.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(process.processId()), GetParam());
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(test::mp3Complete(path));
    EXPECT_GT(test::decodeWithFfmpeg(path, 8000).size(), 8000u);
    int logLines = 0;
    QDirIterator it(QString::fromStdString(dir.file("data/orvel/Log")), {"*.txt"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        logLines += static_cast<int>(file.readAll().count('\n'));
    }
    EXPECT_EQ(logLines, 1);
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& signal) {
                             return std::string(sigabbrev_np(signal.param));
                         });

// --help and --version answer and end at once, with no display and no sound server: before
// the window's application object, which would need a display, and before any connection.
TEST(ProgramInfo, HelpAndVersionNeedNoDisplayAndNoSoundServer) {
    for (const char* platform : {"", "bogus"}) {
        SCOPED_TRACE(std::string("QT_QPA_PLATFORM=") + platform);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        if (*platform != '\0') {
            env.insert("QT_QPA_PLATFORM", platform);
        }
        env.insert("PULSE_SERVER", "unix:/nonexistent/orvel-test-native");
        const struct {
            QString program;
            QStringList arguments;
            std::vector<std::string> says;
        } cases[] = {
            {ORVEL_PATH, {"--help"}, {"Usage: orvel ", "-filename FILE", "/rst"}},
            {ORVEL_PATH, {"/r", "--version"}, {"orvel 0."}},
            {ORVEL_REC_PATH, {"--version"}, {"orvel-rec 0."}},
            {ORVEL_REC_PATH,
             {"--help"},
             {"orvel-rec devices", "orvel-rec record", "orvel-rec play", "orvel-rec run",
              "orvel-rec profiles", "orvel-rec tags", "--overwrite"}},
            {ORVEL_REC_PATH, {"run", "/r", "--help"}, {"orvel-rec run [/r", "--overwrite"}},
        };
        for (const auto& c : cases) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(c.program, c.arguments);
            ASSERT_TRUE(process.waitForFinished(10000)) << c.arguments.join(' ').toStdString();
            const std::string out = process.readAllStandardOutput().toStdString();
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
            for (const std::string& part : c.says) {
                EXPECT_NE(out.find(part), std::string::npos) << part << " in:\n" << out;
            }
        }
    }
}
}  // namespace
}  // namespace orvel
