#include "ui/engine/TwShapeWidgets.h"

#include <algorithm>
#include <cstring>

#include "common/GdiObjects.h"
#include "ui/core/TwNotation.h"

namespace {

// A wider pen or a larger icon than these only costs time and memory.
constexpr int kMaxLineWidth = 64;
constexpr int kMaxIconSize = 256;

} // namespace

int LinePenStyle(const char* name) {
    static const char* const kStyles[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
    for (int i = 0; i < 5; ++i) {
        if (std::strcmp(name, kStyles[i]) == 0)
            return i;
    }
    return -1;
}

HRESULT CTwLine::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (ApplyIntAttribute(name, value, {{"size", &m_width}}) == S_OK) {
        m_width = std::clamp(m_width, 0, kMaxLineWidth);
        return S_OK;
    }
    if (std::strcmp(name, "style") == 0) {
        const int style = LinePenStyle(value);
        if (style < 0)
            return E_FAIL;
        m_penStyle = style;
        return S_OK;
    }
    return E_FAIL;
}

void CTwLine::OnPaint(HDC dc) {
    // The element background is its own or its style's crbg, which is also
    // the line colour; the base has filled nothing for a zero-height rule.
    const COLORREF color = BackgroundColor();
    UniquePen pen(CreatePen(m_penStyle, m_width, color == kNoColor ? 0 : color));
    ScopedSelect selected(dc, pen.Get());
    MoveToEx(dc, Rect().left, Rect().top, nullptr);
    LineTo(dc, Rect().right, Rect().bottom);
}

CTwIconWnd::~CTwIconWnd() {
    DropIcon();
}

void CTwIconWnd::DropIcon() {
    if (m_icon && m_ownsIcon)
        DestroyIcon(m_icon);
    m_icon = nullptr;
    m_ownsIcon = false;
}

HRESULT CTwIconWnd::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    const HRESULT own =
        ApplyIntAttribute(name, value, {{"src", &m_source}, {"oem", &m_oem}, {"size", &m_size}});
    if (own == S_OK) {
        m_size = std::clamp(m_size, 0, kMaxIconSize);
        DropIcon();
    }
    return own;
}

HICON CTwIconWnd::Icon() {
    if (m_icon)
        return m_icon;
    const int size = m_size > 0 ? m_size : GetSystemMetrics(SM_CXICON);
    if (m_source > 0) {
        m_icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_source), IMAGE_ICON, size, size, 0));
        m_ownsIcon = m_icon != nullptr;
    }
    if (!m_icon && m_oem > 0)
        m_icon = static_cast<HICON>(
            LoadImageW(nullptr, MAKEINTRESOURCEW(m_oem), IMAGE_ICON, size, size, LR_SHARED));
    return m_icon;
}

void CTwIconWnd::OnPaint(HDC dc) {
    if (HICON icon = Icon()) {
        const int size = m_size > 0 ? m_size : GetSystemMetrics(SM_CXICON);
        DrawIconEx(dc, Rect().left, Rect().top, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    PaintText(dc);
}

SIZE CTwIconWnd::OnMeasure(bool placing, SIZE offered) {
    if (placing && Pos().count == 4)
        return CTwWindow::OnMeasure(placing, offered);
    if (!Icon())
        return CTwWindow::OnMeasure(placing, offered);
    const int size = m_size > 0 ? m_size : GetSystemMetrics(SM_CXICON);
    return SIZE{size, size};
}
