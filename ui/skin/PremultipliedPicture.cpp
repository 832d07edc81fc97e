#include "ui/skin/PremultipliedPicture.h"

#include <algorithm>

#include "ui/core/TwGeometryWin32.h"

void PremultipliedPicture::Run(HDC dc, const CTwBitmap& bitmap, const Blit& blit, BYTE alpha) {
    const Box source = ClipSource(blit.src, bitmap.Width(), bitmap.Height());
    if (source.w == 0 || source.h == 0 || blit.dst.w <= 0 || blit.dst.h <= 0)
        return;
    BlendBitmap(dc, blit.dst.x, blit.dst.y, blit.dst.w, blit.dst.h, bitmap, source.x, source.y,
                source.w, source.h, alpha);
}

void PremultipliedPicture::Draw(HDC dc, const RECT& rect, int state, const PictureSlices& slices,
                                bool pngRules, BYTE alpha) const {
    if (m_bitmap.IsEmpty())
        return;
    if (slices.subwidth != 0) {
        Run(dc, m_bitmap,
            SubImageBlit(ToTwRect(rect), Width(), Height(), slices.subwidth, state, true), alpha);
        return;
    }
    for (const Blit& blit : ThreePieceBlits(ToTwRect(rect), Width(), Height(), slices, pngRules))
        Run(dc, m_bitmap, blit, alpha);
}

void PremultipliedPicture::DrawAlpha(HDC dc, POINT at, BYTE alpha) const {
    Run(dc, m_bitmap, Blit{Box{at.x, at.y, Width(), Height()}, Box{0, 0, Width(), Height()}},
        alpha);
}

void PremultipliedPicture::DrawPart(HDC dc, const RECT& d, const RECT& s, BYTE alpha) const {
    Run(dc, m_bitmap,
        Blit{Box{d.left, d.top, d.right - d.left, d.bottom - d.top},
             Box{s.left, s.top, s.right - s.left, s.bottom - s.top}},
        alpha);
}

void PremultipliedPicture::DrawTile(HDC dc, const RECT& rect, BYTE alpha) const {
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    for (int x = rect.left; x + w <= rect.right; x += w) {
        for (int y = rect.top; y + h <= rect.bottom; y += h)
            Run(dc, m_bitmap, Blit{Box{x, y, w, h}, Box{0, 0, w, h}}, alpha);
    }
}

std::uint32_t GrayPixel(std::uint32_t bgra) {
    const std::uint32_t b = bgra & 0xff, g = (bgra >> 8) & 0xff, r = (bgra >> 16) & 0xff;
    const std::uint32_t gray = (30 * r + 59 * g + 11 * b) / 100;
    return (bgra & 0xff000000u) | (gray << 16) | (gray << 8) | gray;
}

void PremultipliedPicture::DrawGray(HDC dc, POINT at, BYTE alpha) {
    if (m_bitmap.IsEmpty())
        return;
    if (!m_grayBuilt && m_gray.Create(Width(), Height())) {
        const std::size_t count = static_cast<std::size_t>(Width()) * Height();
        for (std::size_t i = 0; i < count; ++i)
            m_gray.Bits()[i] = GrayPixel(m_bitmap.Bits()[i]);
        m_grayBuilt = true;
    }
    Run(dc, m_gray, Blit{Box{at.x, at.y, Width(), Height()}, Box{0, 0, Width(), Height()}}, alpha);
}

void PremultipliedPicture::Mirror() {
    for (int y = 0; y < Height(); ++y) {
        std::uint32_t* row = m_bitmap.Bits() + static_cast<std::size_t>(y) * Width();
        std::reverse(row, row + Width());
    }
}
