#include "app/ShellDrops.h"

#include <initializer_list>

MessageFilterFn SystemMessageFilter() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (!user)
        return nullptr;
    return reinterpret_cast<MessageFilterFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilterEx")));
}

bool AllowShellDrops(HWND window, MessageFilterFn filter) {
    if (!filter)
        return false;
    bool allowed = true;
    for (const UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA),
                               kCopyGlobalDataMessage}) {
        if (!filter(window, message, kMessageFilterAllow, nullptr))
            allowed = false;
    }
    return allowed;
}
