#include "vmrdetect/SignatureTable.h"

#include <algorithm>
#include <vector>

#include "intake/Digest.h"

namespace {

constexpr std::string_view kHeader = "vmrdetect-lists 1";
// "T <md5>\n": every line of a written file has this length.
constexpr std::size_t kLineLength = kMd5TextLength + 3;
// Changes moved one by one into the kept lines; beyond this many the lines
// are sorted afresh (each move shifts the text once).
constexpr std::size_t kMovedLinesLimit = 64;

std::string LineOf(SignatureListKind kind, const std::string& md5) {
    return std::string(kind == kSignatureTrusted ? "T " : "B ") + md5 + '\n';
}

// The position of the first line of `lines` not less than `line`.
std::size_t LowerBound(const std::string& lines, const std::string& line) {
    std::size_t low = 0, high = lines.size() / kLineLength;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (lines.compare(middle * kLineLength, kLineLength, line) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low * kLineLength;
}

} // namespace

SignatureListKind SignatureTable::Find(const std::string& md5) const {
    const auto found = m_entries.find(md5);
    return found == m_entries.end() ? kSignatureNone : found->second;
}

bool SignatureTable::Put(const std::string& md5, SignatureListKind kind) {
    auto [place, inserted] = m_entries.emplace(md5, kind);
    if (!inserted) {
        if (place->second == kind)
            return false;
        place->second = kind;
    }
    Changed(md5);
    return true;
}

bool SignatureTable::Remove(const std::string& md5, SignatureListKind kind) {
    const auto found = m_entries.find(md5);
    if (found == m_entries.end() || found->second != kind)
        return false;
    m_entries.erase(found);
    Changed(md5);
    return true;
}

void SignatureTable::Changed(const std::string& md5) {
    if (!m_linesKept)
        return;
    if (m_changed.size() < kMovedLinesLimit) {
        m_changed.push_back(md5);
    } else {
        m_linesKept = false;
        m_changed.clear();
    }
}

// Takes the MD5's line out of the kept lines and puts its current line, if
// any, in its place in the order.
void SignatureTable::MoveLine(const std::string& md5) const {
    for (const SignatureListKind kind : {kSignatureBlack, kSignatureTrusted}) {
        const std::string line = LineOf(kind, md5);
        const std::size_t at = LowerBound(m_lines, line);
        if (m_lines.compare(at, kLineLength, line) == 0)
            m_lines.erase(at, kLineLength);
    }
    const SignatureListKind kind = Find(md5);
    if (kind != kSignatureNone) {
        const std::string line = LineOf(kind, md5);
        m_lines.insert(LowerBound(m_lines, line), line);
    }
}

std::string SignatureTable::SortedLines() const {
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (const auto& [md5, kind] : m_entries)
        lines.push_back(LineOf(kind, md5));
    std::sort(lines.begin(), lines.end());
    std::string text;
    text.reserve(lines.size() * kLineLength);
    for (const std::string& line : lines)
        text += line;
    return text;
}

std::string SignatureTable::Serialize() const {
    if (m_linesKept) {
        for (const std::string& md5 : m_changed)
            MoveLine(md5);
    } else {
        m_lines = SortedLines();
        m_linesKept = true;
    }
    m_changed.clear();
    std::string text(kHeader);
    text += '\n';
    text += m_lines;
    return text;
}

bool SignatureTable::Parse(std::string_view text) {
    m_entries.clear();
    m_changed.clear();
    m_linesKept = false;
    std::size_t start = 0;
    std::size_t linesStart = 0;
    bool first = true;
    // Whether the text is as Serialize writes it: then its lines are kept.
    bool written = true;
    std::string_view previous;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        written = written && end < text.size();
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            written = false;
        }
        start = end + 1;
        if (first) {
            first = false;
            if (line != kHeader) {
                m_entries.clear();
                return false;
            }
            linesStart = start;
            continue;
        }
        if (line.empty()) {
            written = false;
            continue;
        }
        const bool valid = line.size() == 2 + kMd5TextLength &&
                           (line[0] == 'T' || line[0] == 'B') && line[1] == ' ' &&
                           IsMd5Text(line.substr(2));
        if (!valid) {
            m_entries.clear();
            return false;
        }
        const std::string md5 = LowerMd5(line.substr(2));
        written = written && md5 == line.substr(2) && previous < line;
        previous = line;
        Put(md5, line[0] == 'T' ? kSignatureTrusted : kSignatureBlack);
    }
    if (written && !first) {
        m_lines.assign(text.substr(linesStart));
        m_linesKept = m_lines.size() == m_entries.size() * kLineLength; // no MD5 twice
    }
    return !first;
}
