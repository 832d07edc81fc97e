#pragma once
// The base of the engine's real windows: registers the derived class's
// window class once, creates the window with the object as its owner and
// routes every message to the derived class's ProcessWindowMessage, which
// answers whether it handled it (everything else goes to DefWindowProc).
//
// The derived class provides:
//   static const wchar_t* WindowClassName();
//   static UINT WindowClassStyle();
//   bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT& result);

#include <windows.h>

template <class T> class TwWindowImpl {
public:
    HWND Hwnd() const { return m_hWnd; }
    bool IsCreated() const { return m_hWnd != nullptr && IsWindow(m_hWnd); }

    TwWindowImpl(const TwWindowImpl&) = delete;
    TwWindowImpl& operator=(const TwWindowImpl&) = delete;

protected:
    TwWindowImpl() = default;
    ~TwWindowImpl() {
        if (IsCreated())
            DestroyWindow(m_hWnd);
    }

    HWND CreateImpl(HWND parent, const RECT* rect, const wchar_t* title, DWORD style, DWORD exStyle,
                    UINT_PTR idOrMenu) {
        if (!RegisterOnce())
            return nullptr;
        const RECT area = rect ? *rect : RECT{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
        const int width = rect ? area.right - area.left : CW_USEDEFAULT;
        const int height = rect ? area.bottom - area.top : 0;
        return CreateWindowExW(exStyle, T::WindowClassName(), title, style, area.left, area.top,
                               width, height, parent, reinterpret_cast<HMENU>(idOrMenu),
                               GetModuleHandleW(nullptr), static_cast<T*>(this));
    }

    HWND m_hWnd = nullptr;

private:
    static bool RegisterOnce() {
        static const ATOM atom = [] {
            WNDCLASSEXW wc = {};
            wc.cbSize = sizeof wc;
            wc.style = T::WindowClassStyle();
            wc.lpfnWndProc = &TwWindowImpl::WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = T::WindowClassName();
            return RegisterClassExW(&wc);
        }();
        return atom != 0;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
            auto* self = static_cast<TwWindowImpl*>(static_cast<T*>(create->lpCreateParams));
            self->m_hWnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<TwWindowImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self)
            return DefWindowProcW(hwnd, message, wparam, lparam);
        LRESULT result = 0;
        const bool handled =
            static_cast<T*>(self)->ProcessWindowMessage(hwnd, message, wparam, lparam, result);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hWnd = nullptr;
        }
        return handled ? result : DefWindowProcW(hwnd, message, wparam, lparam);
    }
};
