#include "shell/CrashDumpHookup.h"

#include <windows.h>

#include "common/RegistryKey.h"

namespace {

constexpr wchar_t kComponentGuid[] = L"{3F1C6A2E-8D4B-4E57-9A61-2B7C0D9E4F18}";
constexpr wchar_t kCategoryGuid[] = L"{9E2D5B74-1A3C-4F60-8B97-C4E1D2A3F506}";
constexpr DWORD kIdentifierUnits = 63; // a 128-byte buffer with its terminator

using OpenMonitorFn = int(WINAPI*)(int, const wchar_t*, int, int);

DWORD WINAPI CallMonitor(void* parameter) {
    const auto open = reinterpret_cast<OpenMonitorFn>(parameter);
    const std::wstring product = ReadProductIdentifier();
    open(1, product.c_str(), kDumpFlags, kDumpLimit);
    return 0;
}

} // namespace

std::wstring ProductIdentifierKey() {
    return std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kComponentGuid +
           L"\\Implemented Categories\\" + kCategoryGuid;
}

std::wstring ReadProductIdentifier() {
    const RegistryKey key(HKEY_LOCAL_MACHINE, ProductIdentifierKey().c_str(), KEY_QUERY_VALUE);
    std::wstring value;
    if (key.ReadString(L"idex", kIdentifierUnits, value))
        return value;
    return kBuiltInProductId;
}

int HookUpCrashDumpMonitor(const wchar_t* libraryPath) {
    HMODULE library = LoadLibraryW(libraryPath ? libraryPath : kDumpLibrary);
    if (!library)
        return -1;
    FARPROC open = GetProcAddress(library, kDumpExport);
    if (!open)
        return -1; // the library stays loaded
    HANDLE thread =
        CreateThread(nullptr, 0, &CallMonitor, reinterpret_cast<void*>(open), 0, nullptr);
    if (!thread)
        return -1;
    Sleep(10);
    CloseHandle(thread);
    return 0;
}
