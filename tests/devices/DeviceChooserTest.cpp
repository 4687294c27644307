#include "devices/DeviceChooser.h"

#include <gtest/gtest.h>

#include "devices/FakeSoundServer.h"
#include "devices/MixerControl.h"

namespace orvel {
namespace {

using test::FakeSoundServer;

class DeviceChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.deviceList = {FakeSoundServer::device("USB headset", {"mic"}),
                             FakeSoundServer::device("Sound server", {"tone", "silence"})};
        devices.refresh();
        ASSERT_TRUE(devices.selectRow(1));
        ASSERT_TRUE(mixer.selectLine(1));
    }
    DeviceChooser chooser(int line, bool readOnly = false) {
        return DeviceChooser(server, devices, line, 8, 10, readOnly);
    }

    FakeSoundServer server;
    DeviceList devices{server};
    MixerControl mixer{server, devices};
};

// Highlighting is the window's own business; OK applies the device and, for another device,
// starts again at its first line instead of indexing the old device's lines.
TEST_F(DeviceChooserTest, AppliesTheHighlightedDeviceOnlyOnOkAndResetsTheLine) {
    DeviceChooser first = chooser(1);
    EXPECT_EQ(first.highlighted(), 1);
    ASSERT_TRUE(first.highlight(0));
    EXPECT_EQ(first.lineNames(), std::vector<std::string>{"mic"});
    EXPECT_EQ(devices.selectedRow(), 1);
    EXPECT_EQ(server.selected->sourceName, "silence");

    const auto choice = first.apply(devices, mixer);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->device, 0);
    EXPECT_EQ(choice->line, 0);
    EXPECT_TRUE(choice->deviceChanged);
    EXPECT_EQ(devices.selectedRow(), 0);
    EXPECT_EQ(server.selected->sourceName, "mic");

    // The same device keeps its line, unless the index names no line of it any more.
    EXPECT_EQ(chooser(0).apply(devices, mixer)->line, 0);
    ASSERT_TRUE(devices.selectRow(1));
    const auto kept = chooser(1).apply(devices, mixer);
    EXPECT_FALSE(kept->deviceChanged);
    EXPECT_EQ(kept->line, 1);
    EXPECT_EQ(chooser(5).apply(devices, mixer)->line, 0);
}

TEST_F(DeviceChooserTest, PlaceholderReadOnlyAndVanishedDevicesApplyNothing) {
    DeviceChooser locked = chooser(1, true);
    EXPECT_FALSE(locked.highlight(0));
    EXPECT_EQ(locked.highlighted(), 1);
    EXPECT_FALSE(locked.apply(devices, mixer));
    EXPECT_EQ(server.selected->sourceName, "silence");

    DeviceChooser gone = chooser(1);
    gone.highlight(0);
    server.deviceList.erase(server.deviceList.begin());
    EXPECT_FALSE(gone.apply(devices, mixer));
    EXPECT_EQ(server.selected->sourceName, "silence");

    server.deviceList.clear();
    DeviceChooser none = chooser(1);
    EXPECT_EQ(none.rows(), std::vector<std::string>{DeviceList::kNoEntries});
    EXPECT_FALSE(none.highlight(0));
    EXPECT_FALSE(none.moveHighlight(1));
    EXPECT_FALSE(none.apply(devices, mixer));
}

TEST_F(DeviceChooserTest, ScrollsWithinItsRowsAndKeepsTheHighlightInView) {
    server.deviceList.clear();
    for (int i = 0; i < 12; ++i) {
        server.deviceList.push_back(FakeSoundServer::device("Card " + std::to_string(i), {"in"}));
    }
    DeviceChooser c = chooser(0);
    c.scrollRows(10);
    EXPECT_EQ(c.firstRow(), 4);
    c.scrollRows(-10);
    EXPECT_EQ(c.firstRow(), 0);
    ASSERT_TRUE(c.highlight(11));
    EXPECT_EQ(c.firstRow(), 4);
    ASSERT_TRUE(c.moveHighlight(-8));
    EXPECT_EQ(c.highlighted(), 3);
    EXPECT_EQ(c.firstRow(), 3);
    c.scrollLines(3);
    EXPECT_EQ(c.firstLine(), 0) << "one line fits: nothing to scroll";
}

}  // namespace
}  // namespace orvel
