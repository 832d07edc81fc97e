#include "ui/engine/TwProgressWidgets.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/GdiObjects.h"
#include "common/TextConvert.h"
#include "ui/engine/CTwSkinnedElement.h"
#include "ui/engine/TwWidgetStates.h"

namespace {

constexpr COLORREF kTrackColor = RGB(0xE4, 0xE8, 0xEE);
constexpr COLORREF kFillColor = RGB(0x2D, 0x7D, 0xD2);
constexpr int kThumbWidth = 8;

// A skin over the rectangle when it exists, else a plain fill.
void DrawPart(HDC dc, const std::string& skinName, const RECT& rect, COLORREF fallback) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    if (CTwSkinBase* skin = SkinNamed(skinName))
        skin->Draw(dc, rect, -1);
    else
        FillSolid(dc, rect, fallback);
}

} // namespace

HRESULT CTwProgress::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "bgskin") == 0)
        m_bgSkin = value;
    else if (std::strcmp(name, "posskin") == 0)
        m_posSkin = value;
    else
        return ApplyIntAttribute(name, value,
                                 {{"skinposx", &m_skinPosX},
                                  {"min", &m_min},
                                  {"max", &m_max},
                                  {"value", &m_value},
                                  {"showpercent", &m_showPercent},
                                  {"progressbar", &m_progressBar}});
    return S_OK;
}

int CTwProgress::Percent() const {
    return PercentOf(m_value, m_min, m_max);
}

std::wstring CTwProgress::PercentText() const {
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", Percent());
    return Utf8ToWide(text);
}

void CTwProgress::OnPaint(HDC dc) {
    const RECT& rect = Rect();
    const COLORREF background = BackgroundColor();
    DrawPart(dc, m_bgSkin, rect, background != kNoColor ? background : kTrackColor);
    RECT filled = rect;
    filled.left += m_skinPosX;
    filled.right = filled.left + FilledWidth(rect.right - filled.left, Percent());
    DrawPart(dc, m_posSkin, filled, kFillColor);
    if (m_showPercent) {
        const std::wstring text = PercentText();
        ScopedTextLook look(dc, ChooseTextLook(MakeTextSubject()));
        RECT area = rect;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    PaintText(dc);
}

HRESULT CTwProgressEx::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwProgress::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "extendtext") == 0) {
        m_extendText = Utf8ToWide(value);
        return S_OK;
    }
    return ApplyIntAttribute(name, value, {{"posimg_left", &m_posImageLeft}});
}

std::wstring CTwProgressEx::PercentText() const {
    return CTwProgress::PercentText() + m_extendText;
}

HRESULT TwSlider::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    HRESULT own = S_OK;
    if (std::strcmp(name, "skinbg") == 0)
        m_skinBg = value;
    else if (std::strcmp(name, "skin") == 0)
        m_skinThumb = value;
    else
        own = ApplyIntAttribute(name, value,
                                {{"sliderpos", &m_pos},
                                 {"bgleftmargin", &m_margins[0]},
                                 {"bgrightmargin", &m_margins[1]},
                                 {"bgtopmargin", &m_margins[2]},
                                 {"bgbottommargin", &m_margins[3]}});
    m_pos = std::clamp(m_pos, 0, 100);
    return own;
}

RECT TwSlider::Track() const {
    const RECT& rect = Rect();
    return RECT{rect.left + m_margins[0], rect.top + m_margins[2], rect.right - m_margins[1],
                rect.bottom - m_margins[3]};
}

int SliderPosAt(const RECT& track, int x) {
    const int width = track.right - track.left;
    return width <= 0 ? 0 : PercentOf(x - track.left, 0, width);
}

void TwSlider::OnPaint(HDC dc) {
    const RECT track = Track();
    const COLORREF background = BackgroundColor();
    DrawPart(dc, m_skinBg, track, background != kNoColor ? background : kTrackColor);
    const int center = track.left + FilledWidth(track.right - track.left, m_pos);
    const RECT thumb = {center - kThumbWidth / 2, Rect().top, center + kThumbWidth / 2,
                        Rect().bottom};
    if (CTwSkinBase* skin = SkinNamed(m_skinThumb))
        skin->Draw(dc, thumb, ButtonPicture(State()));
    else
        FillSolid(dc, thumb, kFillColor);
}

void TwSlider::MoveTo(int x) {
    const int pos = SliderPosAt(Track(), x);
    if (pos != m_pos) {
        m_pos = pos;
        RequestRepaint();
    }
}

void TwSlider::OnLButtonDown(WPARAM keys, POINT point) {
    CTwWindow::OnLButtonDown(keys, point);
    MoveTo(point.x);
}

void TwSlider::OnMouseMove(WPARAM keys, POINT point) {
    CTwWindow::OnMouseMove(keys, point);
    if (Has(kTwPushed))
        MoveTo(point.x);
}
