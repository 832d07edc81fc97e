#pragma once
// "png": a picture of TwPngPool rendered once into the skin's own
// premultiplied bitmap, drawn by sub-image or three-piece slicing.

#include "ui/skin/CTwSkinBase.h"
#include "ui/skin/PremultipliedPicture.h"
#include "ui/skin/SkinAttributes.h"

class TwImage;

class CTwPngSkin : public CTwSkinBase {
public:
    const char* TagName() const override { return "png"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;
    void DrawPoints(HDC dc, const POINT (&points)[3], const RECT& source) override;
    void DrawAlpha(HDC dc, POINT at, BYTE alpha) override;
    void DrawPart(HDC dc, const RECT& destination, const RECT& source) override;
    void DrawTile(HDC dc, const RECT& rect) override;
    void DrawGray(HDC dc, POINT at) override;
    void DrawMirrored(HDC dc, const RECT& rect) override;
    SIZE GetSkinSize() override;
    bool IgnoreState() override { return m_attributes.slices.subwidth == 0; }
    int Prepare() override;
    void DrawToGraphics(Gdiplus::GpGraphics* graphics, const RECT& rect, POINT source) override;

private:
    const TwImage* m_image = nullptr; // borrowed from the pool
    PictureAttributes m_attributes;
    PremultipliedPicture m_picture;
};
