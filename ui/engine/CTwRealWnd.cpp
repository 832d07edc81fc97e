#include "ui/engine/CTwRealWnd.h"

HWND CTwRealWnd::RealWindow() const {
    return HostWindow() && CommandId() != 0 ? GetDlgItem(HostWindow(), CommandId()) : nullptr;
}

void CTwRealWnd::ShowRealWindows(bool visible) {
    if (HWND real = RealWindow())
        ShowWindow(real, visible ? SW_SHOW : SW_HIDE);
}

void CTwRealWnd::OnWindowPosChanged(const WINDOWPOS& pos) {
    const RECT before = Rect();
    CTwWindow::OnWindowPosChanged(pos);
    const RECT& after = Rect();
    HWND real = RealWindow();
    if (!real || EqualRect(&before, &after))
        return;
    SetWindowPos(real, nullptr, after.left, after.top, after.right - after.left,
                 after.bottom - after.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    TwRealWindowNotify record = {};
    record.itemId = CommandId();
    record.rect = after;
    SendToHost(record, kTwRealWindowMoved);
    if (IsWindowVisible(real)) {
        InvalidateRect(real, nullptr, TRUE);
        SetWindowPos(real, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
}

void CTwRealWnd::OnShowWindow(bool visible) {
    CTwWindow::OnShowWindow(visible);
    if (HWND real = RealWindow())
        ShowWindow(real, visible ? SW_SHOW : SW_HIDE);
}

void CTwRealWnd::OnDestroy() {
    if (HWND real = RealWindow())
        ShowWindow(real, SW_HIDE);
}

int CTwRealWnd::KeyboardStops() const {
    HWND real = RealWindow();
    return real && IsWindowVisible(real) && IsWindowEnabled(real) ? 1 : 0;
}
