#pragma once
// The process's skin manager: it knows the product's skin directory (from
// the antivirus product's "WorkPath") and could host an external skin
// package, which this program never has. (The resource reload that start-up
// runs once, ReloadUiResources, is the engine's: it loads styles too.)

#include <string>

#include <objidl.h>

#include "ui/skin/TwResourceLocator.h"

// The skin directory for a WorkPath value (null when there is none).
std::wstring SkinDirectoryFor(const wchar_t* workPath);
// The skin directory from the product's registry key.
std::wstring ReadSkinDirectory();

class HalcySkinManager : public ITwExtraResource {
public:
    static HalcySkinManager& Instance();

    const std::wstring& SkinDirectory() const { return m_skinDirectory; }
    // 1: no external package supplies another level.
    int ColourLevel() const { return 1; }

    // No package object: each lookup answers 0.
    BOOL LookupResource(const wchar_t* type, int id, IStream** stream) override;
    BOOL LookupCommonResource(const wchar_t* type, int id, IStream** stream) override;
    BOOL LookupAlternativeResource(const wchar_t* type, int id, IStream** stream) override;

    HalcySkinManager(const HalcySkinManager&) = delete;
    HalcySkinManager& operator=(const HalcySkinManager&) = delete;

private:
    HalcySkinManager();
    ~HalcySkinManager() = default;

    int m_reserved = 0;
    std::wstring m_skinDirectory;
    std::wstring m_packageName;
};
