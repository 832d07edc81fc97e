#pragma once
// "imghorzex": a bitmap strip of state sub-images drawn in three parts, the
// column at `left` stretched between a fixed left and right piece.

#include "ui/skin/CTwInnerImageSkin.h"

class CTwSkinImgHorzExtend : public CTwInnerImageSkin {
public:
    const char* TagName() const override { return "imghorzex"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;
    SIZE GetSkinSize() override { return SIZE{0, m_image.BitmapSize().cy}; }

private:
    int m_left = 0;
};
