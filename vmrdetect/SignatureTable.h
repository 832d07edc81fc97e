#pragma once
// The trusted list and the blacklist of MD5s, and their file format: a
// header line, then one line per MD5, "T <md5>" or "B <md5>", sorted. After
// these a large file may hold blocks of later changes, each appended by one
// update: a line "changes", a line per MD5 changed giving its list now
// ("T <md5>", "B <md5>", or "- <md5>" for neither), and a line "end". A
// block cut short (an update interrupted while appending) is ignored.
// An MD5 is on at most one of the two lists.
//
// Each MD5 is held as its 16 bytes beside its list, in one array sorted by
// MD5, with the MD5s changed since the array was made in a small map beside
// it (merged into the array once the map grows): 17 bytes an entry. An
// update appends its changes to a large file instead of writing the file
// whole, until the changes appended reach an eighth of the entries.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "intake/SignatureListKind.h"

class SignatureTable {
public:
    // MD5s are 32 hexadecimal digits, in lower case for Put and Remove.
    SignatureListKind Find(std::string_view md5) const;
    // Puts an MD5 on one list (taking it off the other); false when nothing changed.
    bool Put(std::string_view md5, SignatureListKind kind);
    // Takes an MD5 off the given list; false when it was not there.
    bool Remove(std::string_view md5, SignatureListKind kind);
    std::size_t Size() const { return m_size; }

    // The whole text of a file holding the lists, sorted, with no changes appended.
    std::string Serialize() const;
    // Reads a file's text; false (and an empty table) when it is not one.
    bool Parse(std::string_view text);

    // What brings the file, as last read or written, up to the lists: a
    // block of the changes since, appended at FileBytes(), or the whole text.
    struct FileUpdate {
        bool append = false;
        std::string text;
        std::size_t lines = 0; // the changed MD5s a block holds
    };
    FileUpdate Update() const;
    // The update is in the file.
    void Written(const FileUpdate& update);
    // The bytes of the file, as last read or written, that hold the lists:
    // a block cut short lies beyond them (an append writes over it).
    std::size_t FileBytes() const { return m_fileBytes; }

    // Tables of fewer entries are written whole at every update.
    static constexpr std::size_t kAppendFrom = 4096;

private:
    using Digest = std::array<std::uint8_t, 16>;
    struct DigestHash {
        std::size_t operator()(const Digest& digest) const noexcept;
    };
    struct Entry {
        Digest digest;
        std::uint8_t kind;
    };

    SignatureListKind KindOf(const Digest& digest) const;
    void Set(const Digest& digest, SignatureListKind kind, SignatureListKind was);
    void MergeChanges();
    std::vector<Entry> SortedChanges() const;
    template <class Visit> void VisitInOrder(const std::vector<Entry>& changes, Visit visit) const;
    bool ParseChanges(std::string_view text, std::size_t& at);

    std::vector<Entry> m_sorted; // by MD5, each once, none of kSignatureNone
    // MD5s changed since m_sorted was made, kSignatureNone when removed.
    std::unordered_map<Digest, SignatureListKind, DigestHash> m_changes;
    std::size_t m_size = 0;

    // The file as last read or written: its bytes and the changed MD5s it
    // holds in blocks.
    std::size_t m_fileBytes = 0;
    std::size_t m_appendedLines = 0;
    // MD5s changed since then. The next update writes the whole file when
    // there is none yet, when it did not end in "\n" (a block would join
    // its last line), or once too many changed to append: then no more are
    // noted.
    std::vector<Digest> m_unwritten;
    bool m_writeWhole = true;
};
