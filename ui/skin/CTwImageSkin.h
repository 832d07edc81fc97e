#pragma once
// "imglst": a bitmap of TwBmpPool as a strip of sub-images, copied plainly,
// with a transparent mask colour, or alpha-blended. It is also the inner
// image of "imgframe" and "imghorzex", whose pieces follow its mode.

#include <string>
#include <vector>

#include "ui/skin/CTwSkinBase.h"
#include "ui/skin/SkinSlicing.h"

enum class ImageMode { None = 0, Mask = 1, Alpha = 2 };

class CTwImageSkin : public CTwSkinBase {
public:
    const char* TagName() const override { return "imglst"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void Draw(HDC dc, const RECT& rect, int state) override;
    SIZE GetSkinSize() override;
    bool IgnoreState() override { return m_subwidth == 0; }
    int Prepare() override;

    // The bitmap's size (0 x 0 without one).
    SIZE BitmapSize() const;
    int Subwidth() const { return m_subwidth; }
    // Pieces drawn stretched in the skin's mode (alpha draws nothing).
    void DrawPieces(HDC dc, const std::vector<Blit>& pieces) const;

private:
    void CopyPiece(HDC dc, HDC source, const Blit& blit) const;

    HBITMAP m_bitmap = nullptr; // borrowed from the pool
    int m_subwidth = 0;
    ImageMode m_mode = ImageMode::None;
    COLORREF m_maskColor = 0;
    int m_stretchWidth = 0;
    int m_stretchHeight = 0;
    std::string m_src;
};
