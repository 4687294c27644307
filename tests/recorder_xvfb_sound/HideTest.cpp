#include <gtest/gtest.h>

#include <QSystemTrayIcon>
#include <QTest>

#include "../recorder_ui_sound/FaceHarness.h"
#include "skin/PostedInput.h"
#include "skin/SkinButton.h"
#include "skin/TrayIcon.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

// On a real X server without a notification area, the hide button (and "/hide") minimises the
// face instead of hiding it: a hidden face could never be brought back.
TEST(FrontFaceHide, WithoutATrayTheFaceIsMinimisedAndStaysReachable) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    test::FaceHarness h;
    ASSERT_TRUE(h.make());
    test::TestFace& face = h.face();
    PostedInput::click(face.button(ControlId::BTN_SYSTRAY));
    ASSERT_TRUE(h.waitFor([&] { return face.isMinimized(); }, 3s));
    EXPECT_TRUE(face.isVisible());
    face.runCommand(TrayIcon::kOpen);  // as the task bar brings it back
    EXPECT_TRUE(h.waitFor([&] { return !face.isMinimized() && face.isVisible(); }, 3s));
}

}  // namespace
}  // namespace orvel
