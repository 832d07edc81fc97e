#include "ui/skin/CTwImageSkin.h"

#include <cstring>

#include "common/GdiObjects.h"
#include "ui/core/TwNotation.h"
#include "ui/skin/TwImagePools.h"

namespace {

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// Copies a piece with one colour transparent: a monochrome mask marks the
// mask-coloured pixels, the colour copy has them blackened, and the
// destination is ANDed with the mask and ORed with the copy.
void MaskedCopy(HDC dc, HDC source, const Blit& blit, COLORREF maskColor) {
    const int w = blit.dst.w, h = blit.dst.h;
    MemoryDC color(dc), mask(dc);
    UniqueBitmap colorBitmap(CreateCompatibleBitmap(dc, w, h));
    UniqueBitmap maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    if (!color || !mask || !colorBitmap || !maskBitmap)
        return;
    ScopedSelect selectColor(color.Get(), colorBitmap.Get());
    ScopedSelect selectMask(mask.Get(), maskBitmap.Get());
    SetStretchBltMode(color.Get(), COLORONCOLOR);
    StretchBlt(color.Get(), 0, 0, w, h, source, blit.src.x, blit.src.y, blit.src.w, blit.src.h,
               SRCCOPY);
    SetBkColor(color.Get(), maskColor);
    BitBlt(mask.Get(), 0, 0, w, h, color.Get(), 0, 0, SRCCOPY); // mask colour -> 1
    SetBkColor(color.Get(), RGB(0, 0, 0));
    SetTextColor(color.Get(), RGB(255, 255, 255));
    BitBlt(color.Get(), 0, 0, w, h, mask.Get(), 0, 0, SRCAND); // masked pixels -> black
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, blit.dst.x, blit.dst.y, w, h, mask.Get(), 0, 0, SRCAND);
    BitBlt(dc, blit.dst.x, blit.dst.y, w, h, color.Get(), 0, 0, SRCPAINT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

} // namespace

HRESULT CTwImageSkin::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (Is(name, "src")) {
        m_src = value;
    } else if (Is(name, "mode")) {
        if (Is(value, "none"))
            m_mode = ImageMode::None;
        else if (Is(value, "mask"))
            m_mode = ImageMode::Mask;
        else if (Is(value, "alpha"))
            m_mode = ImageMode::Alpha;
        else
            return E_FAIL;
    } else if (Is(name, "maskcolor")) {
        m_maskColor = ReadColor(value);
    } else if (Is(name, "subwidth")) {
        m_subwidth = ReadDecimal(value);
    } else if (Is(name, "stretch-x")) {
        m_stretchWidth = ReadDecimal(value);
        return 1;
    } else if (Is(name, "stretch-y")) {
        m_stretchHeight = ReadDecimal(value);
        return 1;
    } else {
        return E_FAIL;
    }
    return 0;
}

int CTwImageSkin::Prepare() {
    if (!m_prepared) {
        m_bitmap = TwBmpPool::Instance().Get(ReadDecimal(m_src.c_str()));
        m_prepared = 1;
    }
    return m_prepared;
}

SIZE CTwImageSkin::BitmapSize() const {
    BITMAP info = {};
    if (!m_bitmap || !GetObjectW(m_bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

SIZE CTwImageSkin::GetSkinSize() {
    if (m_stretchWidth != 0 && m_stretchHeight != 0)
        return SIZE{m_stretchWidth, m_stretchHeight};
    const SIZE size = BitmapSize();
    return SIZE{m_subwidth != 0 ? m_subwidth : size.cx, size.cy};
}

void CTwImageSkin::CopyPiece(HDC dc, HDC source, const Blit& blit) const {
    if (m_mode == ImageMode::Mask) {
        MaskedCopy(dc, source, blit, m_maskColor);
        return;
    }
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, blit.dst.x, blit.dst.y, blit.dst.w, blit.dst.h, source, blit.src.x, blit.src.y,
               blit.src.w, blit.src.h, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

void CTwImageSkin::DrawPieces(HDC dc, const std::vector<Blit>& pieces) const {
    if (!m_bitmap || m_mode == ImageMode::Alpha)
        return;
    MemoryDC source(dc);
    ScopedSelect select(source.Get(), m_bitmap);
    for (const Blit& piece : pieces) {
        if (piece.dst.w > 0 && piece.dst.h > 0 && piece.src.w > 0 && piece.src.h > 0)
            CopyPiece(dc, source.Get(), piece);
    }
}

void CTwImageSkin::Draw(HDC dc, const RECT& rect, int state) {
    if (!m_prepared || !m_bitmap)
        return;
    const SIZE size = BitmapSize();
    const bool whole = state == -1;
    const int sourceX = (!whole && m_subwidth != 0) ? state * m_subwidth : 0;
    const int width = whole ? size.cx : m_subwidth;
    if (m_stretchWidth != 0 && m_stretchHeight != 0) {
        DrawPieces(dc, {Blit{Box{rect.left, rect.top, m_stretchWidth, m_stretchHeight},
                             Box{sourceX, 0, width, size.cy}}});
        return;
    }
    if (m_subwidth == 0 && !whole)
        return;
    const Blit blit{Box{rect.left, rect.top, width, size.cy}, Box{sourceX, 0, width, size.cy}};
    if (m_mode != ImageMode::Alpha) {
        DrawPieces(dc, {blit});
        return;
    }
    MemoryDC source(dc);
    ScopedSelect select(source.Get(), m_bitmap);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, blit.dst.x, blit.dst.y, blit.dst.w, blit.dst.h, source.Get(), blit.src.x,
               blit.src.y, blit.src.w, blit.src.h, blend);
}
