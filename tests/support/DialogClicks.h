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

// The open message box of the process (its dialog object), null when none
// is shown.
inline CTwDialogHost* OpenMessageBox() {
    HWND box = FindWindowW(nullptr, L"消息对话框");
    if (!box || !IsWindowVisible(box))
        return nullptr;
    return reinterpret_cast<CTwDialogHost*>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

} // namespace testsupport
