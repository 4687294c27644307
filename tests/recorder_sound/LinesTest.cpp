#include <gtest/gtest.h>

#include <QFileInfo>
#include <chrono>

#include "../engine_sound/EngineSoundSupport.h"
#include "../platform_sound/SoundTestSupport.h"
#include "RecorderHarness.h"
#include "recorder/StartupChoice.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::RecorderHarness;
using test::VolumeRestorer;

bool testFileLeft() {
    for (int line = 0; line < 6; ++line) {
        if (QFileInfo::exists(QString::fromStdString(LineTest::testFilePath(line)))) {
            return true;
        }
    }
    return false;
}

// The test leaves each tested line at its test volume; put the server's lines back.
class LineSearch : public ::testing::Test {
protected:
    VolumeRestorer m_tone{VolumeRestorer::Kind::Source, "tone"};
    VolumeRestorer m_silence{VolumeRestorer::Kind::Source, "silence"};
    VolumeRestorer m_monitor{VolumeRestorer::Kind::Source, "speakers.monitor"};
    RecorderHarness h;
};

// The search walks the lines from the first and stops at the first one that carries sound:
// the steady tone at once; with the tone muted, the playback mix that hears the announcement.
TEST_F(LineSearch, FindsTheFirstLineThatCarriesSound) {
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.autoConfigure();
    EXPECT_EQ(c.infoLine1(), "Auto Config Audio Line");
    ASSERT_TRUE(h.waitFor([&] { return h.view.shown("Record Line Found"); }, 8s));
    EXPECT_EQ(c.lineChoice().lineIndex, 0);
    EXPECT_TRUE(c.state().lineWindowOpen);
    EXPECT_EQ(c.state().sockets.front(), SocketState::Current);
    EXPECT_FALSE(testFileLeft());

    ASSERT_TRUE(test::pactl({"set-sink-mute", "tones", "1"}));
    h.view.infos.clear();
    c.autodetect();
    const bool found = h.waitFor([&] { return h.view.shown("Record Line Found"); }, 15s);
    test::pactl({"set-sink-mute", "tones", "0"});
    ASSERT_TRUE(found) << h.view.lastInfo();
    EXPECT_EQ(c.lineChoice().lineName, "speakers.monitor");
    const std::vector<SocketState> expected = {SocketState::Normal, SocketState::Normal,
                                               SocketState::Current, SocketState::Normal};
    EXPECT_EQ(c.state().sockets, expected);
    EXPECT_TRUE(h.view.shown("Testing Recording Line"));
    EXPECT_FALSE(testFileLeft());
}

// The line test shares the one engine: it never starts under a recording, and a Stop during a
// test leaves no step behind that could end the next recording.
TEST_F(LineSearch, NeverRunsUnderARecordingNorOutlivesStop) {
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    c.openLineWindow();
    c.setFieldText(h.file("busy.wav"));
    c.record();
    ASSERT_TRUE(c.recording());
    c.autodetect();
    c.autoConfigure();
    c.socketClicked(1);
    h.run(500ms);
    EXPECT_FALSE(c.lineTest().running());
    EXPECT_TRUE(c.recording());
    EXPECT_EQ(c.lineChoice().lineIndex, 1);  // the choice applies from the next start
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    EXPECT_NE(h.logLines().at(0).find(",1 - Tone line,"), std::string::npos);

    c.autodetect();
    ASSERT_TRUE(h.waitFor([&] { return c.lineTest().running(); }, 2s));
    c.stop();
    EXPECT_FALSE(c.lineTest().running());
    c.setFieldText(h.file("after.wav"));
    c.record();
    ASSERT_TRUE(h.waitFor([&] { return c.recording(); }, 5s));
    h.run(3500ms);
    EXPECT_TRUE(c.recording());
    EXPECT_FALSE(testFileLeft());
    c.stop();
}

// A click on another line's socket tests it and plays it back; the speakers keep their volume.
TEST_F(LineSearch, AManualTestPlaysTheLineBackAndKeepsTheSpeakersVolume) {
    VolumeRestorer speakers(VolumeRestorer::Kind::Sink, "speakers");
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    ASSERT_TRUE(h.server().setDefaultSinkVolume(50000));
    c.openLineWindow();
    c.socketClicked(0);  // the current line: nothing
    EXPECT_FALSE(c.lineTest().running());
    c.socketClicked(1);
    ASSERT_TRUE(c.lineTest().running());
    EXPECT_FALSE(c.lineTest().automatic());
    EXPECT_EQ(h.server().defaultSinkVolume(), 50000);
    ASSERT_TRUE(h.waitFor([&] { return !c.lineTest().running(); }, 6s));
    EXPECT_EQ(c.infoLine2(), "Line 2  Finish");
    EXPECT_EQ(c.lineChoice().lineIndex, 1);
    EXPECT_EQ(c.state().sockets.at(1), SocketState::Current);
    EXPECT_FALSE(testFileLeft());
}

// The first run asks the start-up choice before anything else; the command line's presses,
// posted at start-up, wait for it and for the search it asks for.
TEST_F(LineSearch, TheFirstRunAsksTheStartUpChoiceFirst) {
    ASSERT_TRUE(h.make({.line = std::nullopt}));
    RecorderController& c = h.controller();
    c.setFieldText(h.file("first.wav"));
    QMetaObject::invokeMethod(
        &c, [&c] { c.record(); }, Qt::QueuedConnection);
    h.run(300ms);
    ASSERT_EQ(h.view.startupWindows.size(), 1u);
    EXPECT_EQ(h.view.startupWindows[0], "RL 4.01");
    EXPECT_TRUE(c.state().startupFace);
    EXPECT_FALSE(c.recording());
    c.startupClosed(StartupChoice::ContinueAutomatic);
    ASSERT_TRUE(h.waitFor([&] { return c.recording(); }, 8s));
    EXPECT_TRUE(h.view.shown("Record Line Found"));
    EXPECT_EQ(c.lineChoice().deviceRow, 0);
    EXPECT_EQ(c.lineChoice().lineIndex, 0);
    c.stop();

    RecorderHarness exit;
    ASSERT_TRUE(exit.make({.line = std::nullopt}));
    exit.run(100ms);
    exit.controller().startupClosed(StartupChoice::Exit);
    ASSERT_TRUE(exit.waitFor([&] { return exit.view.closed == 1; }, 2s));
    EXPECT_EQ(exit.settings().readDevice(), -1);
}

// A line stored by index and name is found again by its name when a source loaded before it
// moves it, both while the recorder runs and at its next start.
TEST_F(LineSearch, ALineIsFoundByItsNameWhenItsIndexMoves) {
    ASSERT_TRUE(h.make({.line = std::string("speakers.monitor")}));
    const int stored = h.controller().lineChoice().lineIndex;
    EXPECT_EQ(h.controller().lineChoice().lineName, "speakers.monitor");
    h.controller().close();
    ASSERT_TRUE(h.waitFor([&] { return h.view.closed == 1; }, 2s));
    EXPECT_EQ(h.settings().readText(setting::kLineName), "speakers.monitor");

    test::LoadedModule early({"module-null-source", "source_name=early", "description=Early"});
    ASSERT_TRUE(early.loaded());
    ASSERT_TRUE(h.make({.line = std::nullopt}));
    RecorderController& c = h.controller();
    EXPECT_EQ(c.lineChoice().lineIndex, stored + 1);
    EXPECT_EQ(c.lineChoice().lineName, "speakers.monitor");
    c.setFieldText(h.file("moved.wav"));
    c.record();
    ASSERT_TRUE(c.recording());
    h.run(500ms);
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    EXPECT_NE(h.logLines().at(0).find(" - Monitor of Speakers,"), std::string::npos)
        << h.logLines().at(0);

    ASSERT_TRUE(early.unload());
    ASSERT_TRUE(h.waitFor([&] { return c.lineChoice().lineIndex == stored; }, 3s));
}

}  // namespace
}  // namespace orvel
