#include "ui/windows/CShadowWnd.h"

#include "common/GdiObjects.h"
#include "ui/skin/CTwBitmap.h"
#include "ui/skin/TwSkinRegistry.h"
#include "ui/windows/LayeredWindow.h"

namespace {

const wchar_t kClassName[] = L"TwShadowWndClass";

bool RegisterOnce() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom != 0;
}

bool IsEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

} // namespace

void ShadowParts(int w, int h, SIZE skin, ShadowPart (&parts)[8]) {
    const LONG sw = skin.cx;
    const LONG sh = skin.cy;
    const LONG a = (sw - 2) / 2;
    parts[0] = {{0, 0, a, a}, {0, 0, a, a}};
    parts[1] = {{w - a, 0, w, a}, {sw - a, 0, sw, 9}};
    parts[2] = {{0, h - a, a, h}, {0, sh - a, a, sh}};
    parts[3] = {{w - a, h - a, w, h}, {sw - a, sh - a, sw, sh}};
    parts[4] = {{a, 0, w - a, a}, {a, 0, a + 1, a}};
    parts[5] = {{a, h - a, w - a, h}, {a, sh - a, a + 1, sh}};
    parts[6] = {{0, a, a, h - a}, {0, a, a, a + 1}};
    parts[7] = {{w - a, a, w, h - a}, {sw - a, a, sw, a + 1}};
}

CShadowWnd::~CShadowWnd() {
    Destroy();
}

void CShadowWnd::Create(HWND host) {
    if (m_created || !RegisterOnce())
        return;
    if (!m_shadow)
        m_shadow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kClassName, nullptr,
                                   WS_POPUPWINDOW, CW_USEDEFAULT, 0, 0, 0, host, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    if (!m_host)
        m_host = host;
    m_state = kCreated;
    m_created = true;
}

void CShadowWnd::Destroy() {
    if (m_shadow && IsWindow(m_shadow)) {
        ShowWindow(m_shadow, SW_HIDE);
        DestroyWindow(m_shadow);
    }
    m_shadow = nullptr;
    m_host = nullptr;
    m_moving = false;
    m_created = false;
    m_state = 0;
    m_showPending = false;
}

void CShadowWnd::Hide() {
    if (m_shadow)
        ShowWindow(m_shadow, SW_HIDE);
    m_state &= static_cast<BYTE>(~kShown);
}

void CShadowWnd::ShowRebuilt() {
    Rebuild();
    if (m_shadow)
        ShowWindow(m_shadow, SW_SHOWNA);
}

void CShadowWnd::Rebuild() {
    if (!m_shadow || !m_host)
        return;
    RECT host = {};
    GetWindowRect(m_host, &host);
    const int width = host.right - host.left + 2 * kShadowMargin;
    const int height = host.bottom - host.top + 2 * kShadowMargin;
    CTwBitmap pixels;
    if (!pixels.Create(width, height))
        return;
    if (CTwSkinBase* skin = GetSkin("dlg_shadow")) {
        MemoryDC dc(nullptr);
        ScopedSelect selected(dc.Get(), pixels.Handle());
        ShadowPart parts[8];
        ShadowParts(width, height, skin->GetSkinSize(), parts);
        for (const ShadowPart& part : parts)
            skin->DrawPart(dc.Get(), part.destination, part.source);
    }
    const POINT position = {host.left - kShadowMargin, host.top - kShadowMargin};
    UpdateLayeredFromBitmap(m_shadow, position, pixels);
    // The window itself takes the place, so it follows even where layered
    // updates do not move it.
    SetWindowPos(m_shadow, m_host, position.x, position.y, width, height,
                 SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CShadowWnd::ReevaluateVisibility() {
    m_state &= kCreated;
    const LONG style = GetWindowLongW(m_host, GWL_STYLE);
    if (style & WS_VISIBLE) {
        m_state |= kHostVisible;
        if (!(style & WS_MINIMIZE))
            m_state |= kShown;
    }
    if (m_state & kShown)
        ShowRebuilt();
    else
        Hide();
}

bool CShadowWnd::HostMessage(HWND host, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!m_created || host != m_host)
        return false;
    RECT rect = {};
    switch (message) {
    case WM_MOVE:
        if (!m_moving && IsShown()) {
            GetWindowRect(m_host, &rect);
            if (IsEmpty(rect))
                Hide();
            else
                SetWindowPos(m_shadow, nullptr, rect.left - kShadowMargin, rect.top - kShadowMargin,
                             0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
        }
        return true;
    case WM_SIZE:
        GetWindowRect(m_host, &rect);
        if (wparam == SIZE_MINIMIZED || IsEmpty(rect)) {
            Hide();
        } else if (GetWindowLongW(m_host, GWL_STYLE) & WS_VISIBLE) {
            m_state |= kHostVisible;
            if (IsShown()) {
                if (lparam != m_lastSize)
                    m_repaintPending = true;
            } else {
                m_state |= kShown;
                ShowRebuilt();
            }
        }
        m_lastSize = lparam;
        return true;
    case WM_PAINT:
        if (!m_moving && m_showPending) {
            m_showPending = false;
            m_repaintPending = false;
            ReevaluateVisibility();
        } else if (!m_moving && m_repaintPending) {
            Rebuild();
            m_repaintPending = false;
        }
        return true;
    case WM_SHOWWINDOW:
        if (!wparam) {
            Hide();
            m_state &= static_cast<BYTE>(~kHostVisible);
        } else {
            // The host is not visible yet; its first paint shows the shadow
            // (a show without a size change brings no WM_SIZE).
            m_showPending = true;
        }
        return true;
    case WM_MOVING:
        if (!m_moving) {
            Hide();
            m_moving = true;
        }
        return true;
    case WM_EXITSIZEMOVE:
        if (m_moving) {
            ReevaluateVisibility();
            m_moving = false;
        } else if (IsShown()) {
            Rebuild();
        }
        return true;
    case WM_DESTROY:
        Destroy();
        return true;
    default:
        return false;
    }
}
