#pragma once
// The PE-format bubble: a layered picture (layout 103) that explains what
// the standard file format is, glued below a pending list. It lives on a
// thread of its own, shows or hides on message 0x0800 (wParam 1 or 0) and
// follows its anchor window every 200 ms; its thread ends when the anchor
// goes.

#include <atomic>
#include <memory>

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

    void SetAnchor(HWND anchor) { m_anchor = anchor; }
    // Made over the anchor, not modal.
    HWND Create() { return CreateHostWindow(m_anchor, nullptr); }
    void Start();

protected:
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void Place();
    void Stop();
    void RepaintLayered();

    HWND m_anchor = nullptr;
    bool m_running = false;
    int m_wanted = 0;
    POINT m_last = {-1, -1};
};

// Where a bubble's thread reports its window: the handle once it exists,
// null when it is gone. The thread owns a share of it, so the slot outlives
// an owner that goes before the thread ends.
using PeTipWindowSlot = std::shared_ptr<std::atomic<HWND>>;
inline PeTipWindowSlot MakePeTipWindowSlot() {
    return std::make_shared<std::atomic<HWND>>(nullptr);
}

// Starts the bubble of `anchor` on its own thread, reporting its window in
// `window`. The thread's handle, or null when it could not start.
HANDLE StartPeFormatTipThread(HWND anchor, PeTipWindowSlot window);
