#include "cli/RecordingSession.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>
#include <sstream>

#include "audio/RecordingFile.h"
#include "audio/WavReader.h"
#include "cli/CommandContext.h"
#include "cli/CommandText.h"
#include "config/SettingsStore.h"
#include "devices/DeviceList.h"
#include "devices/FakeSoundServer.h"
#include "support/FileFedLine.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::FakeSoundServer;

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++found;
    }
    return found;
}

// Sessions on a fake server whose line plays a 440 Hz tone of m_lineSeconds, at a sound
// card's pace or as fast as the recording takes it.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.deviceList = {FakeSoundServer::device("Sound server", {"tone"})};
        m_server.captureFactory = [this](const platform::SoundLine&) {
            return std::make_unique<test::FileFedLine>(
                m_dir.path(),
                [seconds = m_lineSeconds](const AudioFormat& format) {
                    return test::sinePcm(440, -6, seconds, format.sampleRate, format.channels,
                                         format.bitsPerSample);
                },
                m_realTime);
        };
    }

    std::unique_ptr<RecordingSession> session(const std::vector<std::string>& options,
                                              RecordingHooks hooks = {}) {
        std::vector<std::string> arguments{"record"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(m_path);
        DeviceList devices(m_server);
        RecordingPlan plan =
            RecordingPlan::make(RecorderArguments::parse(arguments).record, m_settings, devices);
        EXPECT_TRUE(plan.ok()) << plan.detail;
        return std::make_unique<RecordingSession>(m_context, m_server, std::move(plan),
                                                  std::move(hooks));
    }

    // Waits for the session's end; false when it did not come within `limit`.
    static bool waitForEnd(RecordingSession& s, std::chrono::milliseconds limit = 20s) {
        QSignalSpy ended(&s, &RecordingSession::ended);
        return s.isOver() || ended.wait(static_cast<int>(limit.count()));
    }

    test::TempDir m_dir{test::TempDir::Xdg::Redirect};
    std::string m_path = m_dir.file("take.wav");
    SettingsStore m_settings;
    FakeSoundServer m_server;
    double m_lineSeconds = 10;
    bool m_realTime = true;
    std::ostringstream m_out;
    std::ostringstream m_err;
    CommandContext m_context{m_out, m_err, nullptr, m_settings};
};

// However often a stop is asked for, and from wherever (a signal, the background's end in a
// hook that runs as the recording starts), it is told once, the session ends once, and the
// file is complete.
TEST_F(SessionTest, StopRequestsEndTheRecordingOnceWithACompleteFile) {
    for (const bool fromHook : {false, true}) {
        SCOPED_TRACE(fromHook ? "stopped by the started hook" : "stopped twice while running");
        m_err.str("");
        m_out.str("");
        RecordingHooks hooks;
        if (fromHook) {
            hooks.started = [](platform::SoundServer&, RecordingSession& s) { s.requestStop(); };
        }
        std::unique_ptr<RecordingSession> s = session({}, hooks);
        QSignalSpy ended(s.get(), &RecordingSession::ended);
        ASSERT_TRUE(s->start()) << m_err.str();
        if (!fromHook) {
            QTimer::singleShot(300ms, s.get(), [&] {
                s->requestStop();
                s->requestStop();
            });
        }
        ASSERT_TRUE(waitForEnd(*s)) << m_err.str();
        s->requestStop();  // after the end: nothing more happens
        QCoreApplication::processEvents();
        EXPECT_EQ(ended.count(), 1);
        EXPECT_EQ(s->status(), command::kExitOk) << m_err.str();
        EXPECT_EQ(count(m_err.str(), "stopping: completing the file"), 1u) << m_err.str();
        EXPECT_EQ(count(m_out.str(), "recorded "), 1u) << m_out.str();
        const WavInfo info = WavReader::readFile(m_path);
        ASSERT_TRUE(info.ok());
        EXPECT_FALSE(info.sizeRecovered);
        EXPECT_LT(info.dataSize, 3u * 44100 * 4) << "recorded on long after the stop";
    }
}

// A timed recording ends on the sound it has captured, not on the clock: a line that delivers
// faster than a sound card still gives a file of exactly the asked length, told as a success.
TEST_F(SessionTest, ATimedRecordingHoldsItsLengthHoweverFastTheLineDelivers) {
    for (const bool realTime : {true, false}) {
        SCOPED_TRACE(realTime ? "at a sound card's pace" : "as fast as taken");
        m_realTime = realTime;
        m_err.str("");
        m_out.str("");
        std::unique_ptr<RecordingSession> s = session({"--seconds", "1.5", "--rate", "22050"});
        ASSERT_TRUE(s->start()) << m_err.str();
        ASSERT_TRUE(waitForEnd(*s)) << m_err.str();
        EXPECT_EQ(s->status(), command::kExitOk) << m_err.str();
        EXPECT_NE(m_out.str().find("recorded 1.5 s into " + m_path), std::string::npos)
            << m_out.str();
        EXPECT_EQ(m_err.str().find("stopping"), std::string::npos) << m_err.str();
        const WavInfo info = WavReader::readFile(m_path);
        ASSERT_TRUE(info.ok());
        EXPECT_EQ(info.dataSize, 33075u * 4);  // 1.5 s of 22050 Hz stereo
    }
}

// A disk that fills up while the recording runs (here: the file reaches the process's size
// limit) ends it at once with the cause named and a failure status, and the file keeps what
// was written before, complete.
TEST_F(SessionTest, AFailingWriteEndsTheRecordingWithItsCauseNamed) {
    std::unique_ptr<RecordingSession> s = session({});
    ASSERT_TRUE(s->start()) << m_err.str();
    // Only now: the fed line's own file is written as the capture starts.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto started = std::chrono::steady_clock::now();
    const bool ended = waitForEnd(*s);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(ended) << m_err.str();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << "recorded on after the failure";
    EXPECT_EQ(s->status(), command::kExitFailed);
    const std::string err = m_err.str();
    EXPECT_NE(err.find("writing \"" + m_path + "\" failed: "), std::string::npos) << err;
    EXPECT_NE(err.find(RecordingFile::errorText(EFBIG)), std::string::npos) << err;
    EXPECT_NE(err.find("the file holds the sound written before"), std::string::npos) << err;
    EXPECT_EQ(m_out.str(), "") << "a failed recording told as recorded";
    const WavInfo info = WavReader::readFile(m_path);
    ASSERT_TRUE(info.ok());
    EXPECT_FALSE(info.sizeRecovered);
    EXPECT_GT(info.dataSize, 0u);
    EXPECT_LE(info.dataOffset + info.dataSize, 100000u);
    EXPECT_EQ(info.dataSize % 4, 0u);
}

}  // namespace
}  // namespace orvel
