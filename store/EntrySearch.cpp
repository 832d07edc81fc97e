#include "store/EntrySearch.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "common/Utf8Append.h"

namespace {

// The lower-case form of a code point, for the scripts the search folds.
char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20; // Latin-1 capitals
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capital and small letters: even/odd, except
        // for 0x139-0x148 and 0x179-0x17E (odd/even), and a few singles.
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (c == 0x178)
            return 0xFF; // Y with diaeresis
        if (oddCapitals)
            return (c & 1) ? c + 1 : c;
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return c + 0x20; // Greek capitals
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20; // Cyrillic capitals
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 0x20; // full-width Latin capitals
    return c;
}

// The length of the UTF-8 sequence that starts at `text[at]` and its code
// point; 0 for a malformed one.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& c) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + length > text.size())
        return 0;
    c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// Whether `digest` starts with the lower-case hexadecimal `prefix`, in either case.
bool StartsWithHex(std::string_view digest, std::string_view prefix) {
    if (digest.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = digest[i];
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c + 0x20);
        if (c != prefix[i])
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string FoldForSearch(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            folded += static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead + 0x20 : lead);
            ++at;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, at, c);
        if (length == 0) {
            folded += text[at++];
            continue;
        }
        AppendUtf8(folded, FoldCodePoint(c));
        at += length;
    }
    return folded;
}

bool ContainsFolded(std::string_view folded, std::string_view needle) {
    if (needle.empty())
        return true;
    return std::search(folded.begin(), folded.end(),
                       std::boyer_moore_horspool_searcher(needle.begin(), needle.end())) !=
           folded.end();
}

EntrySearch::EntrySearch(std::string_view text) : m_folded(FoldForSearch(Trimmed(text))) {
    m_hex = !m_folded.empty() && m_folded.size() <= 64 &&
            std::all_of(m_folded.begin(), m_folded.end(), IsHexDigit);
    m_searcher.emplace(m_folded.cbegin(), m_folded.cend());
}

bool EntrySearch::InFolded(std::string_view folded) const {
    if (m_folded.empty())
        return true;
    return std::search(folded.begin(), folded.end(), *m_searcher) != folded.end();
}

bool EntrySearch::MatchesDigest(std::string_view md5, std::string_view sha256) const {
    return m_hex && (StartsWithHex(md5, m_folded) || StartsWithHex(sha256, m_folded));
}

bool EntrySearch::Matches(const EntrySearchFields& entry) const {
    if (MatchesAll() || MatchesDigest(entry.md5, entry.sha256))
        return true;
    for (const std::string_view field : {entry.path, entry.product, entry.company, entry.note}) {
        if (!field.empty() && InFolded(FoldForSearch(field)))
            return true;
    }
    return false;
}
