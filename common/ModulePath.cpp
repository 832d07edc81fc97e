#include "common/ModulePath.h"

WString GetModulePath(HMODULE module) {
    constexpr DWORD kMaxCapacity = 32768;
    for (DWORD capacity = 256; capacity <= kMaxCapacity; capacity *= 2) {
        WString buffer(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(module, &buffer[0], capacity);
        if (length == 0)
            return WString();
        if (length < capacity) {
            buffer.resize(length);
            return buffer;
        }
    }
    return WString();
}

WString FolderOfPath(WStringView path) {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == WStringView::npos)
        return WString();
    return WString(path.substr(0, slash + 1));
}

HMODULE GetCurrentModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&GetCurrentModule), &module);
    return module;
}

WString FullPathName(const WString& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return WString();
    WString full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return WString();
    full.resize(length);
    return full;
}
