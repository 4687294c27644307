#include <gtest/gtest.h>

#include <QImage>

#include "skin/SkinFace.h"
#include "skin/SkinImageCache.h"

namespace orvel {
namespace {

// Run with two device pixels per face pixel: the face paints its double-size picture pixel
// for pixel instead of enlarging the small one.
TEST(HiDpiFace, PaintsTheDoubleSizePicturesUnscaled) {
    SkinFace face(skin::FaceId::Front);
    ASSERT_DOUBLE_EQ(face.devicePixelRatioF(), 2.0);
    const QPixmap grab = face.grab();
    EXPECT_EQ(grab.size(), face.size() * 2);
    const QImage shown = grab.toImage().convertToFormat(QImage::Format_RGB32);
    const QImage sharp =
        SkinImageCache::pixmap("IDR_FACE1", 2.0).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sharp.size(), shown.size());
    // The product name at the top left: no control covers it.
    const QRect name(2 * 20, 2 * 4, 2 * 100, 2 * 22);
    EXPECT_TRUE(shown.copy(name) == sharp.copy(name));
    const QImage small =
        SkinImageCache::pixmap("IDR_FACE1", 1.0).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(small.scaled(small.size() * 2).copy(name) == sharp.copy(name));
}

}  // namespace
}  // namespace orvel
