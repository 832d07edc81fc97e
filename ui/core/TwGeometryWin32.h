#pragma once
// The platform's RECT and SIZE to and from the plain rectangles of the layout
// and slicing arithmetic. Window coordinates are 32-bit on both sides.

#include <windows.h>

#include "ui/core/TwGeometry.h"

inline TwRect ToTwRect(const RECT& r) {
    return TwRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                  static_cast<int>(r.bottom)};
}
inline RECT ToRect(const TwRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline TwSize ToTwSize(const SIZE& s) {
    return TwSize{static_cast<int>(s.cx), static_cast<int>(s.cy)};
}
inline SIZE ToSize(const TwSize& s) {
    return SIZE{s.cx, s.cy};
}
