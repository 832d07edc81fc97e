#pragma once
// The userlistctl commands over the entries' details: find, show, note, and
// the long form of list.
//   find TEXT [trusted|black] [--long]   the entries the window's search shows
//   show MD5|SHA256                      every detail, "<field>\t<value>"
//   note MD5 TEXT                        the entry's note ("" clears it)
//   list [trusted|black] --long          each entry with its details

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "intake/FileProcessor.h"

class EntrySearch;

// Prints the entries of `list` in the order of their Time as list does,
// "<list>\t<md5>\t<time>\t<path>", with the details' columns after them
// when `longForm` (sha256, size, machine, company, product, description,
// version, original-name, added-by, computer, origin, source-file, note;
// empty where not known); only those `search` matches when
// given. The number printed; -1 when the store could not be read.
long PrintDetailedEntries(FileProcessor& processor, std::ostream& out, ListKind list,
                          const EntrySearch* search, bool longForm);

int RunFind(FileProcessor& processor, const std::vector<std::wstring>& operands, std::ostream& out,
            std::ostream& err);
int RunShow(FileProcessor& processor, const std::string& key, std::ostream& out, std::ostream& err);
// `md5` is checked by the command line's reading (32 hexadecimal digits).
int RunNote(FileProcessor& processor, const std::string& md5, const std::string& note,
            std::ostream& out, std::ostream& err);

// Takes "--note TEXT" out of a command's operands; false with `problem`
// when it has no text or is given twice.
bool TakeNoteOption(std::vector<std::wstring>& operands, std::optional<std::string>& note,
                    std::string& problem);
// Takes "--long" out of the operands; whether it was there.
bool TakeLongOption(std::vector<std::wstring>& operands);
