#pragma once
// What a dialog host asks of a drop shadow. The host owns its shadow, if it
// has one (CTwDialogHost::SetShadow), makes it once its own top-level
// window exists and hands it the messages that move, size, show or hide the
// host. The windows layer's CShadowWnd is the shadow the program's dialogs
// use (CTwShadowedDialogImpl); the engine knows only this interface.

#include <windows.h>

class IHostShadow {
public:
    virtual ~IHostShadow() = default;
    // The shadow's window for a top-level host.
    virtual void Create(HWND host) = 0;
    // True for the messages it follows; it never takes them from the host.
    virtual bool HostMessage(HWND host, UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // Null until made.
    virtual HWND Window() const = 0;
};
