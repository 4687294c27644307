#include <gtest/gtest.h>

#include <QSystemTrayIcon>

#include "../recorder_ui_sound/FaceHarness.h"
#include "StandInTray.h"
#include "XServerView.h"
#include "skin/PostedInput.h"
#include "skin/SkinButton.h"
#include "support/WindowDriver.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

// Where the docked icons show. Qt may replace an icon's window while it starts (each asks to
// dock): only those still on the screen count.
std::vector<QRect> shownIcons(const test::StandInTray& tray, const test::XServerView& x) {
    std::vector<QRect> shown;
    for (const std::uint32_t icon : tray.docked()) {
        if (const std::optional<QRect> at = x.shownAt(icon)) {
            shown.push_back(*at);
        }
    }
    return shown;
}

// The face started with a notification area on the desktop, its icon docked there.
class FrontFaceTray : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tray.ok());
        ASSERT_TRUE(m_x.ok());
        ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
        ASSERT_TRUE(m_h.make());
        ASSERT_TRUE(m_h.waitFor([&] { return !shownIcons().empty(); }, 3s));
    }

    std::vector<QRect> shownIcons() const { return orvel::shownIcons(m_tray, m_x); }

    test::StandInTray m_tray;
    test::XServerView m_x;
    test::FaceHarness m_h;
};

// One icon shows while the face runs; once the face has closed, no icon of it is left on the
// screen (a program that ended must not leave a dead icon behind).
TEST_F(FrontFaceTray, OneIconShowsWhileTheFaceRunsAndNoneAfterItCloses) {
    m_h.run(300ms);
    EXPECT_EQ(shownIcons().size(), 1u);
    m_h.controller().close();
    ASSERT_TRUE(m_h.waitFor([&] { return m_h.face().isClosed(); }, 5s));
    EXPECT_TRUE(m_h.waitFor([&] { return shownIcons().empty(); }, 3s));
    EXPECT_FALSE(m_x.shownAt(m_h.face().winId()));
}

// With a tray, the hide button takes the face off the screen (not to the task bar), and a
// double click on the icon brings it back.
TEST_F(FrontFaceTray, HideGoesToTheTrayAndADoubleClickOnTheIconBringsTheFaceBack) {
    test::TestFace& face = m_h.face();
    const std::uint32_t window = face.winId();
    ASSERT_TRUE(m_x.shownAt(window));
    PostedInput::click(face.button(ControlId::BTN_SYSTRAY));
    ASSERT_TRUE(m_h.waitFor([&] { return !m_x.shownAt(window); }, 3s));
    EXPECT_FALSE(face.isVisible());
    EXPECT_FALSE(face.isMinimized());

    const std::vector<QRect> icons = shownIcons();
    ASSERT_EQ(icons.size(), 1u);
    ASSERT_TRUE(test::clickOnScreen(icons.front().center(), 2));
    EXPECT_TRUE(m_h.waitFor([&] { return m_x.shownAt(window).has_value(); }, 3s));
    EXPECT_TRUE(face.isVisible());
    EXPECT_FALSE(face.isMinimized());
}

// A panel that starts after the program (both started at login) still gets the icon, and
// hiding then goes to it.
TEST(FrontFaceLateTray, TheIconShowsOnceATrayAppearsAfterTheFaceStarted) {
    test::XServerView x;
    ASSERT_TRUE(x.ok());
    test::FaceHarness h;
    ASSERT_TRUE(h.make());
    h.run(300ms);  // the face has asked for a tray and found none
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    test::StandInTray tray;
    ASSERT_TRUE(tray.ok());
    EXPECT_TRUE(h.waitFor([&] { return shownIcons(tray, x).size() == 1; }, 5s));

    PostedInput::click(h.face().button(ControlId::BTN_SYSTRAY));
    EXPECT_TRUE(h.waitFor([&] { return !x.shownAt(h.face().winId()); }, 3s));
    EXPECT_FALSE(h.face().isMinimized());
}

}  // namespace
}  // namespace orvel
