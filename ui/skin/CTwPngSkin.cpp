#include "ui/skin/CTwPngSkin.h"

#include "ui/skin/TwImagePools.h"

HRESULT CTwPngSkin::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    return ApplyPictureAttribute(m_attributes, kFullPictureAttributes, name, value);
}

int CTwPngSkin::Prepare() {
    if (!m_prepared) {
        const TwImage* image = TwPngPool::Instance().Get(m_attributes.src);
        if (image && !image->IsEmpty() && ImageToBitmap(image->Get(), m_picture.Bitmap())) {
            if (m_attributes.flip)
                m_picture.Mirror();
            m_image = image;
            m_prepared = 1;
        }
    }
    return m_prepared;
}

void CTwPngSkin::Draw(HDC dc, const RECT& rect, int state) {
    if (m_prepared)
        m_picture.Draw(dc, rect, state, m_attributes.slices, true, 255);
}

void CTwPngSkin::DrawPoints(HDC dc, const POINT (&points)[3], const RECT& source) {
    if (!m_prepared)
        return;
    Gdiplus::GpGraphics* graphics = nullptr;
    if (Gdiplus::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok)
        return;
    const Gdiplus::GpPoint corners[3] = {
        {points[0].x, points[0].y}, {points[1].x, points[1].y}, {points[2].x, points[2].y}};
    Gdiplus::GdipDrawImagePointsRectI(graphics, m_image->Get(), corners, 3, source.left, source.top,
                                      source.right - source.left, source.bottom - source.top,
                                      Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    Gdiplus::GdipDeleteGraphics(graphics);
}

void CTwPngSkin::DrawAlpha(HDC dc, POINT at, BYTE alpha) {
    if (m_prepared)
        m_picture.DrawAlpha(dc, at, alpha);
}

void CTwPngSkin::DrawPart(HDC dc, const RECT& destination, const RECT& source) {
    if (m_prepared)
        m_picture.DrawPart(dc, destination, source, 255);
}

void CTwPngSkin::DrawTile(HDC dc, const RECT& rect) {
    if (m_prepared)
        m_picture.DrawTile(dc, rect, 255);
}

void CTwPngSkin::DrawGray(HDC dc, POINT at) {
    if (m_prepared)
        m_picture.DrawGray(dc, at, 255);
}

void CTwPngSkin::DrawMirrored(HDC dc, const RECT& rect) {
    if (!m_prepared)
        return;
    PremultipliedPicture mirrored;
    if (!CopyBitmap(m_picture.Bitmap(), mirrored.Bitmap()))
        return;
    mirrored.Mirror();
    PremultipliedPicture::Run(
        dc, mirrored.Bitmap(),
        Blit{Box{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top},
             Box{0, 0, mirrored.Width(), mirrored.Height()}},
        255);
}

SIZE CTwPngSkin::GetSkinSize() {
    if (!m_prepared)
        return SIZE{0, 0};
    const int w =
        m_attributes.slices.subwidth != 0 ? m_attributes.slices.subwidth : m_picture.Width();
    return SIZE{w, m_picture.Height()};
}

void CTwPngSkin::DrawToGraphics(Gdiplus::GpGraphics* graphics, const RECT& rect, POINT source) {
    if (!m_prepared || !graphics)
        return;
    Gdiplus::GdipDrawImageRectRectI(graphics, m_image->Get(), rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, source.x,
                                    source.y, rect.right - rect.left, rect.bottom - rect.top,
                                    Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
}
