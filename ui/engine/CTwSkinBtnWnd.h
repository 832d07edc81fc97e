#pragma once
// "skinbtn": a push button drawn with its own skin (else its style's) by
// state, with its text over it.

#include "ui/engine/CTwSkinnedElement.h"

class CTwSkinBtnWnd : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "skinbtn"; }
    bool RepaintsOnStateChange() override { return true; }
    bool LitInContrast() const override;
    int KeyboardStops() const override { return 1; }
    long AccessibleRole() const override;
    CTwSkinBase* DrawnSkin() const override;

protected:
    void OnPaint(HDC dc) override;
};
