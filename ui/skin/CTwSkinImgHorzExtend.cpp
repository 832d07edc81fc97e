#include "ui/skin/CTwSkinImgHorzExtend.h"

#include <cstring>

#include "ui/core/TwGeometryWin32.h"
#include "ui/core/TwNotation.h"

HRESULT CTwSkinImgHorzExtend::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT shared = CTwInnerImageSkin::ApplyAttribute(name, value, loading);
    if (AttributeTaken(shared))
        return shared;
    if (std::strcmp(name, "left") == 0) {
        m_left = ReadDecimal(value);
        return 0;
    }
    return E_FAIL;
}

void CTwSkinImgHorzExtend::Draw(HDC dc, const RECT& rect, int state) {
    if (!m_prepared)
        return;
    const SIZE size = m_image.BitmapSize();
    m_image.DrawPieces(dc, HorzExtendBlits(ToTwRect(rect), size.cx, size.cy, m_image.Subwidth(),
                                           m_left, HorzExtendSubImage(state)));
}
