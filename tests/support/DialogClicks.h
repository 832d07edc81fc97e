#pragma once
// Clicks on the elements of a skinned dialog as the mouse makes them: a
// move, a press and a release at the element's centre, sent to its view.
// Header-only: for the test programs that link the UI engine.

#include <windows.h>

#include "ui/engine/CTwDialogHost.h"
#include "ui/engine/CTwWindow.h"

namespace testsupport {

inline void ClickElement(CTwDialogHost& dialog, int id) {
    const RECT rect = dialog.FindById(id)->Rect();
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    HWND view = dialog.View().Hwnd();
    SendMessageW(view, WM_MOUSEMOVE, 0, at);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
}

// The window of the open message box of this process, null when none is
// shown. FindWindowW searches the top-level windows of every process on the
// desktop, and test programs running side by side show boxes of the same
// title: only a box of this process is taken.
inline HWND OpenMessageBoxWindow() {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, nullptr, L"消息对话框")) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(box, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(box))
            return box;
    }
    return nullptr;
}

// The dialog object of a dialog window of this process.
inline CTwDialogHost* DialogOf(HWND dialog) {
    return reinterpret_cast<CTwDialogHost*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// The open message box of this process (its dialog object), null when none
// is shown.
inline CTwDialogHost* OpenMessageBox() {
    HWND box = OpenMessageBoxWindow();
    return box ? DialogOf(box) : nullptr;
}

} // namespace testsupport
