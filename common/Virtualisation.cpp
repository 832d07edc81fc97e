#include "common/Virtualisation.h"

#include <windows.h>

#include "common/Handles.h"
#include "common/LongPath.h"

bool ProcessWritesVirtualised() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const UniqueHandle owned(token);
    DWORD enabled = 0;
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenVirtualizationEnabled, &enabled, sizeof(enabled), &size))
        return false;
    return enabled != 0;
}

std::wstring VirtualStorePath(const std::wstring& path, const std::wstring& localAppData) {
    const std::wstring ordinary = OrdinaryFormPath(path);
    if (localAppData.empty() || ordinary.size() < 3 || ordinary[1] != L':' || ordinary[2] != L'\\')
        return std::wstring();
    std::wstring folder = localAppData;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"VirtualStore" + ordinary.substr(2);
}

std::wstring LocalAppDataFolder() {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return std::wstring();
    return std::wstring(buffer, length);
}
