#include "recorder/LineSetup.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTest>

#include <string>
#include <vector>

#include "InfoView.h"
#include "audio/CaptureEngine.h"
#include "config/SettingsStore.h"
#include "devices/DeviceList.h"
#include "devices/FakeSoundServer.h"
#include "devices/MixerControl.h"
#include "recorder/InfoLine.h"
#include "recorder/StartupChoice.h"
#include "support/ManualTime.h"

namespace orvel {
namespace {

using test::FakeSoundServer;
using Tick = TickSource::Tick;

// A server that gives no capture source, so that the engine refuses every test recording, and
// whose speaker volume the test sees being set.
class SpeakerServer : public FakeSoundServer {
public:
    bool setDefaultSinkVolume(int volume) override {
        speakerVolumes.push_back(volume);
        return true;
    }
    std::vector<int> speakerVolumes;
};

class StartupView : public test::InfoView {
public:
    void openStartupWindow(const std::string&) override { ++startupWindows; }
    int startupWindows = 0;
};

// A card of three lines, the third one stored as the line.
class LineSetupTest : public ::testing::Test {
protected:
    LineSetupTest() {
        server.deviceList = {FakeSoundServer::device("Card", {"mic", "line-in", "mix"})};
        settings.writeDevice(0);
        settings.writeAudioLine(2);
        lines.read(settings);
        lines.refresh();
    }

    SpeakerServer server;
    DeviceList devices{server};
    MixerControl mixer{server, devices};
    LanguageTable language;
    StartupView view;
    InfoLine info{view, language};
    SettingsStore settings;
    LineSearch lines{devices, mixer, info};
    CaptureEngine engine;
    test::ManualTicks ticks;
    bool idle = true;
    int released = 0;
    LineSetup setup{lines,
                    engine,
                    mixer,
                    server,
                    {},
                    ticks,
                    view,
                    {.idle = [this] { return idle; }, .shown = [] {}, .released = [this] { ++released; }}};
};

// The first run holds every command from its window to the end of the search it asks for. The
// window opens from the event loop; the search waits on its tick for an idle recorder; a test the
// engine refuses ends the search (never counted as a silent line) and releases what waited,
// once. An automatic test leaves the speakers alone.
TEST_F(LineSetupTest, TheFirstRunHoldsUntilItsSearchEndsEvenWhenNoTestCanStart) {
    setup.openStartup();
    EXPECT_TRUE(setup.firstRunHolds());
    EXPECT_EQ(view.startupWindows, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.startupWindows, 1);

    ASSERT_TRUE(setup.startupClosed(StartupChoice::ContinueAutomatic));
    EXPECT_FALSE(setup.startupOpen());
    EXPECT_TRUE(setup.firstRunHolds());
    EXPECT_TRUE(ticks.active(Tick::Timer1));
    idle = false;
    EXPECT_TRUE(setup.configureTick());
    EXPECT_TRUE(ticks.active(Tick::Timer1));
    EXPECT_FALSE(lines.searching());
    idle = true;
    EXPECT_TRUE(setup.configureTick());
    EXPECT_FALSE(ticks.active(Tick::Timer1));
    EXPECT_TRUE(lines.searching());
    EXPECT_EQ(released, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return released > 0; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(setup.firstRunHolds());
    EXPECT_FALSE(lines.searching());
    EXPECT_FALSE(setup.testing());
    EXPECT_EQ(info.line1(), "Recording device not available");
    EXPECT_FALSE(setup.configureTick());  // the tick is the playback's again
    EXPECT_TRUE(server.speakerVolumes.empty());

    setup.openStartup();
    EXPECT_FALSE(setup.startupClosed(StartupChoice::Exit));
}

// A click tests the line by playing it back: the speakers are silent while the test starts and
// get their volume back even when the engine refuses it; the line stays chosen, and the info line
// says why. A click while the recorder is busy only chooses the line.
TEST_F(LineSetupTest, AManualTestGivesTheSpeakersBackEvenWhenItIsRefused) {
    lines.setWindowOpen(true);
    setup.socketClicked(0);
    EXPECT_EQ(server.speakerVolumes, (std::vector<int>{0, 65535}));
    EXPECT_FALSE(setup.testing());
    EXPECT_EQ(lines.line().lineIndex, 0);
    EXPECT_EQ(info.line1(), "Recording device not available");

    idle = false;
    setup.socketClicked(1);
    EXPECT_EQ(lines.line().lineIndex, 1);
    EXPECT_EQ(server.speakerVolumes.size(), 2u);
}

}  // namespace
}  // namespace orvel
