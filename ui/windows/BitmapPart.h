#pragma once
// Drawing a part of a bitmap, as the list and its header draw their pieces.

#include <windows.h>

#include "common/GdiObjects.h"

// A part of a bitmap copied (or stretched) to a rectangle.
inline void DrawBitmapPart(HDC dc, HBITMAP bitmap, const RECT& to, int x, int y, int width,
                           int height) {
    if (!bitmap)
        return;
    MemoryDC source(dc);
    ScopedSelect selected(source.Get(), bitmap);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.Get(), x, y,
               width, height, SRCCOPY);
}
