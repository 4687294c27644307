#pragma once

// Face coordinates: pixels of a face at scale 1, origin at the face's top-left corner. The
// layout tables give rectangles as left, top, right, bottom with right and bottom excluded (a
// 72 x 24 button at 380, 247 is 380, 247, 452, 271); here they are kept as origin and size.
//
// Thread contract: plain values, any thread.
namespace orvel::skin {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;

    constexpr bool operator==(const Size&) const = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return x + width; }    // first column outside
    constexpr int bottom() const { return y + height; }  // first row outside
    constexpr Size size() const { return {width, height}; }
    constexpr bool contains(Point p) const {
        return p.x >= x && p.x < right() && p.y >= y && p.y < bottom();
    }
    constexpr bool contains(const Rect& r) const {
        return r.x >= x && r.y >= y && r.right() <= right() && r.bottom() <= bottom();
    }
    constexpr Rect translated(int dx, int dy) const { return {x + dx, y + dy, width, height}; }
    constexpr bool operator==(const Rect&) const = default;
};

// A rectangle given by its edges, as the layout tables give them.
constexpr Rect edges(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

// A rectangle given by its top-left corner and size.
constexpr Rect at(int x, int y, int width, int height) {
    return {x, y, width, height};
}

}  // namespace orvel::skin
