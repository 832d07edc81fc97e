#pragma once
// The 1-pixel outline a view draws around a top-level window: a closed
// polyline through (3,0), (W-4,0), (W-1,3), (W-1,H-4), (W-4,H-1), (3,H-1),
// (0,H-4), (0,3), so that its corners follow the window's cut corners.
// Black at alpha 110 over what is there.

#include <vector>

#include <windows.h>

class CTwBitmap;

// Every pixel of the outline once, for a W x H client area.
std::vector<POINT> OutlinePixels(int width, int height);

inline constexpr BYTE kOutlineAlpha = 110;

// Darkens the outline pixels of the bitmap (inside `clip` when given).
void BlendOutline(CTwBitmap& bitmap, HRGN clip);
