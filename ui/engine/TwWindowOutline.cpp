#include "ui/engine/TwWindowOutline.h"

#include <cstdint>

#include "ui/skin/CTwBitmap.h"

namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

} // namespace

std::vector<POINT> OutlinePixels(int width, int height) {
    std::vector<POINT> pixels;
    if (width < 8 || height < 8)
        return pixels;
    const int w = width;
    const int h = height;
    const POINT corners[] = {{3, 0},         {w - 4, 0}, {w - 1, 3}, {w - 1, h - 4},
                             {w - 4, h - 1}, {3, h - 1}, {0, h - 4}, {0, 3}};
    // Each segment is horizontal, vertical or at 45 degrees; its last pixel
    // is the next segment's first.
    for (int i = 0; i < 8; ++i) {
        const POINT from = corners[i];
        const POINT to = corners[(i + 1) % 8];
        const int dx = Sign(to.x - from.x);
        const int dy = Sign(to.y - from.y);
        for (POINT p = from; p.x != to.x || p.y != to.y; p.x += dx, p.y += dy)
            pixels.push_back(p);
    }
    return pixels;
}

void BlendOutline(CTwBitmap& bitmap, HRGN clip) {
    GdiFlush();
    constexpr unsigned keep = 255 - kOutlineAlpha;
    for (const POINT& p : OutlinePixels(bitmap.Width(), bitmap.Height())) {
        if (clip && !PtInRegion(clip, p.x, p.y))
            continue;
        const std::uint32_t pixel = bitmap.GetPixel(p.x, p.y);
        std::uint32_t blended = pixel & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
            blended |= (((pixel >> shift) & 0xFFu) * keep / 255) << shift;
        bitmap.SetPixel(p.x, p.y, blended);
    }
}
