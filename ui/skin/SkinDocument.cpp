#include "ui/skin/SkinDocument.h"

#include <cstring>
#include <unordered_set>

#include "ui/core/TwXml.h"

int SkinKindOf(const char* tag) {
    for (int kind = 0; tag && kind < kSkinKindCount; ++kind) {
        if (std::strcmp(tag, kSkinKindTags[kind]) == 0)
            return kind;
    }
    return -1;
}

bool ReadSkinDefinitions(const std::vector<std::string>& copies,
                         const std::function<bool(const std::string& name)>& taken,
                         const SkinDefinitionVisit& visit) {
    bool parsed = false;
    std::unordered_set<std::string> names;
    for (const TiXmlDocument& document : ParseXmlDocuments(copies)) {
        parsed = true;
        const TiXmlElement* root = RootWithTag(document, "skins");
        if (!root)
            continue;
        for (const TiXmlElement* element = root->FirstChildElement(); element;
             element = element->NextSiblingElement()) {
            const char* name = element->Attribute("name");
            if (!name || names.count(name) || taken(name))
                continue;
            const int kind = SkinKindOf(element->Value());
            if (kind < 0)
                continue;
            names.insert(name);
            visit(kind, name, *element);
        }
    }
    return parsed;
}
