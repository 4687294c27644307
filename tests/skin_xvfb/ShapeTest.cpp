#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <functional>
#include <memory>

#include "config/SettingsStore.h"
#include "skin/SkinFace.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/schedule/ScheduleWindow.h"
#include "ui/settings/NoiseWindow.h"
#include "ui/settings/TrackSplitterWindow.h"

namespace orvel {
namespace {

// A window filling the screen behind the faces, in a colour no face has, counting the presses
// that reach it.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {
        setGeometry(QGuiApplication::primaryScreen()->geometry());
    }
    int presses = 0;

    static inline const QColor kColour{255, 0, 255};

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kColour); }
    void mousePressEvent(QMouseEvent*) override { ++presses; }
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

QImage grabScreen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

// On a real X server the outline cuts the window: a click outside the polygon but inside the
// face's bounding box reaches the window below.
TEST(FaceShape, ClickOutsideTheOutlineReachesTheWindowBelow) {
    Backdrop backdrop;
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

    ASSERT_TRUE(test::clickOnScreen(corner));
    QTRY_COMPARE(backdrop.presses, 1);
    EXPECT_EQ(facePresses.presses, 0);
    ASSERT_TRUE(test::clickOnScreen(bare));
    QTRY_COMPARE(facePresses.presses, 1);
    EXPECT_EQ(backdrop.presses, 1);
}

// The outline in force, drawn on its own, and which pixels of the face's box lie clearly
// inside or outside it: two pixels from its edge either way, so that rounding at the edges
// cannot decide.
class OutlineMap {
public:
    explicit OutlineMap(const skin::Outline& outline)
        : m_image(outline.size.width, outline.size.height, QImage::Format_Grayscale8) {
        m_image.fill(0);
        QPolygon polygon;
        for (const skin::Point& point : outline.points) {
            polygon << QPoint(point.x, point.y);
        }
        QPainter painter(&m_image);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(polygon, Qt::WindingFill);
    }

    QSize size() const { return m_image.size(); }
    // 1 clearly inside, -1 clearly outside, 0 near the edge.
    int side(int x, int y) const {
        int inside = 0;
        for (int dy = -kMargin; dy <= kMargin; ++dy) {
            for (int dx = -kMargin; dx <= kMargin; ++dx) {
                inside += at(x + dx, y + dy) ? 1 : 0;
            }
        }
        constexpr int kAll = (2 * kMargin + 1) * (2 * kMargin + 1);
        return inside == kAll ? 1 : inside == 0 ? -1 : 0;
    }

private:
    static constexpr int kMargin = 2;
    bool at(int x, int y) const {
        return m_image.rect().contains(x, y) && m_image.constScanLine(y)[x] != 0;
    }
    QImage m_image;
};

struct Mismatches {
    int outsideShowingFace = 0;
    int insideShowingBackdrop = 0;
    int outside = 0;
    bool none() const { return outsideShowingFace == 0 && insideShowingBackdrop == 0; }
};

// Compares the screen with the outline: the backdrop wherever the face is cut away, the face
// wherever it is not.
Mismatches compare(const QImage& screen, const OutlineMap& map, const QPoint& origin) {
    Mismatches m;
    const QRgb backdrop = Backdrop::kColour.rgb();
    for (int y = 0; y < map.size().height(); ++y) {
        for (int x = 0; x < map.size().width(); ++x) {
            const int side = map.side(x, y);
            if (side == 0) {
                continue;
            }
            const bool showsBackdrop =
                (screen.pixel(origin + QPoint(x, y)) | 0xff000000) == (backdrop | 0xff000000);
            m.outside += side < 0 ? 1 : 0;
            m.outsideShowingFace += side < 0 && !showsBackdrop ? 1 : 0;
            m.insideShowingBackdrop += side > 0 && showsBackdrop ? 1 : 0;
        }
    }
    return m;
}

struct FaceCase {
    const char* name;
    std::function<std::unique_ptr<SkinFace>(const test::TempDir&)> make;
    std::vector<int> panels;  // opened once the face shows
};

void PrintTo(const FaceCase& c, std::ostream* os) {
    *os << c.name;
}

class FaceShapeOnScreen : public ::testing::TestWithParam<FaceCase> {};

// Every face with cut corners, with each combination of the front face's panels opened while
// it shows: a grab of the screen shows the window behind wherever the outline cuts the face
// away, and the face everywhere inside it.
TEST_P(FaceShapeOnScreen, TheScreenShowsTheOutline) {
    const FaceCase& c = GetParam();
    const test::TempDir dir(test::TempDir::Xdg::Redirect);
    Backdrop backdrop;
    backdrop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
    const std::unique_ptr<SkinFace> face = c.make(dir);
    face->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(face.get()));
    for (const int panel : c.panels) {
        face->setPanelOpen(panel, true);
    }
    const OutlineMap map(face->outline());
    ASSERT_EQ(face->size(), map.size());
    const QPoint origin = face->mapToGlobal(QPoint(0, 0));
    ASSERT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(QRect(origin, map.size())));

    // The face paints and takes its shape after it is exposed: the screen settles soon.
    Mismatches m;
    QImage screen;
    QElapsedTimer clock;
    clock.start();
    do {
        QTest::qWait(20);
        screen = grabScreen();
        m = compare(screen, map, origin);
    } while (!m.none() && clock.elapsed() < 3000);
    EXPECT_EQ(m.outsideShowingFace, 0) << "pixels cut away that show the face";
    EXPECT_EQ(m.insideShowingBackdrop, 0) << "pixels of the face that show the window behind";
    EXPECT_GT(m.outside, 0);
    // The four corners of the face's box are cut away on every face here.
    const QSize size = map.size();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(0, size.height() - 1),
          QPoint(size.width() - 1, size.height() - 1)}) {
        EXPECT_EQ(QColor(screen.pixel(origin + corner)), Backdrop::kColour)
            << corner.x() << "," << corner.y();
    }
}

std::unique_ptr<SkinFace> front(const test::TempDir&) {
    return std::make_unique<SkinFace>(skin::FaceId::Front);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FaceShapeOnScreen,
    ::testing::Values(FaceCase{"Front", front, {}},
                      FaceCase{"FrontLineWindow", front, {skin::kSidePanel}},
                      FaceCase{"FrontLogPanel", front, {skin::kLogPanel}},
                      FaceCase{"FrontBothPanels", front, {skin::kLogPanel, skin::kSidePanel}},
                      FaceCase{"Noise",
                               [](const test::TempDir&) {
                                   return std::make_unique<NoiseWindow>(SettingsStore());
                               },
                               {}},
                      FaceCase{"TrackSplitter",
                               [](const test::TempDir&) {
                                   return std::make_unique<TrackSplitterWindow>(SettingsStore());
                               },
                               {}},
                      FaceCase{"Schedule",
                               [](const test::TempDir& dir) {
                                   return std::make_unique<ScheduleWindow>(
                                       SettingsStore(), dir.file("schedule.txt"));
                               },
                               {}}),
    [](const ::testing::TestParamInfo<FaceCase>& info) { return info.param.name; });

}  // namespace
}  // namespace orvel
