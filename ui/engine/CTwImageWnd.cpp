#include "ui/engine/CTwImageWnd.h"

#include <cstring>

#include "common/TextConvert.h"
#include "ui/core/TwNotation.h"
#include "common/GdiObjects.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/engine/TwWidgetStates.h"

namespace {

constexpr int kIconSize = 16;

} // namespace

HRESULT CTwImageWnd::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (ApplyIntAttribute(name, value,
                          {{"sub", &m_sub},
                           {"ico", &m_icon},
                           {"ico_top", &m_iconTop},
                           {"caption_top", &m_captionTop}}) == S_OK)
        return S_OK;
    const auto is = [name](const char* known) { return std::strcmp(name, known) == 0; };
    if (is("caption"))
        m_caption = Utf8ToWide(value);
    else if (is("group"))
        m_group.Set(value);
    else if (is("mask"))
        m_mask = value;
    else
        return E_FAIL;
    return S_OK;
}

void CTwImageWnd::OnPaint(HDC dc) {
    PaintPicture(dc, m_sub);
}

void CTwImageWnd::PaintPicture(HDC dc, int picture) {
    const RECT& rect = Rect();
    const auto draw = [this, picture](HDC target, const RECT& at) {
        PaintLayers(target, at, picture);
    };
    if (HighContrastOn())
        DrawAsInk(dc, rect, ContrastPictureColor(), draw);
    else
        draw(dc, rect);
    if (!m_caption.empty()) {
        ScopedTextLook look(dc, ChooseTextLook(MakeTextSubject()));
        RECT area = rect;
        UINT mode = DT_CENTER | DT_SINGLELINE;
        if (m_captionTop >= 0)
            area.top += m_captionTop;
        else
            mode |= DT_BOTTOM;
        DrawTextW(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &area, mode);
    }
}

void CTwImageWnd::PaintLayers(HDC dc, const RECT& rect, int picture) const {
    if (CTwSkinBase* skin = DrawnSkin())
        skin->Draw(dc, rect, picture);
    if (m_icon != 0) {
        // The icon sits centred across, at ico_top or centred down.
        HICON icon =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_icon),
                                          IMAGE_ICON, kIconSize, kIconSize, LR_SHARED));
        if (icon) {
            const int x = (rect.left + rect.right - kIconSize) / 2;
            const int y =
                m_iconTop >= 0 ? rect.top + m_iconTop : (rect.top + rect.bottom - kIconSize) / 2;
            DrawIconEx(dc, x, y, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        }
    }
    if (CTwSkinBase* mask = SkinNamed(m_mask))
        mask->Draw(dc, rect, -1);
}

bool CTwImageBtnWnd::GroupHasChecked() const {
    if (GroupName().empty())
        return false;
    if (Has(kTwChecked))
        return true;
    for (const CTwWindow* other : Group().Others()) {
        if (other->Has(kTwChecked))
            return true;
    }
    return false;
}

bool CTwImageBtnWnd::LitInContrast() const {
    return ButtonLit(EffectiveState());
}

void CTwImageBtnWnd::OnPaint(HDC dc) {
    if (HighContrastOn() && LitInContrast())
        FillSolid(dc, Rect(), ContrastColor(TwContrastInk::Highlight));
    PaintPicture(dc, GroupHasChecked() ? GroupedButtonPicture(State()) : ButtonPicture(State()));
}

void CTwImageBtnWnd::OnLButtonUp(WPARAM keys, POINT point) {
    CTwImageWnd::OnLButtonUp(keys, point);
    if (GroupName().empty())
        return;
    ScopedLock lock(TwElementRegistry::Instance().Lock());
    if (Has(kTwChecked)) {
        ChangeStateWithRepaint(0, kTwChecked);
        return;
    }
    ChangeStateWithRepaint(kTwChecked, 0);
    for (CTwWindow* other : Group().Others()) {
        if (other->Has(kTwChecked))
            other->ChangeStateWithRepaint(0, kTwChecked);
    }
}
