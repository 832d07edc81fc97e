#pragma once
// Ends a dialog's modal loop that nothing else ended within a time, so that
// a fault fails the test instead of hanging it: a timer on a message-only
// window of the test's thread, which the loop runs.

#include <windows.h>

#include "ui/engine/CTwDialogHost.h"

namespace testsupport {

class ModalWatchdog {
public:
    ModalWatchdog(CTwDialogHost& dialog, UINT milliseconds) : m_dialog(dialog) {
        m_window = CreateWindowExW(0, ClassName(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(m_window, kTimer, milliseconds, nullptr);
    }
    ~ModalWatchdog() { DestroyWindow(m_window); }
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    // Whether it had to end the loop.
    bool Fired() const { return m_fired; }

private:
    static constexpr UINT_PTR kTimer = 1;

    static const wchar_t* ClassName() {
        static const wchar_t* const name = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = &WindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"TestModalWatchdog";
            RegisterClassW(&windowClass);
            return windowClass.lpszClassName;
        }();
        return name;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_TIMER && wparam == kTimer) {
            KillTimer(window, kTimer);
            if (auto* self =
                    reinterpret_cast<ModalWatchdog*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
                self->m_fired = true;
                self->m_dialog.EndModal(-1);
            }
            return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }

    CTwDialogHost& m_dialog;
    HWND m_window = nullptr;
    bool m_fired = false;
};

} // namespace testsupport
