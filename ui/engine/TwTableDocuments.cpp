#include "ui/engine/TwTableDocuments.h"

#include <cstring>
#include <unordered_set>

#include "ui/core/TwXml.h"

namespace {

template <typename Visit>
void ForEachChild(const std::vector<std::string>& copies, const char* root, Visit visit) {
    for (const TiXmlDocument& document : ParseXmlDocuments(copies)) {
        const TiXmlElement* top = RootWithTag(document, root);
        if (!top)
            continue;
        for (const TiXmlElement* child = top->FirstChildElement(); child;
             child = child->NextSiblingElement())
            visit(*child);
    }
}

const char* AttributeOrEmpty(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value ? value : "";
}

bool HasTag(const TiXmlElement& element, const char* tag) {
    return std::strcmp(element.Value(), tag) == 0;
}

} // namespace

std::vector<TwStyleRecord> ReadStyleClasses(const std::vector<std::string>& copies) {
    std::vector<TwStyleRecord> styles;
    std::unordered_set<std::string> names;
    ForEachChild(copies, "style", [&](const TiXmlElement& element) {
        if (!HasTag(element, "class") || !names.insert(AttributeOrEmpty(element, "name")).second)
            return;
        TwStyleRecord style;
        for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute;
             attribute = attribute->Next())
            ApplyStyleAttribute(style, attribute->Name(), attribute->Value());
        styles.push_back(std::move(style));
    });
    return styles;
}

std::vector<TwColorSetRecord> ReadColorSets(const std::vector<std::string>& copies, int level) {
    std::vector<TwColorSetRecord> sets;
    std::unordered_set<std::string> names;
    ForEachChild(copies, "colors", [&](const TiXmlElement& section) {
        if (!HasTag(section, "level") || ReadDecimal(AttributeOrEmpty(section, "level")) != level)
            return;
        for (const TiXmlElement* element = section.FirstChildElement(); element;
             element = element->NextSiblingElement()) {
            if (!HasTag(*element, "color") ||
                !names.insert(AttributeOrEmpty(*element, "name")).second)
                continue;
            TwColorSetRecord set;
            for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
                 attribute = attribute->Next()) {
                if (std::strcmp(attribute->Name(), "name") == 0)
                    set.name = attribute->Value();
                else
                    ApplyColorAttribute(set.colors, attribute->Name(), attribute->Value());
            }
            sets.push_back(std::move(set));
        }
    });
    return sets;
}

std::vector<std::pair<int, std::string>> ReadStrings(const std::vector<std::string>& copies) {
    std::vector<std::pair<int, std::string>> strings;
    std::unordered_set<int> ids;
    ForEachChild(copies, "string", [&](const TiXmlElement& element) {
        const char* id = element.Attribute("id");
        if (!HasTag(element, "s") || !id || !ids.insert(ReadDecimal(id)).second)
            return;
        const char* text = element.GetText();
        strings.emplace_back(ReadDecimal(id), text ? text : "");
    });
    return strings;
}
