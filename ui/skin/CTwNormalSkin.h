#pragma once
// "skinpng" and "skinjpg": a premultiplied copy of a picture from TwSkinPool
// (a file below the program's folder, else the resource), drawn like "png"
// with a constant opacity of its own.

#include <string>

#include "ui/skin/CTwSkinBase.h"
#include "ui/skin/PremultipliedPicture.h"
#include "ui/skin/SkinAttributes.h"

class CTwNormalSkin : public CTwSkinBase {
public:
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;
    void DrawAlpha(HDC dc, POINT at, BYTE alpha) override;
    void DrawPart(HDC dc, const RECT& destination, const RECT& source) override;
    void DrawTile(HDC dc, const RECT& rect) override;
    void DrawGray(HDC dc, POINT at) override;
    SIZE GetSkinSize() override;
    bool IgnoreState() override { return m_attributes.slices.subwidth == 0; }
    int Prepare() override;

    int Alpha() const { return m_alpha; }

protected:
    // "png" or "jpg": the resource type of the picture.
    virtual const wchar_t* PictureType() const = 0;

private:
    PictureAttributes m_attributes;
    int m_alpha = 255;
    PremultipliedPicture m_picture;
    std::string m_file;
    std::string m_alphaKey;
};

class CTwNormalPngSkin : public CTwNormalSkin {
public:
    const char* TagName() const override { return "skinpng"; }

protected:
    const wchar_t* PictureType() const override { return L"png"; }
};

class CTwNormalJPGSkin : public CTwNormalSkin {
public:
    const char* TagName() const override { return "skinjpg"; }

protected:
    const wchar_t* PictureType() const override { return L"jpg"; }
};
