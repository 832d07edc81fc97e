#include "common/ModulePath.h"

std::wstring GetModulePath(HMODULE module) {
    constexpr DWORD kMaxCapacity = 32768;
    for (DWORD capacity = 256; capacity <= kMaxCapacity; capacity *= 2) {
        std::wstring buffer(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(module, &buffer[0], capacity);
        if (length == 0)
            return std::wstring();
        if (length < capacity) {
            buffer.resize(length);
            return buffer;
        }
    }
    return std::wstring();
}

std::wstring FolderOfPath(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring_view::npos)
        return std::wstring();
    return std::wstring(path.substr(0, slash + 1));
}

HMODULE GetCurrentModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&GetCurrentModule), &module);
    return module;
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FullPathName(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    return full;
}
