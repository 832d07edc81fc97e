#pragma once
// "jpg": a picture of TwJpgPool drawn through GDI+; with left/top it slices
// one large picture among several panels.

#include "ui/skin/CTwSkinBase.h"
#include "ui/skin/SkinAttributes.h"

class TwImage;

class CTwJpgSkin : public CTwSkinBase {
public:
    const char* TagName() const override { return "jpg"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;
    void DrawPart(HDC dc, const RECT& destination, const RECT& source) override;
    void DrawGray(HDC dc, POINT at) override;
    SIZE GetSkinSize() override;
    bool IgnoreState() override { return m_attributes.slices.subwidth == 0; }
    int Prepare() override;

private:
    void Run(HDC dc, const Blit& blit, bool gray) const;

    const TwImage* m_image = nullptr; // borrowed from the pool
    PictureAttributes m_attributes;
};
