#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "../recorder_ui_sound/FaceHarness.h"
#include "XServerView.h"
#include "skin/PostedInput.h"
#include "skin/SkinButton.h"
#include "skin/TrayIcon.h"
#include "ui/front/FaceMenu.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

struct ModalCase {
    const char* name;
    const char* windowClass;
    std::function<void(test::TestFace&)> open;
};

void PrintTo(const ModalCase& c, std::ostream* os) {
    *os << c.name;
}

// What the X server shows of a modal window and the face behind it.
struct Stacking {
    bool modalAbove = false;
    std::uint32_t transientFor = 0;
};

class ModalStacking : public ::testing::TestWithParam<ModalCase> {};

// A modal window opened from the front face stands above it, and says whose it is
// (WM_TRANSIENT_FOR, which a desktop's window manager keeps it above by). Bringing the program
// forward while it is open ("Open Orvel" in the tray's menu) must not bury it under the face:
// the face would look dead to every click.
TEST_P(ModalStacking, TheModalWindowStandsAboveTheFace) {
    const ModalCase& c = GetParam();
    test::XServerView x;
    ASSERT_TRUE(x.ok());
    test::FaceHarness h;
    ASSERT_TRUE(h.make());
    test::TestFace& face = h.face();
    const std::uint32_t faceWindow = face.winId();

    auto look = [&](QWidget* modal) {
        test::XServerView::syncQt();
        const std::vector<std::uint32_t> order = x.stacking();
        const auto faceAt = std::find(order.begin(), order.end(), faceWindow);
        const auto modalAt = std::find(order.begin(), order.end(), modal->winId());
        return Stacking{faceAt != order.end() && modalAt != order.end() && modalAt > faceAt,
                        x.transientFor(modal->winId())};
    };
    // Settings windows run their own loop: what is seen of them is seen from a timer in it.
    std::optional<Stacking> opened;
    std::optional<Stacking> broughtForward;
    std::string modalClass;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !x.shownAt(modal->winId())) {
            return;
        }
        poll.stop();
        modalClass = modal->metaObject()->className();
        opened = look(modal);
        face.runCommand(TrayIcon::kOpen);
        broughtForward = look(modal);
        modal->close();
    });
    poll.start();
    c.open(face);
    ASSERT_TRUE(h.waitFor(
        [&] { return broughtForward && QApplication::activeModalWidget() == nullptr; }, 5s));

    EXPECT_EQ(modalClass, c.windowClass);
    EXPECT_TRUE(opened->modalAbove);
    EXPECT_EQ(opened->transientFor, faceWindow);
    EXPECT_TRUE(broughtForward->modalAbove);
    EXPECT_TRUE(face.isVisible());
}

void clickButton(test::TestFace& face, ControlId id) {
    PostedInput::click(face.button(id));
}

INSTANTIATE_TEST_SUITE_P(
    FrontFace, ModalStacking,
    ::testing::Values(
        ModalCase{"About", "orvel::AboutFace",
                  [](test::TestFace& face) { face.runCommand(FaceMenu::kAbout); }},
        ModalCase{"Noise", "orvel::NoiseWindow",
                  [](test::TestFace& face) { clickButton(face, ControlId::BTN_NOISESETTING); }},
        ModalCase{"Schedule", "orvel::ScheduleWindow",
                  [](test::TestFace& face) { clickButton(face, ControlId::BTN_CLOCKSET); }}),
    [](const ::testing::TestParamInfo<ModalCase>& info) { return info.param.name; });

}  // namespace
}  // namespace orvel
