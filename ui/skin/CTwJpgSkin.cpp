#include "ui/skin/CTwJpgSkin.h"

#include "ui/core/TwGeometryWin32.h"
#include "ui/skin/TwImagePools.h"

HRESULT CTwJpgSkin::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    return ApplyPictureAttribute(m_attributes, kJpgAttributes, name, value);
}

int CTwJpgSkin::Prepare() {
    if (!m_prepared) {
        m_image = TwJpgPool::Instance().Get(m_attributes.src);
        m_prepared = m_image && !m_image->IsEmpty() ? 1 : 0;
    }
    return m_prepared;
}

void CTwJpgSkin::Run(HDC dc, const Blit& blit, bool gray) const {
    const Box source = ClipSource(blit.src, static_cast<int>(m_image->Width()),
                                  static_cast<int>(m_image->Height()));
    if (source.w == 0 || source.h == 0 || blit.dst.w <= 0 || blit.dst.h <= 0)
        return;
    // A piece copied 1:1 that the picture's edge cuts is drawn as far as the
    // picture goes, not stretched.
    Box destination = blit.dst;
    if (blit.dst.w == blit.src.w)
        destination.w = source.w;
    if (blit.dst.h == blit.src.h)
        destination.h = source.h;
    Gdiplus::GpGraphics* graphics = nullptr;
    if (Gdiplus::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok)
        return;
    Gdiplus::GpImageAttributes* attributes = nullptr;
    if (gray && Gdiplus::GdipCreateImageAttributes(&attributes) == Gdiplus::Ok) {
        // Desaturation with the 30/59/11 weights.
        const Gdiplus::ColorMatrix matrix = {{{0.30f, 0.30f, 0.30f, 0, 0},
                                              {0.59f, 0.59f, 0.59f, 0, 0},
                                              {0.11f, 0.11f, 0.11f, 0, 0},
                                              {0, 0, 0, 1, 0},
                                              {0, 0, 0, 0, 1}}};
        Gdiplus::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeDefault,
                                                   TRUE, &matrix, nullptr,
                                                   Gdiplus::ColorMatrixFlagsDefault);
    }
    Gdiplus::GdipDrawImageRectRectI(graphics, m_image->Get(), destination.x, destination.y,
                                    destination.w, destination.h, source.x, source.y, source.w,
                                    source.h, Gdiplus::UnitPixel, attributes, nullptr, nullptr);
    if (attributes)
        Gdiplus::GdipDisposeImageAttributes(attributes);
    Gdiplus::GdipDeleteGraphics(graphics);
}

void CTwJpgSkin::Draw(HDC dc, const RECT& rect, int state) {
    if (!m_prepared)
        return;
    const int width = static_cast<int>(m_image->Width());
    const int height = static_cast<int>(m_image->Height());
    if (m_attributes.slices.subwidth != 0) {
        Run(dc,
            SubImageBlit(ToTwRect(rect), width, height, m_attributes.slices.subwidth, state, false),
            false);
        return;
    }
    for (const Blit& blit : JpgPieceBlits(ToTwRect(rect), width, m_attributes.slices))
        Run(dc, blit, false);
}

void CTwJpgSkin::DrawPart(HDC dc, const RECT& d, const RECT& s) {
    if (m_prepared)
        Run(dc,
            Blit{Box{d.left, d.top, d.right - d.left, d.bottom - d.top},
                 Box{s.left, s.top, s.right - s.left, s.bottom - s.top}},
            false);
}

void CTwJpgSkin::DrawGray(HDC dc, POINT at) {
    if (!m_prepared)
        return;
    const int width = static_cast<int>(m_image->Width());
    const int height = static_cast<int>(m_image->Height());
    Run(dc, Blit{Box{at.x, at.y, width, height}, Box{0, 0, width, height}}, true);
}

SIZE CTwJpgSkin::GetSkinSize() {
    if (!m_prepared)
        return SIZE{0, 0};
    const int subwidth = m_attributes.slices.subwidth;
    return SIZE{subwidth != 0 ? subwidth : static_cast<int>(m_image->Width()),
                static_cast<int>(m_image->Height())};
}
