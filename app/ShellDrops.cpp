#include "app/ShellDrops.h"

#include <initializer_list>

namespace {

// ChangeWindowMessageFilterEx (its last parameter, unused here, as void*).
using ChangeFilterFn = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, void* status);

} // namespace

MessageFilter SystemMessageFilter() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    const auto change = user ? reinterpret_cast<ChangeFilterFn>(reinterpret_cast<void*>(
                                   GetProcAddress(user, "ChangeWindowMessageFilterEx")))
                             : nullptr;
    if (!change)
        return {};
    return [change](HWND window, UINT message, DWORD action) {
        return change(window, message, action, nullptr) != FALSE;
    };
}

bool AllowShellDrops(HWND window, const MessageFilter& filter) {
    if (!filter)
        return false;
    bool allowed = true;
    for (const UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA),
                               kCopyGlobalDataMessage}) {
        if (!filter(window, message, kMessageFilterAllow))
            allowed = false;
    }
    return allowed;
}
