#pragma once
// The PE-format bubble: a layered picture (layout 103) that explains what
// the standard file format is, glued below a pending list. It lives on a
// thread of its own, shows or hides on message 0x0800 (wParam 1 or 0) and
// follows its anchor window every 200 ms; its thread ends when the anchor
// goes.

#include <atomic>

#include "ui/engine/CTwDialogHost.h"

class QPeFormatTipDlg : public CTwDialogImpl<QPeFormatTipDlg> {
public:
    enum { IDD = 103 };
    static constexpr UINT kShowMessage = 0x0800;
    static constexpr UINT_PTR kPlaceTimer = 100;
    static constexpr UINT kPlaceEveryMs = 200;
    // Where the bubble goes from the anchor's window rectangle.
    static constexpr int kOffsetX = 300;
    static constexpr int kOffsetFromBottom = 45;

    QPeFormatTipDlg() { SetShadowEnabled(false); }
    void SetAnchor(HWND anchor) { m_anchor = anchor; }
    // Made over the anchor, not modal.
    HWND Create() { return CreateHostWindow(m_anchor, nullptr); }
    void Start();

protected:
    bool OnDialogMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void Place();
    void Stop();
    void RepaintLayered();

    HWND m_anchor = nullptr;
    bool m_running = false;
    int m_wanted = 0;
    POINT m_last = {-1, -1};
};

// Starts the bubble of `anchor` on its own thread; `window` receives the
// bubble's handle once it exists (and null when it is gone). The thread's
// handle, or null when it could not start.
HANDLE StartPeFormatTipThread(HWND anchor, std::atomic<HWND>* window);
