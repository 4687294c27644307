#include "recorder/LineSearch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "InfoView.h"
#include "config/SettingsStore.h"
#include "devices/DeviceList.h"
#include "devices/FakeSoundServer.h"
#include "devices/MixerControl.h"
#include "recorder/InfoLine.h"

namespace orvel {
namespace {

using test::FakeSoundServer;
using Step = LineSearch::Step;
constexpr SocketState N = SocketState::Normal;
constexpr SocketState T = SocketState::UnderTest;
constexpr SocketState C = SocketState::Current;

// A card of three lines, the third one stored as the line.
class LineSearchTest : public ::testing::Test {
protected:
    LineSearchTest() {
        server.deviceList = {FakeSoundServer::device("Card", {"mic", "line-in", "mix"})};
        settings.writeDevice(0);
        settings.writeAudioLine(2);
        lines.read(settings);
        lines.refresh();
    }
    std::vector<SocketState> sockets() const {
        FaceState state;
        lines.show(state);
        return state.sockets;
    }
    // The search from the first line up to its first test.
    Step searchToFirstTest() {
        lines.autoConfigure();
        EXPECT_TRUE(lines.beginSearch(true).has_value());
        return lines.testCurrent(true);
    }

    FakeSoundServer server;
    DeviceList devices{server};
    MixerControl mixer{server, devices};
    LanguageTable language;
    test::InfoView view;
    InfoLine info{view, language};
    SettingsStore settings;
    LineSearch lines{devices, mixer, info};
};

// The search tests the lines from the first, each at the test volume, and stops at the first
// one that carries sound; the lines it only passes through are never stored as the choice.
TEST_F(LineSearchTest, WalksTheLinesToTheFirstThatCarriesSoundAndStoresOnlyThat) {
    EXPECT_EQ(sockets(), (std::vector<SocketState>{N, N, C}));
    lines.autoConfigure();
    EXPECT_EQ(info.line1(), "Auto Config Audio Line");
    EXPECT_FALSE(lines.beginSearch(false).has_value());  // waits for an idle recorder
    const std::optional<Step> begun = lines.beginSearch(true);
    ASSERT_TRUE(begun);
    EXPECT_TRUE(begun->nextTest);
    EXPECT_TRUE(lines.searching());

    const Step first = lines.testCurrent(true);
    EXPECT_EQ(first.test, 0);
    EXPECT_TRUE(first.automatic);
    EXPECT_EQ(info.line2(), "Line 1");
    EXPECT_DOUBLE_EQ(server.volumes["mic"], LineSearch::kTestVolume);
    EXPECT_EQ(sockets().front(), T);
    lines.store(settings);
    EXPECT_EQ(settings.readAudioLine(), 2);

    const Step silent = lines.testDone(0, MixerControl::kFoundLevel - 1);
    EXPECT_TRUE(silent.nextTest);
    EXPECT_EQ(lines.line().lineIndex, 1);
    EXPECT_EQ(lines.testCurrent(true).test, 1);
    lines.store(settings);
    EXPECT_EQ(settings.readAudioLine(), 2);

    const Step found = lines.testDone(1, MixerControl::kFoundLevel);
    EXPECT_FALSE(found.nextTest || found.test || found.released);
    EXPECT_FALSE(lines.searching());
    EXPECT_EQ(info.line1(), "Record Line Found");
    EXPECT_EQ(sockets(), (std::vector<SocketState>{N, C, N}));
    lines.store(settings);
    EXPECT_EQ(settings.readAudioLine(), 1);
    EXPECT_EQ(settings.readText(setting::kLineName), "line-in");
}

// The commands that waited for the first run's search run once it ends, however it ends: a line
// found or none, a test that cannot start, the devices changing, the recorder no longer idle.
// A stop ends it without them (Stop drops what waited).
TEST_F(LineSearchTest, AFirstRunSearchReleasesWhatWaitedHoweverItEnds) {
    const std::vector<std::function<Step(LineSearch&)>> endings = {
        [](LineSearch& l) { return l.testDone(0, MixerControl::kFoundLevel); },
        [](LineSearch& l) {
            l.testDone(0, 0);
            l.testCurrent(true);
            l.testDone(1, 0);
            l.testCurrent(true);
            return l.testDone(2, 0);
        },
        [](LineSearch& l) { return l.testRefused(0, true, "DeviceAvailabity"); },
        [](LineSearch& l) { return l.testCurrent(false); },
        [](LineSearch& l) { return l.devicesChanged(); },
    };
    for (std::size_t i = 0; i < endings.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(lines.firstRun(true));
        EXPECT_TRUE(lines.firstRunSearch());
        EXPECT_EQ(searchToFirstTest().test, 0);
        EXPECT_TRUE(endings[i](lines).released);
        EXPECT_FALSE(lines.firstRunSearch());
        EXPECT_FALSE(lines.searching());
    }
    EXPECT_EQ(info.line1(), "Record Line Not Found");  // the devices changed under the last one

    ASSERT_TRUE(lines.firstRun(true));
    searchToFirstTest();
    lines.stopped(0);
    EXPECT_FALSE(lines.firstRunSearch());
    EXPECT_FALSE(lines.testCurrent(true).released);
    EXPECT_EQ(sockets(), (std::vector<SocketState>{C, N, N}));
}

// A click on a socket makes its line the line; it is tested only while the recorder is idle,
// and a test that cannot start leaves the line chosen and says why.
TEST_F(LineSearchTest, AClickChoosesTheLineAndTestsItOnlyWhenIdle) {
    EXPECT_FALSE(lines.socketClicked(0, true));  // the window is closed
    lines.setWindowOpen(true);
    EXPECT_FALSE(lines.socketClicked(2, true));  // the line already
    EXPECT_FALSE(lines.socketClicked(3, true));

    const std::optional<Step> busy = lines.socketClicked(1, false);
    ASSERT_TRUE(busy);
    EXPECT_FALSE(busy->test);
    EXPECT_EQ(lines.line().lineIndex, 1);
    EXPECT_EQ(server.selected->sourceName, "line-in");
    EXPECT_EQ(sockets(), (std::vector<SocketState>{N, C, N}));

    const std::optional<Step> idle = lines.socketClicked(0, true);
    ASSERT_TRUE(idle);
    EXPECT_EQ(idle->test, 0);
    EXPECT_FALSE(idle->automatic);
    EXPECT_EQ(sockets(), (std::vector<SocketState>{T, N, N}));
    lines.testRefused(0, false, "DeviceAvailabity");
    EXPECT_EQ(lines.line().lineIndex, 0);
    EXPECT_EQ(sockets(), (std::vector<SocketState>{C, N, N}));
    EXPECT_EQ(info.line1(), "Recording device not available");
}

}  // namespace
}  // namespace orvel
