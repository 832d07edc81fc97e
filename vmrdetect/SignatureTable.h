#pragma once
// The trusted list and the blacklist of MD5s, and their file format: a
// header line, then one line per MD5, "T <md5>" or "B <md5>", sorted.
// An MD5 is on at most one of the two lists.

#include <string>
#include <string_view>
#include <unordered_map>

#include "intake/DetectionComponent.h"

class SignatureTable {
public:
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
    std::unordered_map<std::string, SignatureListKind> m_entries;
};
