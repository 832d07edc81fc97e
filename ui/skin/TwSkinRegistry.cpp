#include "ui/skin/TwSkinRegistry.h"

#include "ui/core/TwXml.h"
#include "ui/skin/CTwImageSkin.h"
#include "ui/skin/CTwJpgSkin.h"
#include "ui/skin/CTwNormalSkin.h"
#include "ui/skin/CTwPngSkin.h"
#include "ui/skin/CTwSkinButton.h"
#include "ui/skin/CTwSkinImgFrame.h"
#include "ui/skin/CTwSkinImgHorzExtend.h"
#include "ui/skin/TwResourceLocator.h"

TwSkinRegistry& TwSkinRegistry::Instance() {
    static TwSkinRegistry registry;
    return registry;
}

std::unique_ptr<CTwSkinBase> TwSkinRegistry::CreateSkin(const char* tag) {
    using Maker = std::unique_ptr<CTwSkinBase> (*)();
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
    for (Maker make : kKinds) {
        std::unique_ptr<CTwSkinBase> skin = make();
        if (skin->MatchesTag(tag))
            return skin;
    }
    return nullptr;
}

bool TwSkinRegistry::LoadDocuments(const std::vector<std::string>& copies) {
    bool parsed = false;
    for (const TiXmlDocument& document : ParseXmlDocuments(copies)) {
        parsed = true;
        const TiXmlElement* root = RootWithTag(document, "skins");
        if (!root)
            continue;
        for (const TiXmlElement* element = root->FirstChildElement(); element;
             element = element->NextSiblingElement()) {
            const char* name = element->Attribute("name");
            if (!name || m_skins.count(name))
                continue;
            std::unique_ptr<CTwSkinBase> skin = CreateSkin(element->Value());
            if (!skin)
                continue;
            skin->LoadFromXml(element);
            m_skins.emplace(name, std::move(skin));
        }
    }
    return parsed;
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
