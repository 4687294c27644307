#include <gtest/gtest.h>

#include "devices/DeviceList.h"
#include "devices/FakeSoundServer.h"

namespace orvel {
namespace {

using test::FakeSoundServer;

TEST(DeviceList, WithoutDevicesShowsOneRowThatSelectsNothing) {
    FakeSoundServer server;
    DeviceList list(server);
    list.refresh();
    EXPECT_EQ(list.rows(), std::vector<std::string>{"<< No entries >>"});
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.selectRow(0));
    EXPECT_EQ(list.selectedRow(), DeviceList::kNone);
    EXPECT_EQ(list.selectedDevice(), nullptr);
    EXPECT_TRUE(list.lineNames().empty());
}

TEST(DeviceList, RowsAreDeviceNamesAndTheSelectionShowsItsLines) {
    FakeSoundServer server;
    server.deviceList = {FakeSoundServer::device("USB headset", {"mic"}),
                         FakeSoundServer::device("Sound server", {"tone", "silence"})};
    DeviceList list(server);
    list.refresh();
    EXPECT_EQ(list.rows(), (std::vector<std::string>{"USB headset", "Sound server"}));
    ASSERT_TRUE(list.selectRow(1));
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_EQ(list.lineNames(), (std::vector<std::string>{"tone", "silence"}));
    // A row past the end changes nothing.
    EXPECT_FALSE(list.selectRow(2));
    EXPECT_EQ(list.selectedRow(), 1);
}

TEST(DeviceList, SelectingTheSameRowAgainReadsItsLinesAgain) {
    FakeSoundServer server;
    server.deviceList = {FakeSoundServer::device("Card", {"mic"})};
    DeviceList list(server);
    list.refresh();
    ASSERT_TRUE(list.selectRow(0));
    server.deviceList = {FakeSoundServer::device("Card", {"mic", "line-in"})};
    ASSERT_TRUE(list.selectRow(0));
    EXPECT_EQ(list.lineNames(), (std::vector<std::string>{"mic", "line-in"}));
}

TEST(DeviceList, ADeviceThatWentAwayCannotBeSelected) {
    FakeSoundServer server;
    server.deviceList = {FakeSoundServer::device("Card", {"mic"}),
                         FakeSoundServer::device("Other", {"in"})};
    DeviceList list(server);
    list.refresh();
    ASSERT_TRUE(list.selectRow(0));
    server.deviceList = {FakeSoundServer::device("Other", {"in"})};
    EXPECT_FALSE(list.selectRow(0));
    EXPECT_EQ(list.selectedDevice(), nullptr);
    EXPECT_TRUE(list.lineNames().empty());
}

TEST(DeviceList, RefreshKeepsTheSelectedDeviceWhereverItMoved) {
    FakeSoundServer server;
    server.deviceList = {FakeSoundServer::device("A", {"a"}), FakeSoundServer::device("B", {"b"})};
    DeviceList list(server);
    list.refresh();
    ASSERT_TRUE(list.selectRow(1));
    server.deviceList = {FakeSoundServer::device("New", {"n"}), FakeSoundServer::device("A", {"a"}),
                         FakeSoundServer::device("B", {"b"})};
    list.refresh();
    EXPECT_EQ(list.selectedRow(), 2);
    EXPECT_EQ(list.selectedDevice()->name, "B");
    server.deviceList = {FakeSoundServer::device("A", {"a"})};
    list.refresh();
    EXPECT_EQ(list.selectedRow(), DeviceList::kNone);
}

}  // namespace
}  // namespace orvel
