#include "ui/skin/CTwSkinImgFrame.h"

#include <cstring>

#include "common/GdiObjects.h"
#include "ui/core/TwGeometryWin32.h"
#include "ui/core/TwNotation.h"

HRESULT CTwSkinImgFrame::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT shared = CTwInnerImageSkin::ApplyAttribute(name, value, loading);
    if (AttributeTaken(shared))
        return shared;
    if (std::strcmp(name, "crbg") == 0) {
        m_fill = ReadColor(value);
    } else if (std::strcmp(name, "left") == 0) {
        m_left = ReadDecimal(value);
    } else if (std::strcmp(name, "top") == 0) {
        m_top = ReadDecimal(value);
    } else if (std::strcmp(name, "part") == 0) {
        const int mask = FramePartMask(value);
        if (mask < 0)
            return E_FAIL;
        m_parts = mask;
    } else {
        return E_FAIL;
    }
    return 0;
}

void CTwSkinImgFrame::Draw(HDC dc, const RECT& rect, int) {
    if (!m_prepared)
        return;
    const SIZE size = m_image.BitmapSize();
    const FrameLayout layout = FrameBlits(ToTwRect(rect), size.cx, size.cy, m_left, m_top, m_parts);
    m_image.DrawPieces(dc, layout.corners);
    m_image.DrawPieces(dc, layout.edges);
    if (m_fill != static_cast<COLORREF>(-1) && layout.centre.right > layout.centre.left &&
        layout.centre.bottom > layout.centre.top)
        FillSolid(dc, ToRect(layout.centre), m_fill);
}
