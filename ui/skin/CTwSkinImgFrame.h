#pragma once
// "imgframe": a bitmap cut at one column and one row into corners (copied),
// edges (stretched) and a centre (filled with crbg when set).

#include "ui/skin/CTwInnerImageSkin.h"

class CTwSkinImgFrame : public CTwInnerImageSkin {
public:
    const char* TagName() const override { return "imgframe"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;

private:
    int m_left = 0;
    int m_top = 0;
    COLORREF m_fill = static_cast<COLORREF>(-1);
    int m_parts = 47;
};
