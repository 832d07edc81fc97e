#pragma once
// userlistctl import FILE [--list trusted|black]: MD5s from a CSV of
// indicators, a ClamAV hash database or a plain list, committed to the
// component and the store the way a dropped file is. The whole file is read
// and checked first; a file with any malformed line imports nothing.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "intake/FileProcessor.h"
#include "userlistctl/ImportParser.h"

struct ImportRequest {
    std::wstring argument; // the file as given
    std::wstring path;     // its full Windows path
    std::optional<ListKind> list;
    std::string note; // --note: the batch's reason
};

// "FILE [--list trusted|black]" (in any order); false with `problem` set.
bool ParseImportArguments(const std::vector<std::wstring>& operands, ImportRequest& request,
                          std::string& problem);

// Reads the whole file through the parser. kCliOk when it may be imported;
// otherwise the message is written to `err` and the exit code returned.
int CheckImportFile(const ImportRequest& request, ImportParser& parser, std::ostream& err);

// Commits the parser's MD5s, whitelist first, and prints one line per MD5
// and a summary. Returns the exit code.
int CommitImport(FileProcessor& processor, const ImportRequest& request, const ImportParser& parser,
                 std::ostream& out, std::ostream& err);

// The Path recorded with imported MD5s: the import file's full path in the
// store's code page when it fits, else its file name, else "import".
std::string ImportStorePath(const std::wstring& importPath);
