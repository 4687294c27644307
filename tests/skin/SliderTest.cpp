#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

#include "skin/SkinSlider.h"

namespace orvel {
namespace {

using skin::SliderSpec;

// A horizontal slider whose thumb centre travels from..to (thumb 7 x 16 on a 30-high track),
// or a vertical one on the front face's rate and volume geometry (thumb 14 x 16).
SliderSpec horizontal(int from, int to, int maximum, int step) {
    SliderSpec s;
    s.track = {from - 12, 70, to - from + 22, 30};
    s.thumb = {7, 16};
    s.from = from;
    s.to = to;
    s.maximum = maximum;
    s.step = step;
    return s;
}

SliderSpec vertical(int maximum, int step) {
    SliderSpec s;
    s.track = skin::edges(123, 29, 150, 160);
    s.thumb = {14, 16};
    s.vertical = true;
    s.from = 38;
    s.to = 150;
    s.maximum = maximum;
    s.step = step;
    return s;
}

// What the hand does: set a value, or press at one place, move to another and release
// (move == press: no move).
struct Gesture {
    int setValue = -1;
    int press = -1;
    int move = -1;
};

struct Case {
    const char* name;
    SliderSpec spec;
    Gesture gesture;
    int value;     // value afterwards
    int centre;    // thumb centre afterwards, along the slider
    int releases;  // released() signals: only a release that ends the slider's own press
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class SliderCases : public ::testing::TestWithParam<Case> {};

TEST_P(SliderCases, MapsSnapsAndJumps) {
    const Case& c = GetParam();
    QWidget face;
    auto slider = SkinSlider::make(c.spec, &face);
    QSignalSpy released(slider.get(), &SkinSlider::released);
    auto at = [&](int along) {
        const QRect track = slider->trackRect();
        return c.spec.vertical ? QPoint(track.center().x(), along)
                               : QPoint(along, track.bottom() - 4);
    };
    slider->setValue(c.gesture.setValue < 0 ? 0 : c.gesture.setValue);
    if (c.gesture.press >= 0) {
        EXPECT_TRUE(slider->press(at(c.gesture.press)));
        if (c.gesture.move >= 0) {
            slider->move(at(c.gesture.move));
        }
        EXPECT_TRUE(slider->release());
    }
    EXPECT_FALSE(slider->release()) << "a release without a press applied something";
    const QRect thumb = slider->thumbRect();
    EXPECT_EQ(c.spec.vertical ? thumb.y() + thumb.height() / 2 : thumb.x() + thumb.width() / 2,
              c.centre);
    EXPECT_EQ(slider->value(), c.value);
    EXPECT_EQ(released.count(), c.releases);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Skin, SliderCases, ::testing::Values(
    // Value 0 at the start; a drag from the thumb released at 107 snaps to 108 (remainder 3
    // exceeds half the step), which reads round(8 * 47 / 188) = 2.
    Case{"DragSnaps", horizontal(100, 288, 47, 4), {0, 100, 107}, 2, 108, 1},
    Case{"ValueZeroAtStart", horizontal(100, 288, 47, 4), {0, -1, -1}, 0, 100, 0},
    // A press on the track away from the thumb jumps there and stays, no snap; 12.5 rounds up.
    Case{"JumpDoesNotSnap", horizontal(100, 288, 47, 4), {0, 150, -1}, 13, 150, 1},
    Case{"DragStopsAtTheEnds", horizontal(100, 288, 47, 4), {47, 288, 400}, 47, 288, 1},
    Case{"ValueBeyondRangeIsClamped", horizontal(100, 288, 47, 4), {99, -1, -1}, 47, 288, 0},
    // The last step lies beyond the travel: the snap goes to the last step inside it.
    Case{"SnapStaysInsideTravel", horizontal(100, 107, 2, 4), {0, 100, 107}, 1, 104, 1},
    // No range (a playback slider without a file, a volume range of 0) and no travel: value 0,
    // thumb at the start, no division by zero.
    Case{"ZeroMaximum", horizontal(100, 288, 0, 1), {10, 150, 200}, 0, 200, 1},
    Case{"EmptyTravel", horizontal(100, 100, 47, 4), {5, 100, 130}, 0, 100, 1},
    // The rate slider grows downwards in steps of 14; index 7 stands at 38 + 98.
    Case{"SteppedVerticalGrowsDown", vertical(8, 14), {7, -1, -1}, 7, 136, 0},
    Case{"SteppedVerticalSnaps", vertical(8, 14), {7, 136, 130}, 7, 136, 1},
    // The volume slider grows upwards: full volume at the top, a jump to the middle reads
    // round(56 * 65535 / 112).
    Case{"ContinuousVerticalGrowsUp", vertical(65535, 1), {65535, -1, -1}, 65535, 38, 0},
    Case{"ContinuousVerticalJump", vertical(65535, 1), {0, 94, -1}, 32768, 94, 1},
    Case{"ContinuousVerticalZeroMaximum", vertical(0, 1), {0, -1, -1}, 0, 150, 0}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace orvel
