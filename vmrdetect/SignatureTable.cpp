#include "vmrdetect/SignatureTable.h"

#include <algorithm>
#include <vector>

#include "intake/Digest.h"

namespace {
constexpr std::string_view kHeader = "vmrdetect-lists 1";
}

SignatureListKind SignatureTable::Find(const std::string& md5) const {
    const auto found = m_entries.find(md5);
    return found == m_entries.end() ? kSignatureNone : found->second;
}

bool SignatureTable::Put(const std::string& md5, SignatureListKind kind) {
    auto [place, inserted] = m_entries.emplace(md5, kind);
    if (inserted)
        return true;
    if (place->second == kind)
        return false;
    place->second = kind;
    return true;
}

bool SignatureTable::Remove(const std::string& md5, SignatureListKind kind) {
    const auto found = m_entries.find(md5);
    if (found == m_entries.end() || found->second != kind)
        return false;
    m_entries.erase(found);
    return true;
}

std::string SignatureTable::Serialize() const {
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (const auto& [md5, kind] : m_entries)
        lines.push_back(std::string(kind == kSignatureTrusted ? "T " : "B ") + md5);
    std::sort(lines.begin(), lines.end());
    std::string text(kHeader);
    text += '\n';
    text.reserve(text.size() + lines.size() * 35);
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

bool SignatureTable::Parse(std::string_view text) {
    m_entries.clear();
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        if (first) {
            first = false;
            if (line != kHeader) {
                m_entries.clear();
                return false;
            }
            continue;
        }
        if (line.empty())
            continue;
        const bool valid = line.size() == 2 + kMd5TextLength &&
                           (line[0] == 'T' || line[0] == 'B') && line[1] == ' ' &&
                           IsMd5Text(line.substr(2));
        if (!valid) {
            m_entries.clear();
            return false;
        }
        Put(LowerMd5(line.substr(2)), line[0] == 'T' ? kSignatureTrusted : kSignatureBlack);
    }
    return !first;
}
