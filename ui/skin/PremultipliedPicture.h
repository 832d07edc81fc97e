#pragma once
// The drawing shared by the skins that keep a premultiplied copy of their
// picture (png, skinpng, skinjpg): sub-images, three-piece slicing, whole
// image with opacity, parts, tiles and a grey copy built once.

#include <windows.h>

#include "ui/skin/CTwBitmap.h"
#include "ui/skin/SkinSlicing.h"

class PremultipliedPicture {
public:
    CTwBitmap& Bitmap() { return m_bitmap; }
    const CTwBitmap& Bitmap() const { return m_bitmap; }
    bool IsEmpty() const { return m_bitmap.IsEmpty(); }
    int Width() const { return m_bitmap.Width(); }
    int Height() const { return m_bitmap.Height(); }

    // Subwidth set: one sub-image; otherwise the three pieces.
    void Draw(HDC dc, const RECT& rect, int state, const PictureSlices& slices, bool pngRules,
              BYTE alpha) const;
    void DrawAlpha(HDC dc, POINT at, BYTE alpha) const;
    void DrawPart(HDC dc, const RECT& destination, const RECT& source, BYTE alpha) const;
    void DrawTile(HDC dc, const RECT& rect, BYTE alpha) const;
    void DrawGray(HDC dc, POINT at, BYTE alpha);
    // Mirrors the pixels left-right in place.
    void Mirror();

    // Carries out blits from the picture (sources clipped, empty ones skipped).
    static void Run(HDC dc, const CTwBitmap& bitmap, const Blit& blit, BYTE alpha);

private:
    CTwBitmap m_bitmap;
    CTwBitmap m_gray;
    bool m_grayBuilt = false;
};

// (30 R + 59 G + 11 B) / 100 into all three channels, alpha kept.
std::uint32_t GrayPixel(std::uint32_t bgra);
