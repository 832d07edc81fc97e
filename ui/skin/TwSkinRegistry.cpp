#include "ui/skin/TwSkinRegistry.h"

#include "ui/core/TwXml.h"
#include "ui/skin/CTwImageSkin.h"
#include "ui/skin/CTwJpgSkin.h"
#include "ui/skin/CTwNormalSkin.h"
#include "ui/skin/CTwPngSkin.h"
#include "ui/skin/CTwSkinButton.h"
#include "ui/skin/CTwSkinImgFrame.h"
#include "ui/skin/CTwSkinImgHorzExtend.h"
#include "ui/skin/SkinDocument.h"
#include "ui/skin/TwResourceLocator.h"

TwSkinRegistry& TwSkinRegistry::Instance() {
    static TwSkinRegistry registry;
    return registry;
}

std::unique_ptr<CTwSkinBase> TwSkinRegistry::CreateSkin(const char* tag) {
    return CreateSkinOfKind(SkinKindOf(tag));
}

std::unique_ptr<CTwSkinBase> TwSkinRegistry::CreateSkinOfKind(int kind) {
    using Maker = std::unique_ptr<CTwSkinBase> (*)();
    // In the order of kSkinKindTags.
    static const Maker kKinds[] = {
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwImageSkin>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwSkinImgFrame>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwSkinButton>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwSkinImgHorzExtend>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwSkinGradation>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwPngSkin>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwJpgSkin>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwNormalPngSkin>()); },
        [] { return std::unique_ptr<CTwSkinBase>(std::make_unique<CTwNormalJPGSkin>()); },
    };
    static_assert(sizeof kKinds / sizeof kKinds[0] == kSkinKindCount);
    return kind >= 0 && kind < kSkinKindCount ? kKinds[kind]() : nullptr;
}

bool TwSkinRegistry::LoadDocuments(const std::vector<std::string>& copies) {
    return ReadSkinDefinitions(
        copies, [this](const std::string& name) { return m_skins.count(name) != 0; },
        [this](int kind, const std::string& name, const TiXmlElement& element) {
            std::unique_ptr<CTwSkinBase> skin = CreateSkinOfKind(kind);
            skin->LoadFromXml(&element);
            m_skins.emplace(name, std::move(skin));
        });
}

bool TwSkinRegistry::LoadSkins(int resourceId) {
    Clear();
    return LoadDocuments(TwResourceLocator::Instance().GatherDocument(resourceId));
}

CTwSkinBase* TwSkinRegistry::GetSkin(const std::string& name) {
    const auto found = m_skins.find(name);
    if (found == m_skins.end())
        return nullptr;
    found->second->Prepare();
    return found->second.get();
}
