#pragma once
// Rectangles and sizes as the layout and slicing arithmetic uses them: plain
// integers in window coordinates, with no platform header. The window code
// converts to the platform's RECT and SIZE where it calls it
// (ui/core/TwGeometryWin32.h).

#include <algorithm>
#include <climits>

struct TwRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct TwSize {
    int cx = 0;
    int cy = 0;
};

inline bool operator==(const TwRect& a, const TwRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const TwSize& a, const TwSize& b) {
    return a.cx == b.cx && a.cy == b.cy;
}

// Arithmetic on layout and slicing numbers, which documents give, is done
// wider and saturates instead of overflowing.
inline int SaturateToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

inline int RectWidth(const TwRect& r) {
    return r.right - r.left;
}
inline int RectHeight(const TwRect& r) {
    return r.bottom - r.top;
}
