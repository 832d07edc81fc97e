#include "vmrdetect/SignatureTable.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "intake/Digest.h"

namespace {

constexpr std::string_view kHeader = "vmrdetect-lists 1";
constexpr std::string_view kChangesLine = "changes";
constexpr std::string_view kEndLine = "end";
// "T <md5>\n": every line of an MD5 has this length.
constexpr std::size_t kLineLength = kMd5TextLength + 3;
// The changes held beside the sorted array before they are merged into it.
constexpr std::size_t kMergeFrom = 1024;

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10; // the caller checked the text is hexadecimal
}

char KindLetter(SignatureListKind kind) {
    return kind == kSignatureTrusted ? 'T' : kind == kSignatureBlack ? 'B' : '-';
}

SignatureListKind KindOfLetter(char letter) {
    return letter == 'T' ? kSignatureTrusted : letter == 'B' ? kSignatureBlack : kSignatureNone;
}

// One line of the text and where the next begins.
struct TextLine {
    std::string_view text; // without "\n" or "\r\n"
    bool ended = false;    // a "\n" follows it
    bool crlf = false;
    std::size_t next = 0;
};

TextLine LineAt(std::string_view text, std::size_t at) {
    TextLine line;
    std::size_t end = text.find('\n', at);
    line.ended = end != std::string_view::npos;
    if (!line.ended)
        end = text.size();
    line.text = text.substr(at, end - at);
    line.next = line.ended ? end + 1 : end;
    if (!line.text.empty() && line.text.back() == '\r') {
        line.text.remove_suffix(1);
        line.crlf = true;
    }
    return line;
}

// "<letter> <md5>" with one of the letters given.
bool IsMd5Line(std::string_view line, std::string_view letters) {
    return line.size() == 2 + kMd5TextLength && letters.find(line[0]) != std::string_view::npos &&
           line[1] == ' ' && IsMd5Text(line.substr(2));
}

// The 16 bytes of an MD5 text (32 hexadecimal digits, either case).
template <class Digest> Digest DigestOf(std::string_view md5) {
    Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<std::uint8_t>(HexValue(md5[2 * i]) << 4 | HexValue(md5[2 * i + 1]));
    return digest;
}

template <class Digest> void AppendLine(std::string& text, char letter, const Digest& digest) {
    char line[kLineLength + 1];
    line[0] = letter;
    line[1] = ' ';
    BytesToHex(digest.data(), digest.size(), line + 2);
    line[kLineLength - 1] = '\n';
    text.append(line, kLineLength);
}

} // namespace

std::size_t SignatureTable::DigestHash::operator()(const Digest& digest) const noexcept {
    std::size_t hash = 0;
    std::memcpy(&hash, digest.data(), sizeof hash);
    return hash;
}

SignatureListKind SignatureTable::KindOf(const Digest& digest) const {
    const auto changed = m_changes.find(digest);
    if (changed != m_changes.end())
        return changed->second;
    const auto found =
        std::lower_bound(m_sorted.begin(), m_sorted.end(), digest,
                         [](const Entry& entry, const Digest& key) { return entry.digest < key; });
    if (found == m_sorted.end() || found->digest != digest)
        return kSignatureNone;
    return static_cast<SignatureListKind>(found->kind);
}

SignatureListKind SignatureTable::Find(std::string_view md5) const {
    return IsMd5Text(md5) ? KindOf(DigestOf<Digest>(md5)) : kSignatureNone;
}

bool SignatureTable::Put(std::string_view md5, SignatureListKind kind) {
    if (!IsMd5Text(md5) || kind == kSignatureNone)
        return false;
    const Digest digest = DigestOf<Digest>(md5);
    const SignatureListKind was = KindOf(digest);
    if (was == kind)
        return false;
    Set(digest, kind, was);
    return true;
}

bool SignatureTable::Remove(std::string_view md5, SignatureListKind kind) {
    if (!IsMd5Text(md5) || kind == kSignatureNone)
        return false;
    const Digest digest = DigestOf<Digest>(md5);
    if (KindOf(digest) != kind)
        return false;
    Set(digest, kSignatureNone, kind);
    return true;
}

// Moves an MD5 from the list it was on (`was`, another than `kind`).
void SignatureTable::Set(const Digest& digest, SignatureListKind kind, SignatureListKind was) {
    m_size = m_size - (was != kSignatureNone ? 1 : 0) + (kind != kSignatureNone ? 1 : 0);
    m_changes[digest] = kind;
    if (!m_writeWhole) {
        // Past this many the update writes the whole file anyway.
        if (m_unwritten.size() >= std::max(m_size, kAppendFrom) / 8) {
            m_writeWhole = true;
            std::vector<Digest>().swap(m_unwritten);
        } else {
            m_unwritten.push_back(digest);
        }
    }
    if (m_changes.size() > std::max(kMergeFrom, m_sorted.size() / 16))
        MergeChanges();
}

std::vector<SignatureTable::Entry> SignatureTable::SortedChanges() const {
    std::vector<Entry> changes;
    changes.reserve(m_changes.size());
    for (const auto& [digest, kind] : m_changes)
        changes.push_back(Entry{digest, static_cast<std::uint8_t>(kind)});
    std::sort(changes.begin(), changes.end(),
              [](const Entry& a, const Entry& b) { return a.digest < b.digest; });
    return changes;
}

// Visits every listed MD5 in the order of its bytes: the sorted array with
// the sorted changes over it.
template <class Visit>
void SignatureTable::VisitInOrder(const std::vector<Entry>& changes, Visit visit) const {
    auto sorted = m_sorted.begin();
    auto changed = changes.begin();
    while (sorted != m_sorted.end() || changed != changes.end()) {
        if (changed == changes.end() ||
            (sorted != m_sorted.end() && sorted->digest < changed->digest)) {
            visit(*sorted++);
            continue;
        }
        if (sorted != m_sorted.end() && sorted->digest == changed->digest)
            ++sorted; // the change stands in its place
        if (changed->kind != kSignatureNone)
            visit(*changed);
        ++changed;
    }
}

void SignatureTable::MergeChanges() {
    std::vector<Entry> merged;
    merged.reserve(m_size);
    VisitInOrder(SortedChanges(), [&merged](const Entry& entry) { merged.push_back(entry); });
    m_sorted = std::move(merged);
    m_changes.clear();
}

std::string SignatureTable::Serialize() const {
    std::string text(kHeader);
    text += '\n';
    text.reserve(text.size() + m_size * kLineLength);
    const std::vector<Entry> changes = SortedChanges();
    // "B " lines sort before "T " lines; within a list the text of an MD5
    // sorts as its bytes do.
    for (const SignatureListKind kind : {kSignatureBlack, kSignatureTrusted}) {
        VisitInOrder(changes, [&text, kind](const Entry& entry) {
            if (entry.kind == kind)
                AppendLine(text, KindLetter(kind), entry.digest);
        });
    }
    return text;
}

bool SignatureTable::Parse(std::string_view text) {
    *this = SignatureTable();
    TextLine line = LineAt(text, 0);
    if (text.empty() || line.text != kHeader)
        return false;
    std::size_t at = line.next;
    // The lines of MD5s, in the file's order, until the first block.
    std::vector<Entry> entries;
    entries.reserve(text.size() / kLineLength);
    bool sorted = true; // by list, then by MD5
    while (at < text.size()) {
        line = LineAt(text, at);
        // The first block, or the start of one cut short.
        if (line.text == kChangesLine || (!line.ended && !line.text.empty() &&
                                          kChangesLine.substr(0, line.text.size()) == line.text))
            break;
        at = line.next;
        if (line.text.empty())
            continue;
        if (!IsMd5Line(line.text, "TB")) {
            *this = SignatureTable();
            return false;
        }
        const Entry entry{DigestOf<Digest>(line.text.substr(2)),
                          static_cast<std::uint8_t>(KindOfLetter(line.text[0]))};
        if (!entries.empty()) {
            const Entry& last = entries.back();
            sorted = sorted && (last.kind == entry.kind ? last.digest < entry.digest
                                                        : last.kind == kSignatureBlack);
        }
        entries.push_back(entry);
    }
    // Into the order of the MD5s; of an MD5 on two lines the later one stands.
    const auto byDigest = [](const Entry& a, const Entry& b) { return a.digest < b.digest; };
    if (sorted) {
        const auto trusted = std::find_if(entries.begin(), entries.end(), [](const Entry& entry) {
            return entry.kind == kSignatureTrusted;
        });
        std::inplace_merge(entries.begin(), trusted, entries.end(), byDigest);
    } else {
        std::stable_sort(entries.begin(), entries.end(), byDigest);
    }
    for (const Entry& entry : entries) {
        if (!m_sorted.empty() && m_sorted.back().digest == entry.digest)
            m_sorted.back() = entry;
        else
            m_sorted.push_back(entry);
    }
    m_sorted.shrink_to_fit();
    m_size = m_sorted.size();
    if (!ParseChanges(text, at)) {
        *this = SignatureTable();
        return false;
    }
    m_fileBytes = at;
    m_writeWhole = at == 0 || text[at - 1] != '\n';
    return true;
}

// Applies the complete blocks of changes from `at` on, leaving `at` after
// the last one; false when the text holds anything else. A block that the
// text ends inside was cut short: it is left out.
bool SignatureTable::ParseChanges(std::string_view text, std::size_t& at) {
    std::vector<std::pair<Digest, SignatureListKind>> block;
    while (at < text.size()) {
        TextLine line = LineAt(text, at);
        if (line.text.empty() && line.ended) {
            at = line.next;
            continue;
        }
        if (line.text != kChangesLine || !line.ended)
            return !line.ended && kChangesLine.substr(0, line.text.size()) == line.text;
        block.clear();
        std::size_t next = line.next;
        for (;;) {
            if (next >= text.size())
                return true; // cut short
            line = LineAt(text, next);
            if (!line.ended)
                return true; // cut short inside its last line
            next = line.next;
            if (line.text == kEndLine)
                break;
            if (!IsMd5Line(line.text, "TB-"))
                return false;
            block.emplace_back(DigestOf<Digest>(line.text.substr(2)), KindOfLetter(line.text[0]));
        }
        for (const auto& [digest, kind] : block) {
            const SignatureListKind was = KindOf(digest);
            if (was != kind)
                Set(digest, kind, was);
        }
        m_appendedLines += block.size();
        at = next;
    }
    return true;
}

SignatureTable::FileUpdate SignatureTable::Update() const {
    FileUpdate update;
    std::vector<Digest> changed = m_unwritten;
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    update.append =
        !m_writeWhole && m_size >= kAppendFrom && m_appendedLines + changed.size() <= m_size / 8;
    if (!update.append) {
        update.text = Serialize();
        return update;
    }
    update.text.reserve(kChangesLine.size() + kEndLine.size() + 2 + changed.size() * kLineLength);
    update.text.append(kChangesLine).append("\n");
    for (const Digest& digest : changed)
        AppendLine(update.text, KindLetter(KindOf(digest)), digest);
    update.text.append(kEndLine).append("\n");
    update.lines = changed.size();
    return update;
}

void SignatureTable::Written(const FileUpdate& update) {
    if (update.append) {
        m_fileBytes += update.text.size();
        m_appendedLines += update.lines;
    } else {
        m_fileBytes = update.text.size();
        m_appendedLines = 0;
    }
    std::vector<Digest>().swap(m_unwritten);
    m_writeWhole = false;
}
