#include "ui/skin/HalcySkinManager.h"

#include "common/RegistryKey.h"

namespace {

constexpr wchar_t kProductKey[] = L"SOFTWARE\\norvale\\Antivirus";
constexpr DWORD kMaxPath = 260;

} // namespace

std::wstring SkinDirectoryFor(const wchar_t* workPath) {
    std::wstring directory = workPath ? workPath : L"";
    if (!directory.empty() && directory.back() != L'\\')
        directory += L'\\';
    return directory + L"data\\skin";
}

HalcySkinManager& HalcySkinManager::Instance() {
    static HalcySkinManager manager;
    return manager;
}

std::wstring ReadSkinDirectory() {
    const RegistryKey key(HKEY_LOCAL_MACHINE, kProductKey, KEY_QUERY_VALUE);
    std::wstring workPath;
    const bool found = key.ReadString(L"WorkPath", kMaxPath, workPath);
    return SkinDirectoryFor(found ? workPath.c_str() : nullptr);
}

HalcySkinManager::HalcySkinManager() : m_skinDirectory(ReadSkinDirectory()) {}

BOOL HalcySkinManager::LookupResource(const wchar_t*, int, IStream** stream) {
    if (stream)
        *stream = nullptr;
    return FALSE;
}

BOOL HalcySkinManager::LookupCommonResource(const wchar_t*, int, IStream** stream) {
    if (stream)
        *stream = nullptr;
    return FALSE;
}

BOOL HalcySkinManager::LookupAlternativeResource(const wchar_t*, int, IStream** stream) {
    if (stream)
        *stream = nullptr;
    return FALSE;
}
