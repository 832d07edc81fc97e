#pragma once
// "button": a flat button drawn from colours: background, a vertical
// gradient by hover/pushed state (none when disabled) and a 1-pixel border.
// "gradation": a two-colour gradient band over a fill of its end colour.

#include "ui/skin/CTwSkinBase.h"

class CTwSkinButton : public CTwSkinBase {
public:
    const char* TagName() const override { return "button"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;
    bool IgnoreState() override { return false; }

private:
    COLORREF m_bg = 0xEEEEEE;
    COLORREF m_border = 0x707070;
    COLORREF m_bgUp = 0xEEEEEE;
    COLORREF m_bgUpHover = 0xEEEEEE;
    COLORREF m_bgUpPush = 0xCECECE;
    COLORREF m_bgDown = 0xD6D6D6;
    COLORREF m_bgDownHover = 0xE0E0E0;
    COLORREF m_bgDownPush = 0xC0C0C0;
    bool m_useBorder = true;
};

class CTwSkinGradation : public CTwSkinBase {
public:
    const char* TagName() const override { return "gradation"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;

private:
    COLORREF m_from = static_cast<COLORREF>(-1);
    COLORREF m_to = static_cast<COLORREF>(-1);
    bool m_vertical = false;
    int m_size = 0;
};
