#pragma once
// A timer that runs in the calling thread's message loops (modal ones too):
// a message-only window whose timer calls `tick` every `periodMs` until Stop
// or destruction. The window points at this object, so the callback's state
// stays with its owner and nothing is shared through globals.

#include <functional>
#include <utility>

#include <windows.h>

namespace testsupport {

class TimerWindow {
public:
    TimerWindow(UINT periodMs, std::function<void()> tick) : m_tick(std::move(tick)) {
        m_window = CreateWindowExW(0, ClassName(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(m_window, kTimer, periodMs, nullptr);
    }
    ~TimerWindow() { DestroyWindow(m_window); }
    TimerWindow(const TimerWindow&) = delete;
    TimerWindow& operator=(const TimerWindow&) = delete;

    void Stop() { KillTimer(m_window, kTimer); }

private:
    static constexpr UINT_PTR kTimer = 1;

    static const wchar_t* ClassName() {
        static const wchar_t* const name = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = &WindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"TestTimerWindow";
            RegisterClassW(&windowClass);
            return windowClass.lpszClassName;
        }();
        return name;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_TIMER && wparam == kTimer) {
            if (auto* self =
                    reinterpret_cast<TimerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
                self->m_tick();
            return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }

    std::function<void()> m_tick;
    HWND m_window = nullptr;
};

} // namespace testsupport
