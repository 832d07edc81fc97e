#pragma once
// The matching rule of a search over the stored entries, shared by the
// window's search field and `userlistctl find`: an entry matches when its
// MD5 or SHA-256 starts with the text, or when its path (and so its file
// name), product, company or note contains it. Case is ignored: ASCII,
// Latin-1, Latin Extended-A, Greek, Cyrillic and full-width Latin letters
// are folded to lower case; other characters (Chinese among them) compare
// as they are. Texts are UTF-8; a malformed sequence compares byte for byte.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// `text` with its letters folded, for containment tests. Folding keeps
// UTF-8 valid and never joins or splits characters.
std::string FoldForSearch(std::string_view text);

// Whether `folded` (a FoldForSearch result) contains `needle` (another).
bool ContainsFolded(std::string_view folded, std::string_view needle);

// What an entry offers to a search; any field may be empty.
struct EntrySearchFields {
    std::string_view md5;
    std::string_view sha256;
    std::string_view path;
    std::string_view product;
    std::string_view company;
    std::string_view note;
};

class EntrySearch {
public:
    explicit EntrySearch(std::string_view text);
    // The searcher points into the text it holds.
    EntrySearch(const EntrySearch&) = delete;
    EntrySearch& operator=(const EntrySearch&) = delete;

    // An empty text (or one of spaces alone) matches every entry.
    bool MatchesAll() const { return m_folded.empty(); }
    bool Matches(const EntrySearchFields& entry) const;
    // The digests' prefix rule alone (for a caller that keeps the other
    // fields folded already).
    bool MatchesDigest(std::string_view md5, std::string_view sha256) const;
    // Whether a folded field contains the text.
    bool InFolded(std::string_view folded) const;
    const std::string& Folded() const { return m_folded; }

private:
    using Searcher = std::boyer_moore_horspool_searcher<std::string::const_iterator>;

    std::string m_folded; // the text, trimmed and folded
    bool m_hex = false;   // the text is all hexadecimal digits: a digest prefix
    std::optional<Searcher> m_searcher;
};
