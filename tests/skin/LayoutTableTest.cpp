#include <gtest/gtest.h>

#include <set>

#include "skin/layout/SkinImageTable.h"
#include "skin/layout/SkinLayout.h"

namespace orvel::skin {
namespace {

// The outline size in force while a panel (or none) is open.
Size sizeFor(const FaceSpec& face, int panel) {
    return panel == kNoPanel ? face.size() : face.outlines[std::size_t{1} << panel].size;
}

bool within(const Rect& r, Size size) {
    return Rect{0, 0, size.width, size.height}.contains(r);
}

// The windows place controls by the table and the generator draws their pictures from it:
// a control whose picture has another size, two controls with one id, or a slider whose
// travel leaves its track would show a broken face.
TEST(LayoutTable, ControlsSlidersAndAreasAgreeWithPicturesNamesAndFaces) {
    for (const FaceSpec& face : SkinLayout::faces()) {
        SCOPED_TRACE(std::string(face.key));
        const ImageSpec* faceImage = SkinImageTable::find(face.image);
        ASSERT_NE(faceImage, nullptr);
        EXPECT_EQ(faceImage->size, face.size());
        for (std::size_t i = 0; i < face.panels.size(); ++i) {
            const ImageSpec* panel = SkinImageTable::find(face.panels[i].image);
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->size, face.panels[i].rect.size());
        }
        std::set<ControlId> ids;
        for (const ControlSpec& c : face.controls) {
            SCOPED_TRACE(static_cast<int>(c.id));
            EXPECT_TRUE(ids.insert(c.id).second) << "two controls share an id";
            EXPECT_FALSE(c.label.empty());
            if (c.kind == ControlKind::Button) {
                const ImageSpec* image = SkinImageTable::find(c.image);
                ASSERT_NE(image, nullptr) << c.image;
                EXPECT_EQ(image->size, c.rect.size()) << c.image;
                EXPECT_NE(image->states, StateSet::Single);
            }
            // Two controls are known to reach a pixel or three past the outline (the line
            // window's handle, the history tab); the face cuts them. None lies wholly outside.
            const Size size = sizeFor(face, c.panel);
            EXPECT_TRUE(c.rect.x < size.width && c.rect.y < size.height);
        }
        for (const SliderSpec& s : face.sliders) {
            SCOPED_TRACE(static_cast<int>(s.id));
            const ImageSpec* track = SkinImageTable::find(s.trackImage);
            const ImageSpec* thumb = SkinImageTable::find(s.thumbImage);
            ASSERT_TRUE(track && thumb);
            EXPECT_EQ(thumb->size, s.thumb);
            // A track picture serves rectangles a pixel or two apart (the line window's balance
            // is two rows lower than the background balance whose picture it shares).
            EXPECT_LE(std::abs(track->size.width - s.track.width), 1);
            EXPECT_LE(std::abs(track->size.height - s.track.height), 2);
            const int start = s.vertical ? s.track.y : s.track.x;
            const int length = s.vertical ? s.track.height : s.track.width;
            const int half = (s.vertical ? s.thumb.height : s.thumb.width) / 2;
            EXPECT_GE(s.from - half, start);
            EXPECT_LE(s.to + half, start + length);
            EXPECT_GT(s.maximum, 0);
            EXPECT_TRUE(within(s.track, sizeFor(face, s.panel)));
        }
        for (const AreaSpec& a : face.areas) {
            SCOPED_TRACE(static_cast<int>(a.id));
            EXPECT_TRUE(within(a.row(a.count - 1), sizeFor(face, a.panel)));
        }
    }
}

}  // namespace
}  // namespace orvel::skin
