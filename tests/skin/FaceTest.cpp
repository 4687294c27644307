#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

#include "config/HotKeyScript.h"
#include "config/LanguageTable.h"
#include "skin/SkinButton.h"
#include "skin/SkinFace.h"
#include "skin/SkinImageCache.h"
#include "skin/SkinSlider.h"

namespace orvel {
namespace {

using skin::FaceId;
using skin::ImageState;

struct OutlineCase {
    FaceId face;
    unsigned panels;  // bit 0 line window, bit 1 log panel
};

void PrintTo(const OutlineCase& c, std::ostream* os) {
    *os << "face " << static_cast<int>(c.face) << " panels " << c.panels;
}

class FaceOutline : public ::testing::TestWithParam<OutlineCase> {};

// The face is painted clipped to its outline, its controls cut by it too, so even where no
// window mask applies the shape is exact: every pixel inside is opaque, every other one clear.
TEST_P(FaceOutline, GrabIsOpaqueExactlyInsideTheOutline) {
    SkinFace face(GetParam().face);
    for (int panel = 0; panel < 2; ++panel) {
        face.setPanelOpen(panel, (GetParam().panels >> panel) & 1);
    }
    const QImage grab = face.grab().toImage();
    ASSERT_EQ(grab.size(), face.size());
    EXPECT_EQ(face.size(), QSize(face.outline().size.width, face.outline().size.height));
    const QRegion outline = face.outlineRegion();
    EXPECT_EQ(face.mask(), outline);
    int wrong = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < grab.height(); ++y) {
        for (int x = 0; x < grab.width(); ++x) {
            const int alpha = qAlpha(grab.pixel(x, y));
            const bool inside = outline.contains(QPoint(x, y));
            if (alpha != (inside ? 255 : 0)) {
                if (wrong++ == 0) {
                    first = QPoint(x, y);
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "first wrong pixel at " << first.x() << ", " << first.y();
}

INSTANTIATE_TEST_SUITE_P(
    Skin, FaceOutline,
    ::testing::Values(OutlineCase{FaceId::Front, 0}, OutlineCase{FaceId::Front, 1},
                      OutlineCase{FaceId::Front, 2}, OutlineCase{FaceId::Front, 3},
                      OutlineCase{FaceId::Startup, 0}, OutlineCase{FaceId::About, 0},
                      OutlineCase{FaceId::Device, 0}, OutlineCase{FaceId::Background, 0},
                      OutlineCase{FaceId::Mp3, 0}, OutlineCase{FaceId::Wma, 0},
                      OutlineCase{FaceId::Output, 0}, OutlineCase{FaceId::Noise, 0},
                      OutlineCase{FaceId::TrackSplitter, 0}, OutlineCase{FaceId::Schedule, 0}));

struct ButtonCase {
    const char* name;
    ControlId id;  // a control of the front face
    bool latched;
    bool enabled;
    bool held;
    ImageState shown;
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
    *os << c.name;
}

class ButtonState : public ::testing::TestWithParam<ButtonCase> {};

// The picture on screen is the state image the mode, the latch, the enabled state and the
// mouse call for.
TEST_P(ButtonState, ShowsTheImageOfItsState) {
    const ButtonCase& c = GetParam();
    SkinFace face(FaceId::Front);
    SkinButton* button = face.button(c.id);
    ASSERT_NE(button, nullptr);
    button->setLatched(c.latched);
    button->setEnabled(c.enabled);
    button->setDown(c.held);
    EXPECT_EQ(button->shownState(), c.shown);
    const QImage expected =
        SkinImageCache::pixmap(skin::SkinImageTable::fileName(button->spec().image, c.shown), 1)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    const QImage shown = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Skin, ButtonState, ::testing::Values(
    ButtonCase{"PushUp", ControlId::BTN_STOP, false, true, false, ImageState::Up},
    ButtonCase{"PushHeld", ControlId::BTN_STOP, false, true, true, ImageState::Down},
    ButtonCase{"PushIgnoresLatch", ControlId::BTN_STOP, true, true, false, ImageState::Up},
    ButtonCase{"LatchingLatched", ControlId::BTN_16BIT, true, true, false, ImageState::Down},
    ButtonCase{"LatchingReleased", ControlId::BTN_16BIT, false, true, false, ImageState::Up},
    ButtonCase{"TransportLatched", ControlId::BTN_RECORD, true, true, false, ImageState::Down},
    ButtonCase{"DisabledEvenWhileLatched", ControlId::BTN_RECORD, true, false, false, ImageState::Disable},
    ButtonCase{"CheckBoxLatched", ControlId::BTN_MULTIFILE, true, true, false, ImageState::Down}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(SkinButton, LatchedButtonStaysDownWhenTheMouseLeaves) {
    SkinFace face(FaceId::Front);
    face.show();
    SkinButton* button = face.button(ControlId::BTN_16BIT);
    button->setLatched(true);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(button, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->hovered());
    EXPECT_EQ(button->shownState(), ImageState::Down);
}

// A press on bare surface moves the face after the mouse (no window manager moves it
// offscreen); a press on a button clicks it and leaves the face where it is; presses posted
// by the program (command line, hot keys) click buttons but never move the face.
TEST(FacePress, OnlyTheUsersPressOnBareSurfaceMovesTheFace) {
    SkinFace face(FaceId::Output);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    const QPoint start = face.pos();
    const QPoint bare(240, 150);

    QTest::mousePress(&face, Qt::LeftButton, {}, bare);
    QTest::mouseMove(&face, bare + QPoint(30, 20));
    QTest::mouseRelease(&face, Qt::LeftButton, {}, bare + QPoint(30, 20));
    EXPECT_EQ(face.pos(), start + QPoint(30, 20));

    const QPoint moved = face.pos();
    SkinButton* ok = face.button(ControlId::BTN_OK);
    QSignalSpy clicked(ok, &QAbstractButton::clicked);
    QTest::mousePress(ok, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(ok, QPoint(30, 12));
    QTest::mouseRelease(ok, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(face.pos(), moved);

    auto post = [](QWidget* to, QEvent::Type type, QPoint at) {
        QCoreApplication::postEvent(
            to, new QMouseEvent(type, at, to->mapToGlobal(at), Qt::LeftButton,
                                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                                Qt::NoModifier));
    };
    post(&face, QEvent::MouseButtonPress, bare);
    post(&face, QEvent::MouseMove, bare + QPoint(40, 40));
    post(&face, QEvent::MouseButtonRelease, bare + QPoint(40, 40));
    post(ok, QEvent::MouseButtonPress, QPoint(10, 10));
    post(ok, QEvent::MouseButtonRelease, QPoint(10, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(face.pos(), moved);
    EXPECT_EQ(clicked.count(), 2);
}

TEST(FacePress, PressOnASliderMovesTheThumbNotTheFace) {
    SkinFace face(FaceId::Noise);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    SkinSlider* threshold = face.slider(skin::SliderId::NoiseThreshold);
    QSignalSpy released(threshold, &SkinSlider::released);
    const QPoint start = face.pos();
    const QPoint onTrack(200, 95);
    QTest::mousePress(&face, Qt::LeftButton, {}, onTrack);
    QTest::mouseMove(&face, onTrack + QPoint(20, 0));
    QTest::mouseRelease(&face, Qt::LeftButton, {}, onTrack + QPoint(20, 0));
    EXPECT_EQ(face.pos(), start);
    EXPECT_EQ(threshold->thumbRect().center().x(), 220);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released.at(0).at(0).toInt(), threshold->value());
}

// The 1-pixel-larger face images of other artwork are painted at the outline's size, not cut.
TEST(FacePaint, ImageOfAnotherSizeIsPaintedAtTheOutlinesSize) {
    QImage larger(486, 333, QImage::Format_RGB32);
    larger.fill(Qt::blue);
    for (int i = 0; i < 486; ++i) {
        larger.setPixel(i, 332, qRgb(255, 0, 0));
    }
    for (int i = 0; i < 333; ++i) {
        larger.setPixel(485, i, qRgb(255, 0, 0));
    }
    SkinImageCache::replace("IDR_ABOUTFACE", larger);
    SkinFace face(FaceId::About);
    const QImage grab = face.grab().toImage();
    SkinImageCache::forget("IDR_ABOUTFACE");
    EXPECT_EQ(grab.pixel(484, 331), qRgb(255, 0, 0));
    EXPECT_EQ(grab.pixel(484, 10), qRgb(255, 0, 0));
    EXPECT_EQ(grab.pixel(483, 330), qRgb(0, 0, 255));
}

TEST(FaceKeys, EscapeRejectsSettingsFacesOnlyAndEnterConfirmsNothing) {
    SkinFace settings(FaceId::Noise);
    settings.show();
    QTest::keyClick(&settings, Qt::Key_Return);
    EXPECT_TRUE(settings.isVisible());
    QTest::keyClick(&settings, Qt::Key_Escape);
    EXPECT_FALSE(settings.isVisible());
    EXPECT_EQ(settings.result(), QDialog::Rejected);

    SkinFace front(FaceId::Front);
    front.setEscapeRejects(false);
    front.show();
    QTest::keyClick(&front, Qt::Key_Escape);
    QTest::keyClick(&front, Qt::Key_Enter);
    EXPECT_TRUE(front.isVisible());
}

TEST(FaceModal, OneModalFaceAtATime) {
    SkinFace first(FaceId::Output);
    SkinFace second(FaceId::Mp3);
    int secondResult = -1;
    bool secondShown = true;
    QTimer::singleShot(0, &first, [&] {
        EXPECT_TRUE(SkinFace::modalRunning());
        secondResult = second.runModal();
        secondShown = second.isVisible();
        first.accept();
    });
    EXPECT_EQ(first.runModal(), QDialog::Accepted);
    EXPECT_EQ(secondResult, QDialog::Rejected);
    EXPECT_FALSE(secondShown);
    EXPECT_FALSE(SkinFace::modalRunning());
}

QAccessibleInterface* findChild(QAccessibleInterface* parent, QAccessible::Role role,
                                const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* child = parent->child(i);
        if (child && child->role() == role && child->text(QAccessible::Name) == name) {
            return child;
        }
    }
    return nullptr;
}

// Screen readers and interface tests find every skin button and slider by the tooltip text of
// the language in force, with the hot-key chords when the face has them.
TEST(FaceTexts, ControlsCarryTheirTooltipsAsAccessibleNames) {
    SkinFace face(FaceId::Front);
    face.show();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&face);
    ASSERT_NE(root, nullptr);
    int buttons = 0;
    int sliders = 0;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child || child->state().invisible) {
            continue;
        }
        const QAccessible::Role role = child->role();
        if (role == QAccessible::Button || role == QAccessible::CheckBox ||
            role == QAccessible::RadioButton) {
            ++buttons;
        } else if (role == QAccessible::Slider) {
            ++sliders;
        } else {
            continue;
        }
        EXPECT_FALSE(child->text(QAccessible::Name).isEmpty());
    }
    EXPECT_GT(buttons, 30);
    EXPECT_EQ(sliders, 5);  // the line window's two are hidden with it
    EXPECT_NE(findChild(root, QAccessible::CheckBox, "Multiple files"), nullptr);
    QAccessibleInterface* volume = findChild(root, QAccessible::Slider, "Set Volume for recording");
    ASSERT_NE(volume, nullptr);
    QSignalSpy applied(face.slider(skin::SliderId::Volume), &SkinSlider::released);
    volume->valueInterface()->setCurrentValue(65535);
    EXPECT_EQ(face.slider(skin::SliderId::Volume)->value(), 65535);
    EXPECT_EQ(applied.count(), 1);

    HotKeyScript keys;
    face.applyTexts(LanguageTable(), &keys);
    EXPECT_NE(findChild(root, QAccessible::Button, "Stop - Hot Key :[F5,ESC,CTRL+S]"), nullptr);

    // A language file's tooltip that looks like markup still shows as written.
    LanguageTable language;
    language.LoadText(
        "<ORVELDOC><Controls><BTN_RECORD><b>Rec</b> & go</BTN_RECORD>"
        "</Controls></ORVELDOC>");
    face.applyTexts(language);
    QTextDocument shown;
    shown.setHtml(face.button(ControlId::BTN_RECORD)->toolTip());
    EXPECT_EQ(shown.toPlainText(), "<b>Rec</b> & go");
}

// Panels come and go in any order: the window takes the outline of the panels open, and a
// panel's controls and sliders show only with it.
TEST(FacePanels, OutlineSizeAndControlsFollowTheOpenPanels) {
    SkinFace face(FaceId::Front);
    face.show();
    SkinButton* device = face.button(ControlId::BTN_DEVICE);
    SkinButton* tagEdit = face.button(ControlId::BTN_EDITID3TAG);
    SkinSlider* lineVolume = face.slider(skin::SliderId::LineVolume);
    struct Step {
        int panel;
        bool open;
        QSize size;
    };
    const Step steps[] = {{skin::kSidePanel, true, {949, 392}},
                          {skin::kLogPanel, true, {949, 608}},
                          {skin::kSidePanel, false, {592, 608}},
                          {skin::kLogPanel, false, {592, 392}}};
    for (const Step& step : steps) {
        face.setPanelOpen(step.panel, step.open);
        EXPECT_EQ(face.size(), step.size);
        EXPECT_EQ(face.mask(), face.outlineRegion());
        EXPECT_EQ(device->isVisible(), face.panelOpen(skin::kSidePanel));
        EXPECT_EQ(lineVolume->isVisible(), face.panelOpen(skin::kSidePanel));
        EXPECT_EQ(tagEdit->isVisible(), face.panelOpen(skin::kLogPanel));
    }
    EXPECT_FALSE(
        face.button(ControlId::BTN_HELPBOOK)->isVisible());  // created hidden, whatever the panels
}

// A slider hidden in the middle of a drag (signal mode ending under the hand) applies nothing
// when the mouse is released.
TEST(FacePress, SliderHiddenDuringADragAppliesNothing) {
    SkinFace face(FaceId::Noise);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    SkinSlider* release = face.slider(skin::SliderId::Release);
    QSignalSpy applied(release, &SkinSlider::released);
    const QPoint onTrack(150, 148);
    QTest::mousePress(&face, Qt::LeftButton, {}, onTrack);
    release->setVisible(false);
    QTest::mouseRelease(&face, Qt::LeftButton, {}, onTrack);
    EXPECT_EQ(applied.count(), 0);
}

TEST(FaceTexts, SliderTooltipShowsOverItsTrack) {
    SkinFace face(FaceId::Front);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    const QPoint onRate(136, 100);
    QHelpEvent help(QEvent::ToolTip, onRate, face.mapToGlobal(onRate));
    QApplication::sendEvent(&face, &help);
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    EXPECT_EQ(shown.toPlainText(), "Set sample frequency for recording");
    QToolTip::hideText();
}

TEST(FaceTexts, LatchedButtonReadsCheckedAndPressActionClicks) {
    SkinFace face(FaceId::Front);
    SkinButton* multiFile = face.button(ControlId::BTN_MULTIFILE);
    multiFile->setLatched(true);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(multiFile);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_TRUE(iface->state().checked);
    QSignalSpy clicked(multiFile, &QAbstractButton::clicked);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(multiFile->latched()) << "the face, not the button, decides the latch";
    multiFile->setEnabled(false);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicked.count(), 1);
}

}  // namespace
}  // namespace orvel
