#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdlib>

#include "../engine_sound/EngineSoundSupport.h"
#include "RecorderHarness.h"
#include "audio/WavReader.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::ManualClock;
using test::ManualTicks;
using test::RecorderHarness;
using Tick = TickSource::Tick;

// 4 March 2024 is a Monday.
const QDate kMonday(2024, 3, 4);

double wavSeconds(const std::string& path) {
    const WavInfo info = WavReader::readFile(path);
    return info.ok() && info.bytesPerSecond > 0
               ? static_cast<double>(info.dataSize) / info.bytesPerSecond
               : -1.0;
}

// Schedule mode through the controller on the real engine, with the clock and the recording
// tick in the test's hands: each tickAt() sets the clock and delivers one recording tick.
class ScheduleRecording : public ::testing::Test {
protected:
    bool make(const std::string& schedule, const QDateTime& start) {
        h.writeSchedule(schedule);
        clock = std::make_unique<ManualClock>(start);
        RecorderHarness::Options options;
        options.clock = clock.get();
        options.ticks = &ticks;
        // A line with sound from its first moment (a monitor's first sound may come late).
        options.sources = test::scriptedLine(h.folder(), {{true, 20}});
        return h.make(options);
    }
    void tickAt(const QDateTime& when) {
        clock->set(when);
        ticks.fire(Tick::Recording50);
    }
    void tickAt(const QTime& time) { tickAt(QDateTime(kMonday, time)); }
    RecorderController& c() { return h.controller(); }
    // Real time passes for the engine while the schedule's clock stands.
    void record(std::chrono::milliseconds time) { h.run(time); }

    RecorderHarness h;
    std::unique_ptr<ManualClock> clock;
    ManualTicks ticks;
};

// Two windows back to back in single-file mode: the first ends and the second begins in the
// same tick (pause, then resume), and one file holds both.
TEST_F(ScheduleRecording, BackToBackWindowsRunInOneTickIntoOneFile) {
    ASSERT_TRUE(
        make("10:00:00 - 10:00:05\n10:00:05 - 10:00:10\n", QDateTime(kMonday, QTime(9, 59, 58))));
    c().setFieldText(h.file("day.wav"));
    c().toggleSchedule();
    ASSERT_TRUE(c().recording());
    EXPECT_TRUE(c().pauseDown());
    EXPECT_TRUE(c().state().scheduleDown);
    EXPECT_EQ(c().infoLine1(), RecorderController::kRecordingText);
    EXPECT_EQ(c().infoLine2(), "Recording will start at 10:00:00");

    tickAt(QTime(9, 59, 59));
    EXPECT_TRUE(c().pauseDown());
    tickAt(QTime(10, 0, 0));
    EXPECT_FALSE(c().pauseDown());
    EXPECT_EQ(c().infoLine2(), "Recording will stop at 10:00:05");
    record(1500ms);
    const std::size_t pausesBefore = h.view.states.size();
    tickAt(QTime(10, 0, 5));
    EXPECT_FALSE(c().pauseDown());
    EXPECT_EQ(c().infoLine2(), "Recording will stop at 10:00:10");
    bool pausedInBetween = false;
    for (std::size_t i = pausesBefore; i < h.view.states.size(); ++i) {
        pausedInBetween = pausedInBetween || h.view.states[i].pauseDown;
    }
    EXPECT_TRUE(pausedInBetween);
    record(1500ms);
    tickAt(QTime(10, 0, 10));
    EXPECT_TRUE(c().pauseDown());
    EXPECT_TRUE(c().recording());
    record(1s);
    c().stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    EXPECT_GT(wavSeconds(h.file("day.wav")), 1.0);
    EXPECT_LT(wavSeconds(h.file("day.wav")), 3.5);  // not the paused second
}

// With multi-file naming each window gets its file: the window's end stops the recording and
// re-arms on a new one once the file is complete, which waits paused for the next window.
TEST_F(ScheduleRecording, MultiFileGivesEveryWindowItsOwnFile) {
    h.settings().writeMultiFileStatus(1);
    ASSERT_TRUE(
        make("10:00:00 - 10:00:05\n10:00:05 - 10:00:10\n", QDateTime(kMonday, QTime(9, 59, 58))));
    c().setFieldText(h.file("win.wav"));
    c().toggleSchedule();
    ASSERT_EQ(c().runPath(), h.file("win_001.WAV"));
    tickAt(QTime(10, 0, 0));
    EXPECT_FALSE(c().pauseDown());
    record(1500ms);
    tickAt(QTime(10, 0, 5));
    EXPECT_FALSE(c().recording());
    EXPECT_TRUE(c().restartPending());
    ASSERT_TRUE(h.waitFor([&] { return c().recording(); }, 5s));
    ASSERT_EQ(h.view.files.size(), 1u);  // complete before the re-arm
    EXPECT_EQ(c().runPath(), h.file("win_002.WAV"));
    EXPECT_TRUE(c().pauseDown());
    EXPECT_TRUE(c().scheduleMode());
    tickAt(QTime(10, 0, 5));
    EXPECT_FALSE(c().pauseDown());
    record(1500ms);
    tickAt(QTime(10, 0, 10));
    ASSERT_TRUE(h.waitFor([&] { return c().recording(); }, 5s));
    EXPECT_EQ(h.view.files.size(), 2u);
    EXPECT_EQ(c().runPath(), h.file("win_003.WAV"));
    EXPECT_TRUE(c().pauseDown());
    for (const char* name : {"win_001.WAV", "win_002.WAV"}) {
        EXPECT_GT(wavSeconds(h.file(name)), 0.5) << name;
    }
    c().stop();
}

// A multi-file schedule stopped after its last window: the window's file decodes and is logged
// from the window's start, not from when it was armed; the file armed for a window that never
// comes is removed, without a log line or an alert.
TEST_F(ScheduleRecording, AfterTheLastWindowOnlyFilesThatHeardSoundRemain) {
    h.settings().writeMultiFileStatus(1);
    ASSERT_TRUE(make("10:00:00 - 10:00:03\n", QDateTime(kMonday, QTime(9, 59, 55))));
    c().setFieldText(h.file("show.mp3"));
    c().toggleSchedule();
    ASSERT_EQ(c().runPath(), h.file("show_001.MP3"));
    record(1s);  // armed and paused: nothing is written
    tickAt(QTime(10, 0, 0));
    EXPECT_FALSE(c().pauseDown());
    record(2s);
    tickAt(QTime(10, 0, 3));
    ASSERT_TRUE(h.waitFor([&] { return c().recording(); }, 5s));
    EXPECT_EQ(c().runPath(), h.file("show_002.MP3"));
    record(500ms);
    c().stop();
    ASSERT_TRUE(h.waitFor([&] { return c().infoLine1() == "Schedule recording ended"; }, 5s));
    h.run(300ms);

    ASSERT_EQ(h.view.files.size(), 1u);
    EXPECT_EQ(h.view.files[0].path, h.file("show_001.MP3"));
    const QStringList left = QDir(QString::fromStdString(h.folder())).entryList({"*.MP3"});
    EXPECT_EQ(left, QStringList{"show_001.MP3"});
    for (const QString& name : left) {
        EXPECT_GT(test::decodeWithFfmpeg(h.file(name.toStdString()), 44100).size(), 44100u)
            << name.toStdString();
    }
    const std::vector<std::string> log = h.logLines();
    ASSERT_EQ(log.size(), 1u);
    const QTime logged =
        QTime::fromString(QString::fromStdString(log[0]).section(',', 2, 2), "HH:mm:ss");
    EXPECT_LE(std::abs(QTime(10, 0, 0).secsTo(logged)), 1) << log[0];
}

// The clock may jump (a machine waking up, a time correction, the day changing unseen): a window
// is left as soon as its own times no longer hold the clock, and the recording never runs
// outside a window.
TEST_F(ScheduleRecording, ClockJumpsNeverLeaveAWindowOpen) {
    ASSERT_TRUE(
        make("10:00:00 - 11:00:00\n22:00:00 - 23:59:59|Mon\n", QDateTime(kMonday, QTime(9, 0, 0))));
    c().setFieldText(h.file("jumps.wav"));
    c().toggleSchedule();
    tickAt(QTime(12, 0, 0));  // past the whole first window
    EXPECT_TRUE(c().pauseDown());
    tickAt(QTime(10, 30, 0));  // back into it
    EXPECT_FALSE(c().pauseDown());
    tickAt(QTime(9, 30, 0));  // an hour back, out of it
    EXPECT_TRUE(c().pauseDown());
    tickAt(QDateTime(kMonday, QTime(23, 59, 58, 950)));
    EXPECT_FALSE(c().pauseDown());
    EXPECT_EQ(c().scheduleRunner().activeIndex(), 1);
    tickAt(QDateTime(kMonday.addDays(1), QTime(0, 0, 1)));  // Tuesday: the Monday window is over
    EXPECT_TRUE(c().pauseDown());
    EXPECT_FALSE(c().scheduleRunner().windowActive());
    c().stop();
}

// Relative times count from the press of the schedule button, across midnight.
TEST_F(ScheduleRecording, RelativeTimesCountFromArmingAcrossMidnight) {
    h.settings().writeScheduleType(1);
    ASSERT_TRUE(make("01:00:00 - 01:10:00\n", QDateTime(kMonday, QTime(23, 30, 0))));
    c().setFieldText(h.file("relative.wav"));
    c().toggleSchedule();
    EXPECT_EQ(c().infoLine2(), "Recording will start at 00:30:00");
    tickAt(QDateTime(kMonday.addDays(1), QTime(0, 29, 59)));
    EXPECT_TRUE(c().pauseDown());
    tickAt(QDateTime(kMonday.addDays(1), QTime(0, 30, 0)));
    EXPECT_FALSE(c().pauseDown());
    EXPECT_EQ(c().infoLine2(), "Recording will stop at 00:40:00");
    tickAt(QDateTime(kMonday.addDays(1), QTime(0, 40, 0)));
    EXPECT_TRUE(c().pauseDown());
    c().stop();
}

// A streaming item opens its viewer the loading time before its window and ends it with the
// window.
TEST_F(ScheduleRecording, ViewersOpenBeforeTheirWindowAndEndWithIt) {
    ASSERT_TRUE(make("10:00:10 - 10:00:20||http://radio.example/live|5\n",
                     QDateTime(kMonday, QTime(10, 0, 0))));
    c().setFieldText(h.file("radio.wav"));
    c().toggleSchedule();
    tickAt(QTime(10, 0, 4));
    tickAt(QTime(10, 0, 5));
    h.run(200ms);
    EXPECT_TRUE(h.viewers().opened().empty());
    tickAt(QTime(10, 0, 6));
    ASSERT_TRUE(h.waitFor([&] { return !h.viewers().opened().empty(); }, 3s));
    const std::string target = h.viewers().opened().front().first;
    const int pid = h.viewers().opened().front().second;
    EXPECT_EQ(target, "http://radio.example/live");
    ASSERT_GT(pid, 0);
    tickAt(QTime(10, 0, 12));
    EXPECT_FALSE(c().pauseDown());
    EXPECT_EQ(::kill(pid, 0), 0);
    tickAt(QTime(10, 0, 20));
    EXPECT_TRUE(c().pauseDown());
    EXPECT_TRUE(h.waitFor([&] { return ::kill(pid, 0) != 0; }, 3s));
    EXPECT_EQ(h.viewers().opened().size(), 1u);
    c().stop();
}

// Arming needs a list and a line; a pause down before arming does not leave a recording that
// would start outside every window once released.
TEST_F(ScheduleRecording, ArmingIsRefusedWholeOrTakesThePauseOver) {
    ASSERT_TRUE(make("", QDateTime(kMonday, QTime(9, 0, 0))));
    c().toggleSchedule();
    EXPECT_EQ(h.view.scheduleWindows, 1);
    EXPECT_FALSE(c().scheduleMode());
    EXPECT_FALSE(c().recording());

    h.writeSchedule("10:00:00 - 11:00:00\n");
    c().scheduleWindowClosed();
    c().setFieldText(h.file("armed.wav"));
    c().togglePause();
    c().toggleSchedule();
    ASSERT_TRUE(c().recording());
    EXPECT_TRUE(c().pauseDown());
    tickAt(QTime(10, 0, 0));
    EXPECT_FALSE(c().pauseDown());
    c().stop();

    // No usable line: the message stays, schedule mode and the pause are off.
    h.settings().writeDevice(7);
    h.settings().writeText(setting::kDeviceName, "");
    h.settings().writeText(setting::kLineName, "");
    ASSERT_TRUE(h.make({.line = std::nullopt, .clock = clock.get(), .ticks = &ticks}));
    c().setFieldText(h.file("nowhere.wav"));
    c().toggleSchedule();
    EXPECT_FALSE(c().scheduleMode());
    EXPECT_FALSE(c().state().scheduleDown);
    EXPECT_FALSE(c().pauseDown());
    EXPECT_FALSE(c().recording());
    EXPECT_EQ(c().infoLine1(), "Recording device not available");
}

}  // namespace
}  // namespace orvel
