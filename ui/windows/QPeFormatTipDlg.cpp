#include "ui/windows/QPeFormatTipDlg.h"

#include <memory>

#include "common/ComApartment.h"
#include "ui/windows/LayeredWindow.h"

void QPeFormatTipDlg::Start() {
    m_running = true;
    Place();
    SetTimer(Hwnd(), kPlaceTimer, kPlaceEveryMs, nullptr);
}

void QPeFormatTipDlg::Stop() {
    if (!m_running)
        return;
    KillTimer(Hwnd(), kPlaceTimer);
    m_running = false;
    PostQuitMessage(0);
}

void QPeFormatTipDlg::Place() {
    if (!IsWindow(m_anchor)) {
        Stop();
        return;
    }
    HWND tip = Hwnd();
    if (m_wanted && IsWindowVisible(m_anchor)) {
        RECT anchor = {};
        GetWindowRect(m_anchor, &anchor);
        const POINT target = {anchor.left + kOffsetX, anchor.bottom - kOffsetFromBottom};
        if (target.x != m_last.x || target.y != m_last.y) {
            m_last = target;
            SetWindowPos(tip, nullptr, target.x, target.y, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            RepaintLayered();
        } else if (!IsWindowVisible(tip)) {
            ShowWindow(tip, SW_SHOWNA);
        }
    } else if (IsWindowVisible(tip)) {
        ShowWindow(tip, SW_HIDE);
    }
}

void QPeFormatTipDlg::RepaintLayered() {
    View().LayoutSections();
    const CTwBitmap& picture = View().Render();
    if (picture.IsEmpty())
        return;
    RECT window = {};
    GetWindowRect(Hwnd(), &window);
    UpdateLayeredFromBitmap(Hwnd(), POINT{window.left, window.top}, picture);
}

bool QPeFormatTipDlg::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM, LRESULT&) {
    switch (message) {
    case WM_INITDIALOG: {
        const LONG style = GetWindowLongW(Hwnd(), GWL_EXSTYLE);
        if (!(style & WS_EX_LAYERED))
            SetWindowLongW(Hwnd(), GWL_EXSTYLE, style | WS_EX_LAYERED);
        View().SetTransparentBackground(true);
        return false;
    }
    case WM_TIMER:
        if (wparam != kPlaceTimer)
            return false;
        Place();
        return true;
    case kShowMessage:
        m_wanted = wparam ? 1 : 0;
        return true;
    case WM_DESTROY:
        Stop();
        return false;
    default:
        return false;
    }
}

namespace {

struct TipThreadStart {
    HWND anchor;
    PeTipWindowSlot window;
};

DWORD WINAPI RunTipThread(void* parameter) {
    const std::unique_ptr<TipThreadStart> start(static_cast<TipThreadStart*>(parameter));
    // Its window hands readers its objects (LresultFromObject marshals
    // them), which needs the thread in an apartment.
    const ComApartment apartment;
    QPeFormatTipDlg tip;
    tip.SetAnchor(start->anchor);
    if (!tip.Create())
        return 1;
    start->window->store(tip.Hwnd());
    tip.Start();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    start->window->store(nullptr);
    if (tip.Hwnd() && IsWindow(tip.Hwnd()))
        DestroyWindow(tip.Hwnd());
    return 0;
}

} // namespace

HANDLE StartPeFormatTipThread(HWND anchor, PeTipWindowSlot window) {
    auto start = std::make_unique<TipThreadStart>(TipThreadStart{anchor, std::move(window)});
    HANDLE thread = CreateThread(nullptr, 0, &RunTipThread, start.get(), 0, nullptr);
    if (thread)
        start.release();
    return thread;
}
