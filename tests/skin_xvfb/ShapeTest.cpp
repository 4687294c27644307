#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include "skin/SkinFace.h"

namespace orvel {
namespace {

// A window filling the screen behind the face, counting the presses that reach it.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {}
    int presses = 0;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kColour); }
    void mousePressEvent(QMouseEvent*) override { ++presses; }

public:
    static inline const QColor kColour{40, 160, 90};
};

class PressCounter : public QObject {
public:
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
};

// A real click of the X server, as a user's hand makes it.
bool clickAt(const QPoint& global) {
    return QProcess::execute("xdotool", {"mousemove", QString::number(global.x()),
                                         QString::number(global.y()), "click", "1"}) == 0;
}

// On a real X server the outline cuts the window: a click outside the polygon but inside the
// face's bounding box reaches the window below, and the screen shows that window there.
TEST(FaceShape, ClickOutsideTheOutlineReachesTheWindowBelow) {
    Backdrop backdrop;
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
    SkinFace face(skin::FaceId::Noise);
    PressCounter facePresses;
    face.installEventFilter(&facePresses);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    EXPECT_EQ(face.pos(), QPoint(200, 200));

    // The top-left corner (0, 0) lies outside the outline, (240, 360) on bare surface.
    const QPoint corner = face.mapToGlobal(QPoint(1, 1));
    const QPoint bare = face.mapToGlobal(QPoint(240, 360));
    EXPECT_EQ(QApplication::widgetAt(corner), &backdrop);
    EXPECT_EQ(QApplication::widgetAt(bare), &face);

    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    EXPECT_EQ(QColor(screen.pixel(corner)), Backdrop::kColour);
    EXPECT_NE(QColor(screen.pixel(bare)), Backdrop::kColour);

    ASSERT_TRUE(clickAt(corner));
    QTRY_COMPARE(backdrop.presses, 1);
    EXPECT_EQ(facePresses.presses, 0);
    ASSERT_TRUE(clickAt(bare));
    QTRY_COMPARE(facePresses.presses, 1);
    EXPECT_EQ(backdrop.presses, 1);
}

}  // namespace
}  // namespace orvel
