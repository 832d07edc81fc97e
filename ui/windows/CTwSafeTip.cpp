#include "ui/windows/CTwSafeTip.h"

#include "common/GdiObjects.h"
#include "ui/engine/TwFontPool.h"

namespace {

// A grey panel with an inner panel of class tipbg and the text at 3,2.
const char kLayout[] =
    "<layer><body width=full height=full><dlg pos=\"0,0,-0,-0\" crbg=7f7f7f><dlg "
    "pos=\"1,1,-1,-1\" class=tipbg><text pos=\"3,2\" id=1 /></dlg></dlg></body></layer>";

} // namespace

CTwSafeTip& CTwSafeTip::Instance() {
    static CTwSafeTip tip;
    return tip;
}

SIZE SafeTipSize(const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    RECT extent = {0, 0, 0, 0};
    {
        ScopedSelect font(screen, TwFontPool::Instance().GetFont(0));
        DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT);
    }
    ReleaseDC(nullptr, screen);
    return SIZE{extent.right - extent.left + 7, extent.bottom - extent.top + 9};
}

bool CTwSafeTip::EnsureWindow(HWND owner) {
    if (Hwnd() && IsWindow(Hwnd()))
        return true;
    return LoadLayoutText(kLayout) && CreateHostWindow(owner, nullptr) != nullptr;
}

bool CTwSafeTip::Show(const std::wstring& text, int x, int y, HWND owner) {
    if (!EnsureWindow(owner))
        return false;
    const SIZE size = SafeTipSize(text);
    if (CTwWindow* label = FindById(1)) {
        label->SetText(text);
        View().LayoutSections(); // the label takes the new text's size
    }
    SetWindowPos(Hwnd(), nullptr, x, y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetTimer(Hwnd(), kHideTimer, kHideAfterMs, nullptr);
    m_visible = true;
    return true;
}

void CTwSafeTip::Hide() {
    if (!m_visible)
        return;
    ShowWindow(Hwnd(), SW_HIDE);
    KillTimer(Hwnd(), kHideTimer);
    m_visible = false;
}

bool CTwSafeTip::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT&) {
    if (message == WM_TIMER && wparam == kHideTimer) {
        Hide();
        return true;
    }
    if (message == WM_SIZE && wparam != SIZE_MINIMIZED) {
        // A plain rectangle instead of the cut corners set just before.
        SetWindowRgn(Hwnd(), CreateRectRgn(0, 0, LOWORD(lparam), HIWORD(lparam)), TRUE);
    }
    return false;
}
