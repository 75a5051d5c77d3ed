#pragma once
// Rectangles and sizes in pixels.

namespace quotamin {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// What GetObject tells of a bitmap.
struct BitmapInfo {
    int bmWidth = 0;
    int bmHeight = 0;
};

}  // namespace quotamin
