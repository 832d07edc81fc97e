#include "ui/engine/CTwDialogHost.h"

#include <algorithm>
#include <atomic>

#include "common/TextConvert.h"
#include "ui/engine/TwLayoutDocument.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/skin/TwResourceLocator.h"

// The layouts' window styles are the platform's.
static_assert(kWsPopup == WS_POPUP && kWsChild == WS_CHILD && kWsClipSiblings == WS_CLIPSIBLINGS &&
              kWsClipChildren == WS_CLIPCHILDREN && kWsSysMenu == WS_SYSMENU &&
              kWsThickFrame == WS_THICKFRAME && kWsMinimizeBox == WS_MINIMIZEBOX &&
              kWsMaximizeBox == WS_MAXIMIZEBOX);
static_assert(kWsExTopmost == WS_EX_TOPMOST && kWsExToolWindow == WS_EX_TOOLWINDOW &&
              kWsExWindowEdge == WS_EX_WINDOWEDGE && kWsExClientEdge == WS_EX_CLIENTEDGE &&
              kWsExControlParent == WS_EX_CONTROLPARENT && kWsExAppWindow == WS_EX_APPWINDOW);

namespace {

// Passes a change of the system colours on to a real window inside.
BOOL CALLBACK TellOfColourChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

const wchar_t kHostClass[] = L"TwDialogHost";
constexpr UINT kHideQuietly =
    SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE; // 0x97

std::atomic<HWND> g_currentModal{nullptr};

bool IsKeyOrMouse(UINT message) {
    return (message >= WM_KEYFIRST && message <= 0x0109) ||
           (message >= WM_MOUSEFIRST && message <= 0x020D);
}

bool Shadowed(UINT message) {
    switch (message) {
    case WM_SHOWWINDOW:
    case WM_DESTROY:
    case WM_MOVE:
    case WM_SIZE:
    case WM_PAINT:
    case WM_MOVING:
    case WM_EXITSIZEMOVE:
        return true;
    default:
        return false;
    }
}

using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

// Visual themes off for the window, when the platform has them.
void SwitchThemesOff(HWND hwnd) {
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    const auto set = uxtheme ? reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(
                                   GetProcAddress(uxtheme, "SetWindowTheme")))
                             : nullptr;
    if (set)
        set(hwnd, L"", L"");
}

bool RegisterHostClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kHostClass;
        return RegisterClassExW(&wc);
    }();
    return atom != 0;
}

MONITORINFO MonitorInfoOf(HWND hwnd) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info;
}

} // namespace

CTwDialogHost::~CTwDialogHost() {
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

HWND CTwDialogHost::CurrentModalWindow() {
    return g_currentModal.load();
}

bool CTwDialogHost::LoadLayoutResource(int id) {
    const std::vector<std::string> copies = TwResourceLocator::Instance().GatherDocument(id);
    return !copies.empty() && m_view.LoadLayoutText(copies.front());
}

HWND CTwDialogHost::CreateHostWindow(HWND owner, const RECT* rect) {
    const TwWindowStyle* style = &m_view.WindowStyle();
    if (!style->layoutLoaded && !LoadLayoutResource(LayoutResourceId()))
        return nullptr;
    style = &m_view.WindowStyle();
    if (!RegisterHostClass(&CTwDialogHost::WindowProc))
        return nullptr;
    RECT area = rect ? *rect : RECT{0, 0, 0, 0};
    if (area.right - area.left < style->minWidth)
        area.right = area.left + style->minWidth;
    if (area.bottom - area.top < style->minHeight)
        area.bottom = area.top + style->minHeight;
    HWND hwnd =
        CreateWindowExW(style->exStyle, kHostClass, Utf8ToWide(style->title).c_str(), style->style,
                        area.left, area.top, area.right - area.left, area.bottom - area.top, owner,
                        nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd)
        return nullptr;
    if (m_shadow && !style->IsChild())
        m_shadow->Create(hwnd);
    SwitchThemesOff(hwnd);

    const RECT client = {0, 0, area.right - area.left, area.bottom - area.top};
    m_view.Create(hwnd, rect ? &client : nullptr);
    // As the platform's dialogs: the focus cue shows once the keyboard is
    // used, unless the user asked to see it always.
    BOOL alwaysCues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysCues, 0);
    if (!alwaysCues)
        SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                     0);
    SendMessageW(hwnd, WM_INITDIALOG, 0, 0);
    if (m_hWnd != hwnd || !m_hWnd)
        return m_hWnd;
    // The real windows the dialog made show only where their places do.
    m_view.ShowRealWindows();
    m_view.LayoutSections();
    if (style->width > 0 && style->height > 0)
        SetWindowPos(m_hWnd, nullptr, 0, 0, style->width, style->height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A window made at its final size got no WM_SIZE since the view exists:
    // the view is sized here, so the layout (and the real windows the
    // dialog made in WM_INITDIALOG) take their places.
    RECT window = {};
    RECT view = {};
    GetClientRect(m_hWnd, &window);
    GetClientRect(m_view.Hwnd(), &view);
    if (!EqualRect(&window, &view))
        MoveWindow(m_view.Hwnd(), 0, 0, window.right, window.bottom, TRUE);
    return m_hWnd;
}

INT_PTR CTwDialogHost::RunModal(HWND owner, const RECT* rect) {
    if (!owner)
        owner = CurrentModalWindow();
    if (!owner)
        owner = GetActiveWindow();
    bool reenable = false;
    if (owner && owner != GetDesktopWindow() && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        reenable = true;
    }
    m_endModal = false;
    if (!CreateHostWindow(owner, rect)) {
        if (reenable)
            EnableWindow(owner, TRUE);
        return 0;
    }
    const HWND previousModal = g_currentModal.exchange(m_hWnd);
    if (!rect)
        CenterOn(owner);
    if (m_foreground)
        BringToForeground();

    MSG message;
    while (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) && !m_endModal &&
           m_hWnd && IsWindow(m_hWnd)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0)
            break;
        if (!PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    m_endModal = false;
    const bool wasActive = m_hWnd && GetActiveWindow() == m_hWnd;
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kHideQuietly);
    if (reenable) {
        EnableWindow(owner, TRUE);
        if (wasActive)
            SetActiveWindow(owner);
    }
    g_currentModal.store(previousModal);
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    return m_result;
}

void CTwDialogHost::EndModal(INT_PTR result) {
    m_result = result;
    m_endModal = true;
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void CTwDialogHost::CenterOn(HWND owner) {
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const RECT work = MonitorInfoOf(m_hWnd).rcWork;
    RECT around = work;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &around);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTwDialogHost::BringToForeground() {
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    const DWORD mine = GetCurrentThreadId();
    HWND foreground = GetForegroundWindow();
    const DWORD theirs = foreground ? GetWindowThreadProcessId(foreground, nullptr) : mine;
    const bool attach = theirs != mine && AttachThreadInput(mine, theirs, TRUE);
    SetForegroundWindow(m_hWnd);
    if (attach)
        AttachThreadInput(mine, theirs, FALSE);
}

bool CTwDialogHost::PreTranslateMessage(MSG& message) {
    if (!m_hWnd || !IsKeyOrMouse(message.message))
        return false;
    // The keyboard's way through the layout comes first: Tab and the
    // tab-switching keys wherever the focus is, the keys on a drawn stop.
    if ((message.hwnd == m_hWnd || IsChild(m_hWnd, message.hwnd)) && IsWindowEnabled(m_hWnd) &&
        m_view.Focus().OnKey(message))
        return true;
    HWND focus = GetFocus();
    HWND view = m_view.Hwnd();
    if (focus && view && IsChild(view, focus)) {
        HWND child = focus;
        while (child && GetParent(child) != view)
            child = GetParent(child);
        if (child &&
            SendMessageW(child, kTwPreTranslate, 0, reinterpret_cast<LPARAM>(&message)) == 1)
            return true;
    }
    // Esc and Enter reach the host's own keyboard handling wherever the
    // focus is inside the dialog.
    if (message.message == WM_KEYDOWN &&
        (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN) &&
        (message.hwnd == m_hWnd || IsChild(m_hWnd, message.hwnd))) {
        SendMessageW(m_hWnd, WM_KEYDOWN, message.wParam, message.lParam);
        return true;
    }
    return IsDialogMessageW(m_hWnd, &message) != FALSE;
}

LRESULT CALLBACK CTwDialogHost::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* host =
            static_cast<CTwDialogHost*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        host->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* self = reinterpret_cast<CTwDialogHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wparam, lparam);
    const LRESULT result = self->Dispatch(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

LRESULT CTwDialogHost::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        if (header && header->idFrom == kTwViewControlId && OnViewNotify(*header, result))
            return result;
    }
    if (m_shadow && Shadowed(message))
        m_shadow->HostMessage(m_hWnd, message, wparam, lparam);
    if (HostMessage(message, wparam, lparam, result))
        return result;
    OnFrameMessage(message, wparam, lparam);
    if (ProcessWindowMessage(message, wparam, lparam, result))
        return result;
    return DefWindowProcW(m_hWnd, message, wparam, lparam);
}

void CTwDialogHost::SendClick(int itemId) {
    TwItemNotify record = {};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = kTwViewControlId;
    record.hdr.code = kTwClick;
    record.itemId = itemId;
    SendMessageW(m_hWnd, WM_NOTIFY, kTwViewControlId, reinterpret_cast<LPARAM>(&record));
}

LRESULT CTwDialogHost::OnNcCalcSize(WPARAM wparam, LPARAM lparam) {
    if (!wparam)
        return DefWindowProcW(m_hWnd, WM_NCCALCSIZE, wparam, lparam);
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam);
    const TwWindowStyle& style = m_view.WindowStyle();
    RECT rect = params->rgrc[1]; // the window's previous rectangle
    if (style.IsChild())
        rect = params->rgrc[0];
    const WINDOWPOS* pos = params->lppos;
    if (pos && (pos->flags & SWP_NOSIZE))
        return 0;
    int x = rect.left, y = rect.top;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (pos) {
        if (!(pos->flags & SWP_NOMOVE)) {
            x = pos->x;
            y = pos->y;
        }
        width = pos->cx;
        height = pos->cy;
    }
    width = std::max(width, style.minWidth);
    height = std::max(height, style.minHeight);
    if (style.holdSize && style.width > 0 && style.height > 0) {
        width = style.width;
        height = style.height;
    }
    params->rgrc[0] = RECT{x, y, x + width, y + height};
    return 0;
}

void CTwDialogHost::OnGetMinMaxInfo(MINMAXINFO& info) const {
    const TwWindowStyle& style = m_view.WindowStyle();
    const MONITORINFO monitor = MonitorInfoOf(m_hWnd);
    if (style.resizable) {
        info.ptMaxSize.x = monitor.rcWork.right - monitor.rcWork.left;
        info.ptMaxSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
        info.ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
        info.ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
    } else {
        info.ptMaxSize.x = style.width;
        info.ptMaxSize.y = style.height;
        info.ptMaxPosition.x = 0;
        info.ptMaxPosition.y = 0;
    }
    info.ptMaxTrackSize = info.ptMaxSize;
}

void CTwDialogHost::OnSize(WPARAM wparam, LPARAM lparam) {
    if (wparam == SIZE_MINIMIZED)
        return;
    const bool maximized = wparam == SIZE_MAXIMIZED;
    if (!maximized || m_view.WindowStyle().resizable) {
        if (m_view.Hwnd())
            MoveWindow(m_view.Hwnd(), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        return;
    }
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) & ~WS_MAXIMIZE);
    CenterOn(nullptr);
}

void CTwDialogHost::OnMouseWheel(WPARAM wparam, LPARAM lparam) {
    const POINT point = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    HWND under = WindowFromPoint(point);
    if (!under)
        return;
    const int code = static_cast<short>(HIWORD(wparam)) > 0 ? SB_PAGEUP : SB_PAGEDOWN;
    const int position = GetScrollPos(under, SB_VERT);
    SendMessageW(under, WM_VSCROLL, MAKEWPARAM(code, position), 0);
}

bool CTwDialogHost::HostMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    const TwWindowStyle& style = m_view.WindowStyle();
    switch (message) {
    case WM_NCACTIVATE:
        result = TRUE;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_NCCALCSIZE:
        result = OnNcCalcSize(wparam, lparam);
        return true;
    case WM_WINDOWPOSCHANGING:
        if (style.holdSize && style.width > 0 && style.height > 0) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
            pos->cx = style.width;
            pos->cy = style.height;
        }
        return false;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lparam));
        return true;
    case WM_SIZE:
        OnSize(wparam, lparam);
        return false; // the corner helper and the dialog see it too
    case WM_KEYDOWN:
        if (IsWindowEnabled(m_hWnd) && GetKeyState(VK_CONTROL) >= 0) {
            if (wparam == VK_ESCAPE)
                SendMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
            else if (wparam == VK_RETURN)
                SendMessageW(m_hWnd, WM_COMMAND, IDOK, 0);
        }
        return true;
    case WM_CLOSE:
        SendMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return true;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wparam, lparam);
        result = 1;
        return true;
    case WM_SETFOCUS:
        if (m_view.Hwnd())
            SetFocus(m_view.Hwnd());
        return true;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // High contrast on or off, or its colours changed: all drawn again.
        if (message == WM_SYSCOLORCHANGE || wparam == SPI_SETHIGHCONTRAST) {
            RefreshHighContrast();
            // Real windows inside (the lists) hear of it only from their dialog.
            EnumChildWindows(m_hWnd, &TellOfColourChange, 0);
            m_view.RequestFullRedraw();
            RedrawWindow(m_hWnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        return false;
    case WM_GETOBJECT:
        // Readers ask the dialog's window first: it is named by its title.
        result = m_view.AnswerGetObject(wparam, lparam);
        return result != 0;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            SendClick(LOWORD(wparam) == IDOK ? 1 : 2);
            return true;
        }
        return false;
    default:
        return false;
    }
}
