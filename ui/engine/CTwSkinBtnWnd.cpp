#include "ui/engine/CTwSkinBtnWnd.h"

#include "ui/engine/TwHighContrast.h"
#include "ui/engine/TwWidgetStates.h"

CTwSkinBase* CTwSkinBtnWnd::DrawnSkin() const {
    return SkinNamed(SkinName().empty() ? Style().skin : SkinName());
}

void CTwSkinBtnWnd::OnPaint(HDC dc) {
    if (HighContrastOn())
        PaintContrastButton(dc, Rect(), EffectiveState());
    else if (CTwSkinBase* skin = DrawnSkin())
        skin->Draw(dc, Rect(), ButtonPicture(State()));
    PaintText(dc);
}

bool CTwSkinBtnWnd::LitInContrast() const {
    return ButtonLit(EffectiveState());
}
