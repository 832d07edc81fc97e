#pragma once
// The process-wide tables of style classes, colour sets and strings, loaded
// from the UI documents. When a name or id is defined twice, the first
// definition wins, across all copies of a document too.

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/engine/TwStyle.h"

class TwStyleTable {
public:
    static TwStyleTable& Instance();
    // Empties the table and puts back the default style (empty name).
    void Clear();
    // Adds the classes of documents with root "style", in order.
    void LoadDocuments(const std::vector<std::string>& copies);
    // The named style, or the default one.
    const TwStyle& Get(const std::string& name) const;
    bool Contains(const std::string& name) const { return m_styles.count(name) != 0; }

private:
    TwStyleTable();
    std::unordered_map<std::string, std::unique_ptr<TwStyle>> m_styles;
};

class TwColorTable {
public:
    static TwColorTable& Instance();
    void Clear();
    // Adds the colour sets of the "level" sections matching `level` of
    // documents with root "colors".
    void LoadDocuments(const std::vector<std::string>& copies, int level);
    // Null when the name is not in the table.
    const TwColor* Find(const std::string& name) const;

private:
    TwColorTable();
    std::unordered_map<std::string, std::unique_ptr<TwColor>> m_colors;
};

class TwStringTable {
public:
    static TwStringTable& Instance();
    void Clear() { m_strings.clear(); }
    // Adds the "s" elements of documents with root "string".
    void LoadDocuments(const std::vector<std::string>& copies);
    // Null when the id is not in the table.
    const wchar_t* Get(int id) const;

private:
    TwStringTable() = default;
    std::unordered_map<int, std::wstring> m_strings;
};

// The documents of the program: every copy of the "xml" resource with the id
// ; each returns true when at least one copy was found.
bool LoadStyles(int resourceId);
bool LoadColors(int resourceId, int level);
bool LoadStrings(int resourceId);
const TwStyle& GetStyle(const std::string& name);
const TwColor* GetColorSet(const std::string& name);
const wchar_t* GetString(int id);
