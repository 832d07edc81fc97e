#pragma once
// Subclassing of an existing window (a platform control): the object is
// kept in a window property, its ProcessWindowMessage sees every message first,
// and what it does not handle goes to the control's own procedure.
//
// The derived class provides:
//   bool ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT& result);

#include <windows.h>

template <class T> class TwSubclass {
public:
    HWND Hwnd() const { return m_hWnd; }

    bool Attach(HWND hwnd) {
        if (!hwnd || m_hWnd)
            return false;
        m_hWnd = hwnd;
        SetPropW(hwnd, Property(), static_cast<T*>(this));
        m_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
        return m_previous != nullptr;
    }

    // The control's own handling of a message.
    LRESULT CallPrevious(UINT message, WPARAM wparam, LPARAM lparam) {
        return CallWindowProcW(m_previous, m_hWnd, message, wparam, lparam);
    }

protected:
    TwSubclass() = default;
    ~TwSubclass() = default;

private:
    static const wchar_t* Property() { return L"TwSubclassObject"; }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        T* self = static_cast<T*>(GetPropW(hwnd, Property()));
        if (!self)
            return DefWindowProcW(hwnd, message, wparam, lparam);
        LRESULT result = 0;
        if (self->ProcessWindowMessage(message, wparam, lparam, result))
            return result;
        const WNDPROC previous = self->m_previous;
        if (message == WM_NCDESTROY) {
            RemovePropW(hwnd, Property());
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            self->m_hWnd = nullptr;
        }
        return CallWindowProcW(previous, hwnd, message, wparam, lparam);
    }

    HWND m_hWnd = nullptr;
    WNDPROC m_previous = nullptr;
};
