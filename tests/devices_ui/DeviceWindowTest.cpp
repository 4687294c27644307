#include <gtest/gtest.h>

#include <QTest>

#include "devices/FakeSoundServer.h"
#include "devices/MixerControl.h"
#include "devices/ui/DeviceWindow.h"
#include "support/WindowDriver.h"

namespace orvel {
namespace {

using test::FakeSoundServer;

constexpr int kOk = 1032;
constexpr int kCancel = 1033;

// Two cards, which no machine here has: the device window on a server held in memory.
class DeviceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.deviceList = {FakeSoundServer::device("USB headset", {"mic"}),
                             FakeSoundServer::device("Sound server", {"tone", "silence"})};
        devices.refresh();
        ASSERT_TRUE(devices.selectRow(1));
        ASSERT_TRUE(mixer.selectLine(1));
    }
    std::unique_ptr<DeviceWindow> open(bool captureRunning = false) {
        auto window = std::make_unique<DeviceWindow>(server, devices, mixer, 1, captureRunning);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    static void clickRow(DeviceWindow& window, int row) {
        QTest::mouseClick(&window, Qt::LeftButton, {}, window.deviceRowRect(row).center());
    }

    FakeSoundServer server;
    DeviceList devices{server};
    MixerControl mixer{server, devices};
};

// A click only highlights the row and shows its lines; Cancel leaves the recorder's device and
// line as they were, OK applies the device with its first line.
TEST_F(DeviceWindowTest, ClickHighlightsCancelKeepsOkApplies) {
    auto window = open();
    const QPoint start = window->pos();
    clickRow(*window, 0);
    EXPECT_EQ(window->pos(), start) << "a press on a row moved the window";
    EXPECT_EQ(window->chooser().highlighted(), 0);
    EXPECT_EQ(window->chooser().lineNames(), std::vector<std::string>{"mic"});
    EXPECT_EQ(devices.selectedRow(), 1);
    EXPECT_EQ(server.selected->sourceName, "silence");
    test::click(*window, kCancel);
    EXPECT_FALSE(window->choice());
    EXPECT_EQ(devices.selectedRow(), 1);
    EXPECT_EQ(server.selected->sourceName, "silence");

    window = open();
    EXPECT_EQ(window->chooser().highlighted(), 1);
    QTest::keyClick(window.get(), Qt::Key_Up);
    test::click(*window, kOk);
    ASSERT_TRUE(window->choice());
    EXPECT_EQ(window->choice()->device, 0);
    EXPECT_EQ(window->choice()->line, 0);
    EXPECT_EQ(devices.selectedRow(), 0);
    EXPECT_EQ(server.selected->sourceName, "mic");
}

TEST_F(DeviceWindowTest, NothingChangesWhileACaptureRunsOrWithoutDevices) {
    auto window = open(true);
    clickRow(*window, 0);
    EXPECT_EQ(window->chooser().highlighted(), 1);
    test::click(*window, kOk);
    EXPECT_FALSE(window->choice());
    EXPECT_EQ(server.selected->sourceName, "silence");

    server.deviceList.clear();
    window = open();
    EXPECT_EQ(window->chooser().rows(), std::vector<std::string>{DeviceList::kNoEntries});
    clickRow(*window, 0);
    EXPECT_EQ(window->chooser().highlighted(), DeviceList::kNone);
    test::click(*window, kOk);
    EXPECT_FALSE(window->choice());
    EXPECT_EQ(devices.selectedRow(), 1);
}

}  // namespace
}  // namespace orvel
