#pragma once
// The trusted list and the blacklist of MD5s, and their file format: a
// header line, then one line per MD5, "T <md5>" or "B <md5>", sorted.
// An MD5 is on at most one of the two lists.
//
// The whole file is written after every change, the removal of a single
// entry included. So the sorted lines are kept from one Serialize to the
// next and only the few MD5s changed in between are moved; after many
// changes (a large commit) the lines are sorted afresh.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "intake/SignatureListKind.h"

class SignatureTable {
public:
    // MD5s are 32 lower-case hexadecimal digits.
    SignatureListKind Find(const std::string& md5) const;
    // Puts an MD5 on one list (taking it off the other); false when nothing changed.
    bool Put(const std::string& md5, SignatureListKind kind);
    // Takes an MD5 off the given list; false when it was not there.
    bool Remove(const std::string& md5, SignatureListKind kind);
    std::size_t Size() const { return m_entries.size(); }

    std::string Serialize() const;
    // Reads a file's text; false (and an empty table) when it is not one.
    bool Parse(std::string_view text);

private:
    void Changed(const std::string& md5);
    std::string SortedLines() const;
    void MoveLine(const std::string& md5) const;

    std::unordered_map<std::string, SignatureListKind> m_entries;
    // The lines after the header, sorted, as of the last Serialize or Parse
    // (when m_linesKept), and the MD5s changed since then.
    mutable std::string m_lines;
    mutable bool m_linesKept = false;
    mutable std::vector<std::string> m_changed;
};
