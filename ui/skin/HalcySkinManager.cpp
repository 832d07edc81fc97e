#include "ui/skin/HalcySkinManager.h"

#include "common/RegistryKey.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/skin/TwImagePools.h"
#include "ui/skin/TwSkinRegistry.h"

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

bool ReloadUiResources() {
    const HalcySkinManager& manager = HalcySkinManager::Instance();
    const int level = manager.ColourLevel();
    TwPngPool::Instance().Clear();
    TwBmpPool::Instance().Clear();
    TwJpgPool::Instance().Clear();
    TwSkinPool::Instance().Clear();
    LoadColors(60003, level);
    TwSkinRegistry::Instance().LoadSkins(60000);
    return LoadStyles(60001);
}
