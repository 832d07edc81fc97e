#include "ui/engine/TwStyleTables.h"

#include "common/TextConvert.h"
#include "ui/engine/TwTableDocuments.h"
#include "ui/skin/TwResourceLocator.h"

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
    for (const TwStyleRecord& record : ReadStyleClasses(copies)) {
        if (!m_styles.count(record.name))
            m_styles.emplace(record.name, std::make_unique<TwStyle>(record));
    }
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
    for (const TwColorSetRecord& record : ReadColorSets(copies, level)) {
        if (m_colors.count(record.name))
            continue;
        auto color = std::make_unique<TwColor>();
        color->name = record.name;
        color->colors = record.colors;
        m_colors.emplace(record.name, std::move(color));
    }
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
    for (const auto& [id, text] : ReadStrings(copies))
        m_strings.emplace(id, Utf8ToWide(text));
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
