#pragma once
// The process-wide registry of skins by name, filled from the skins
// document. The first definition of a name wins.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/skin/CTwSkinBase.h"

class TwSkinRegistry {
public:
    static TwSkinRegistry& Instance();

    // Clears the registry and applies every copy of the document; true when
    // at least one copy parsed.
    bool LoadSkins(int resourceId);
    // Applies documents given as texts (root "skins"); true when one parsed.
    bool LoadDocuments(const std::vector<std::string>& copies);
    void Clear() { m_skins.clear(); }
    // The named skin, prepared; null for an undefined name.
    CTwSkinBase* GetSkin(const std::string& name);

    // A new skin for a tag, tried in the factory's fixed order; null when no
    // kind has that tag.
    static std::unique_ptr<CTwSkinBase> CreateSkin(const char* tag);
    // A new skin of a kind (an index in kSkinKindTags); null for another number.
    static std::unique_ptr<CTwSkinBase> CreateSkinOfKind(int kind);

private:
    TwSkinRegistry() = default;
    std::unordered_map<std::string, std::unique_ptr<CTwSkinBase>> m_skins;
};

inline CTwSkinBase* GetSkin(const std::string& name) {
    return TwSkinRegistry::Instance().GetSkin(name);
}
