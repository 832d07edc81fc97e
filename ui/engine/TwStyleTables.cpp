#include "ui/engine/TwStyleTables.h"

#include <cstring>

#include "common/TextConvert.h"
#include "ui/core/TwNotation.h"
#include "ui/core/TwXml.h"
#include "ui/skin/TwResourceLocator.h"

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

} // namespace

TwStyleTable& TwStyleTable::Instance() {
    static TwStyleTable table;
    return table;
}

TwStyleTable::TwStyleTable() {
    Clear();
}

void TwStyleTable::Clear() {
    m_styles.clear();
    m_styles.emplace(std::string(), std::make_unique<TwStyle>());
}

void TwStyleTable::LoadDocuments(const std::vector<std::string>& copies) {
    ForEachChild(copies, "style", [this](const TiXmlElement& element) {
        auto style = std::make_unique<TwStyle>();
        if (!style->MatchesTag(element.Value()))
            return;
        const std::string name = AttributeOrEmpty(element, "name");
        if (m_styles.count(name))
            return;
        style->LoadFromXml(&element);
        m_styles.emplace(name, std::move(style));
    });
}

const TwStyle& TwStyleTable::Get(const std::string& name) const {
    const auto found = m_styles.find(name);
    return found != m_styles.end() ? *found->second : *m_styles.at(std::string());
}

TwColorTable& TwColorTable::Instance() {
    static TwColorTable table;
    return table;
}

TwColorTable::TwColorTable() {
    Clear();
}

void TwColorTable::Clear() {
    m_colors.clear();
    m_colors.emplace(std::string(), std::make_unique<TwColor>());
}

void TwColorTable::LoadDocuments(const std::vector<std::string>& copies, int level) {
    ForEachChild(copies, "colors", [this, level](const TiXmlElement& section) {
        if (std::strcmp(section.Value(), "level") != 0 ||
            ReadDecimal(AttributeOrEmpty(section, "level")) != level)
            return;
        for (const TiXmlElement* element = section.FirstChildElement(); element;
             element = element->NextSiblingElement()) {
            auto color = std::make_unique<TwColor>();
            if (!color->MatchesTag(element->Value()))
                continue;
            const std::string name = AttributeOrEmpty(*element, "name");
            if (m_colors.count(name))
                continue;
            color->LoadFromXml(element);
            m_colors.emplace(name, std::move(color));
        }
    });
}

const TwColor* TwColorTable::Find(const std::string& name) const {
    const auto found = m_colors.find(name);
    return found != m_colors.end() ? found->second.get() : nullptr;
}

TwStringTable& TwStringTable::Instance() {
    static TwStringTable table;
    return table;
}

void TwStringTable::LoadDocuments(const std::vector<std::string>& copies) {
    ForEachChild(copies, "string", [this](const TiXmlElement& element) {
        const char* id = element.Attribute("id");
        if (std::strcmp(element.Value(), "s") != 0 || !id)
            return;
        const char* text = element.GetText();
        m_strings.emplace(ReadDecimal(id), Utf8ToWide(text ? text : ""));
    });
}

const wchar_t* TwStringTable::Get(int id) const {
    const auto found = m_strings.find(id);
    return found != m_strings.end() ? found->second.c_str() : nullptr;
}

bool LoadStyles(int resourceId) {
    const std::vector<std::string> copies =
        TwResourceLocator::Instance().GatherDocument(resourceId);
    TwStyleTable::Instance().Clear();
    TwStyleTable::Instance().LoadDocuments(copies);
    return !copies.empty();
}

bool LoadColors(int resourceId, int level) {
    const std::vector<std::string> copies =
        TwResourceLocator::Instance().GatherDocument(resourceId);
    TwColorTable::Instance().Clear();
    TwColorTable::Instance().LoadDocuments(copies, level);
    return !copies.empty();
}

bool LoadStrings(int resourceId) {
    const std::vector<std::string> copies =
        TwResourceLocator::Instance().GatherDocument(resourceId);
    TwStringTable::Instance().Clear();
    TwStringTable::Instance().LoadDocuments(copies);
    return !copies.empty();
}

const TwStyle& GetStyle(const std::string& name) {
    return TwStyleTable::Instance().Get(name);
}
const TwColor* GetColorSet(const std::string& name) {
    return TwColorTable::Instance().Find(name);
}
const wchar_t* GetString(int id) {
    return TwStringTable::Instance().Get(id);
}
