#include "ui/skin/CTwSkinButton.h"

#include <cstring>

#include "common/GdiObjects.h"
#include "ui/core/TwGeometryWin32.h"
#include "ui/core/TwNotation.h"
#include "ui/skin/SkinGradient.h"
#include "ui/skin/SkinSlicing.h"

namespace {

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

} // namespace

HRESULT CTwSkinButton::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    struct Colour {
        const char* name;
        COLORREF* target;
    };
    const Colour colours[] = {{"bg", &m_bg},
                              {"border", &m_border},
                              {"bgup", &m_bgUp},
                              {"bguphover", &m_bgUpHover},
                              {"bguppush", &m_bgUpPush},
                              {"bgdown", &m_bgDown},
                              {"bgdownhover", &m_bgDownHover},
                              {"bgdownpush", &m_bgDownPush}};
    for (const Colour& colour : colours) {
        if (Is(name, colour.name)) {
            *colour.target = ReadColor(value);
            return 0;
        }
    }
    if (Is(name, "useborder")) {
        m_useBorder = ReadDecimal(value) != 0;
        return 0;
    }
    return E_FAIL;
}

void CTwSkinButton::Draw(HDC dc, const RECT& rect, int state) {
    FillSolid(dc, rect, m_bg);
    if (!(state & kStateDisabled)) {
        const bool pushed = state & kStatePushed, hover = state & kStateHover;
        const COLORREF top = pushed ? m_bgUpPush : hover ? m_bgUpHover : m_bgUp;
        const COLORREF bottom = pushed ? m_bgDownPush : hover ? m_bgDownHover : m_bgDown;
        FillGradient(dc, ToRect(ButtonGradientRect(ToTwRect(rect), m_useBorder)), top, bottom,
                     true);
    }
    if (m_useBorder) {
        UniquePen pen(CreatePen(PS_SOLID, 1, m_border));
        ScopedSelect selectPen(dc, pen.Get());
        ScopedSelect selectBrush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}

HRESULT CTwSkinGradation::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (Is(name, "from")) {
        m_from = ReadColor(value);
    } else if (Is(name, "to")) {
        m_to = ReadColor(value);
    } else if (Is(name, "size")) {
        m_size = ReadDecimal(value);
    } else if (Is(name, "direction")) {
        if (Is(value, "horz"))
            m_vertical = false;
        else if (Is(value, "vert"))
            m_vertical = true;
        else
            return E_FAIL;
    } else {
        return E_FAIL;
    }
    return 0;
}

void CTwSkinGradation::Draw(HDC dc, const RECT& rect, int) {
    FillSolid(dc, rect, m_to);
    const int saved = SaveDC(dc);
    UniqueRegion clip(CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom));
    SelectClipRgn(dc, clip.Get());
    FillGradient(dc, ToRect(GradationBand(ToTwRect(rect), m_size, m_vertical)), m_from, m_to,
                 m_vertical);
    RestoreDC(dc, saved);
}
