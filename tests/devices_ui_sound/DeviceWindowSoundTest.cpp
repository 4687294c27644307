#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "devices/MixerControl.h"
#include "platform/SoundServer.h"
#include "support/WindowDriver.h"
#include "ui/settings/DeviceWindow.h"

namespace orvel {
namespace {

// Clicks the first device row of the device window once it is open, then `button`.
void pickFirstRowThen(ControlId button) {
    QTimer::singleShot(0, [button] {
        auto* window = qobject_cast<DeviceWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(window, Qt::LeftButton, {}, window->deviceRowRect(0).center());
        test::click(*window, button);
    });
}

// The device window on the private sound server: Cancel keeps the recorder without a device
// and its server untouched; OK applies the device and records from its first line; opening it
// again on the same device keeps the line the recorder uses.
TEST(DeviceWindowSound, OkAppliesTheDeviceAndCancelKeepsIt) {
    std::string error;
    std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
    ASSERT_NE(server, nullptr) << error;
    DeviceList devices(*server);
    devices.refresh();
    ASSERT_GT(devices.count(), 0);
    MixerControl mixer(*server, devices);
    const platform::SoundDevice first = devices.devices().front();
    ASSERT_GE(first.lines.size(), 2u) << "the test server offers several lines";

    pickFirstRowThen(ControlId::BTN_CANCEL);
    EXPECT_FALSE(DeviceWindow::choose(nullptr, *server, devices, mixer, -1, false));
    EXPECT_EQ(devices.selectedRow(), DeviceList::kNone);
    EXPECT_FALSE(server->isLineSelected(first.lines.front()));

    pickFirstRowThen(ControlId::BTN_OK);
    const auto choice = DeviceWindow::choose(nullptr, *server, devices, mixer, -1, false);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->device, 0);
    EXPECT_EQ(choice->line, 0);
    EXPECT_EQ(devices.selectedRow(), 0);
    EXPECT_TRUE(server->isLineSelected(first.lines.front()));

    const int last = static_cast<int>(first.lines.size()) - 1;
    ASSERT_TRUE(mixer.selectLine(last));
    pickFirstRowThen(ControlId::BTN_OK);
    const auto again = DeviceWindow::choose(nullptr, *server, devices, mixer, last, false);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->deviceChanged);
    EXPECT_EQ(again->line, last);
    EXPECT_TRUE(mixer.isLineEnabled(last));

    // While a capture runs the window only shows: OK changes nothing.
    pickFirstRowThen(ControlId::BTN_OK);
    EXPECT_FALSE(DeviceWindow::choose(nullptr, *server, devices, mixer, last, true));
    EXPECT_TRUE(mixer.isLineEnabled(last));
}

}  // namespace
}  // namespace orvel
