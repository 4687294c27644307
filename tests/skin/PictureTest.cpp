#include <gtest/gtest.h>

#include <QImage>

#include "skin/SkinImageCache.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {
namespace {

// The windows' pictures come at both densities; slider pictures come with the face showing
// around their grooves; a name the skin lacks gives an empty picture, not a failure.
TEST(SkinImageCache, ServesBothDensitiesAndClearsTheKeyColour) {
    const QPixmap small = SkinImageCache::pixmap("IDR_BTNOKUP", 1.0);
    const QPixmap sharp = SkinImageCache::pixmap("IDR_BTNOKUP", 2.0);
    EXPECT_EQ(small.size(), QSize(72, 24));
    EXPECT_EQ(sharp.size(), QSize(144, 48));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(sharp.deviceIndependentSize().toSize(), small.size());

    const QImage track = SkinImageCache::pixmap("IDR_SLIDERDELAY", 1.0).toImage();
    int clear = 0;
    int solid = 0;
    for (int y = 0; y < track.height(); ++y) {
        for (int x = 0; x < track.width(); ++x) {
            const QRgb p = track.pixel(x, y);
            EXPECT_FALSE(qAlpha(p) == 255 && (p & 0xffffff) == 0xff00ff) << x << "," << y;
            (qAlpha(p) == 0 ? clear : solid) += 1;
        }
    }
    EXPECT_GT(clear, solid);  // a groove and ticks on a mostly clear picture
    EXPECT_GT(solid, 0);

    EXPECT_TRUE(SkinImageCache::pixmap("IDR_NO_SUCH_PICTURE", 1.0).isNull());
    EXPECT_TRUE(SkinImageCache::pixmap("IDR_NO_SUCH_PICTURE", 2.0).isNull());
    EXPECT_FALSE(SkinImageCache::programIcon().availableSizes().isEmpty());
    EXPECT_EQ(SkinImageCache::lineCursor(1.0).pixmap().size(), QSize(32, 32));
}

// The noise face's outline names a point outside its window; the bevel follows the edge the
// window makes of it (a shadow line down the right side through the notch), not the diagonal
// to the point that is cut off.
TEST(SkinArtwork, BevelFollowsTheOutlineAsTheWindowCutsIt) {
    const QImage face = SkinImageCache::pixmap("IDR_NOISEGATINGFACE", 1.0).toImage();
    ASSERT_EQ(face.size(), QSize(578, 388));
    const QColor shadow = skin::SkinStyle::colour(skin::palette::kBevelShadow);
    const QColor light = skin::SkinStyle::colour(skin::palette::kBevelLight);
    for (int y : {8, 12, 16, 200}) {
        EXPECT_EQ(QColor(face.pixel(577, y)), shadow) << "right edge at " << y;
    }
    EXPECT_EQ(QColor(face.pixel(100, 0)), light);  // top edge
    EXPECT_EQ(QColor(face.pixel(0, 100)), light);  // left edge
    EXPECT_EQ(QColor(face.pixel(100, 387)), shadow);
}

}  // namespace
}  // namespace orvel
