#include "ui/engine/TwPictureWidgets.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/GdiObjects.h"
#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "ui/core/TwNotation.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/engine/TwWidgetStates.h"
#include "ui/skin/TwGdiplus.h"
#include "ui/skin/TwImagePools.h"

namespace {

POINT TopLeft(const RECT& rect) {
    return POINT{rect.left, rect.top};
}

// A picture file decoded into a premultiplied bitmap; null when it does not.
std::unique_ptr<CTwBitmap> LoadPictureFile(const std::wstring& path) {
    static GdiplusSession gdiplus;
    Gdiplus::GpImage* image = nullptr;
    if (path.empty() || Gdiplus::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok)
        return nullptr;
    TwImage owned(image);
    auto bitmap = std::make_unique<CTwBitmap>();
    if (!ImageToBitmap(owned.Get(), *bitmap))
        return nullptr;
    return bitmap;
}

} // namespace

HRESULT CTwImageBg::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    return AttributeTaken(base) ? base : ApplyIntAttribute(name, value, {{"fill", &m_fill}});
}

void CTwImageBg::OnPaint(HDC dc) {
    // A background picture: the surface stands for it in high contrast.
    if (CTwSkinBase* skin = DrawnSkin(); skin && !HighContrastOn())
        m_fill ? skin->DrawTile(dc, Rect()) : skin->Draw(dc, Rect(), -1);
    PaintText(dc);
}

HRESULT CTwImageScroll::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    return AttributeTaken(base) ? base
                                : ApplyIntAttribute(name, value,
                                                    {{"hscroll", &m_hscroll},
                                                     {"vscroll", &m_vscroll},
                                                     {"hpos", &m_hpos},
                                                     {"vpos", &m_vpos}});
}

void CTwImageScroll::OnPaint(HDC dc) {
    CTwSkinBase* skin = DrawnSkin();
    if (!skin)
        return;
    const RECT& rect = Rect();
    const SIZE picture = skin->GetSkinSize();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // Without scrolling on an axis the picture is shown whole on it.
    const int x = m_hscroll ? m_hpos : 0;
    const int y = m_vscroll ? m_vpos : 0;
    const RECT source = {x, y, m_hscroll ? x + width : picture.cx,
                         m_vscroll ? y + height : picture.cy};
    skin->DrawPart(dc, rect, source);
}

SIZE CTwImageScroll::OnMeasure(bool placing, SIZE offered) {
    return CTwWindow::OnMeasure(placing, offered);
}

HRESULT CTwImgbtnsized::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "skinmid") == 0) {
        m_skinMid = value;
        return S_OK;
    }
    return ApplyIntAttribute(name, value, {{"left", &m_left}});
}

bool CTwImgbtnsized::LitInContrast() const {
    return ButtonLit(EffectiveState());
}

void CTwImgbtnsized::OnPaint(HDC dc) {
    const RECT& rect = Rect();
    if (HighContrastOn()) {
        PaintContrastButton(dc, rect, EffectiveState());
        PaintText(dc);
        return;
    }
    if (CTwSkinBase* skin = DrawnSkin())
        skin->Draw(dc, rect, ButtonPicture(State()));
    if (CTwSkinBase* middle = SkinNamed(m_skinMid)) {
        const RECT between = {rect.left + m_left, rect.top, rect.right - m_left, rect.bottom};
        if (between.right > between.left)
            middle->Draw(dc, between, ButtonPicture(State()));
    }
    PaintText(dc);
}

SIZE CTwImgbtnsized::OnMeasure(bool placing, SIZE offered) {
    // Stretchable across: only the skin's height replaces the measured one.
    SIZE size = CTwWindow::OnMeasure(placing, offered);
    if (CTwSkinBase* skin = DrawnSkin()) {
        const SIZE picture = skin->GetSkinSize();
        size = SkinSized(size, SIZE{0, picture.cy});
    }
    return size;
}

HRESULT CTwImgGray::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    return AttributeTaken(base) ? base : ApplyIntAttribute(name, value, {{"gray", &m_gray}});
}

void CTwImgGray::OnPaint(HDC dc) {
    CTwSkinBase* skin = DrawnSkin();
    if (!skin)
        return;
    const auto draw = [this, skin](HDC target, const RECT& rect) {
        m_gray ? skin->DrawGray(target, TopLeft(rect)) : skin->Draw(target, rect, -1);
    };
    if (HighContrastOn())
        DrawAsInk(dc, Rect(), ContrastPictureColor(), draw);
    else
        draw(dc, Rect());
}

HRESULT CTwImageEx::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    const HRESULT own = ApplyIntAttribute(name, value, {{"alpha", &m_alpha}});
    m_alpha = std::clamp(m_alpha, 0, 255);
    return own;
}

void CTwImageEx::OnPaint(HDC dc) {
    if (CTwSkinBase* skin = DrawnSkin())
        skin->DrawAlpha(dc, TopLeft(Rect()), static_cast<BYTE>(m_alpha));
}

HRESULT CTwImageRotale::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinnedElement::ApplyAttribute(name, value, loading);
    return AttributeTaken(base) ? base : ApplyIntAttribute(name, value, {{"angle", &m_angle}});
}

void RotatedCorners(const RECT& rect, int width, int height, int degrees, POINT (&corners)[3]) {
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double cx = (rect.left + rect.right) / 2.0;
    const double cy = (rect.top + rect.bottom) / 2.0;
    const double offsets[3][2] = {
        {-width / 2.0, -height / 2.0}, {width / 2.0, -height / 2.0}, {-width / 2.0, height / 2.0}};
    for (int i = 0; i < 3; ++i) {
        const double x = offsets[i][0];
        const double y = offsets[i][1];
        corners[i].x = static_cast<LONG>(std::lround(cx + x * c - y * s));
        corners[i].y = static_cast<LONG>(std::lround(cy + x * s + y * c));
    }
}

void CTwImageRotale::OnPaint(HDC dc) {
    CTwSkinBase* skin = DrawnSkin();
    if (!skin)
        return;
    const SIZE picture = skin->GetSkinSize();
    POINT corners[3];
    RotatedCorners(Rect(), picture.cx, picture.cy, m_angle, corners);
    skin->DrawPoints(dc, corners, RECT{0, 0, picture.cx, picture.cy});
}

HRESULT CTwMemoryImage::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "mempointer") != 0)
        return E_FAIL;
    m_bitmap = reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(std::strtoull(value, nullptr, 0)));
    return S_OK;
}

void CTwMemoryImage::OnPaint(HDC dc) {
    BITMAP info = {};
    if (!m_bitmap || GetObjectType(m_bitmap) != OBJ_BITMAP ||
        !GetObjectW(m_bitmap, sizeof info, &info))
        return;
    MemoryDC source(dc);
    ScopedSelect selected(source.Get(), m_bitmap);
    const RECT& rect = Rect();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               source.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

HRESULT CTwStorageImage::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "filepath") != 0)
        return E_FAIL;
    std::wstring path = Utf8ToWide(value);
    // A relative path is read below the program's folder.
    if (!path.empty() && path.find(L':') == std::wstring::npos && path[0] != L'\\')
        path = GetModuleFolder(nullptr) + L"\\" + path;
    m_picture = LoadPictureFile(path);
    return S_OK;
}

void CTwStorageImage::OnPaint(HDC dc) {
    if (!m_picture)
        return;
    const RECT& rect = Rect();
    BlendBitmap(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, *m_picture,
                0, 0, m_picture->Width(), m_picture->Height(), 255);
}

SIZE CTwStorageImage::OnMeasure(bool placing, SIZE offered) {
    const SIZE measured = CTwWindow::OnMeasure(placing, offered);
    return m_picture ? SkinSized(measured, SIZE{m_picture->Width(), m_picture->Height()})
                     : measured;
}
