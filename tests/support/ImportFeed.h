#pragma once
// A whole import text fed to a parser as the import command feeds a file:
// cut into lines (none longer than the command takes), the parser finished
// after the last, a line too long reported at its number.

#include <string_view>

#include "userlistctl/ImportParser.h"
#include "userlistctl/LineSplitter.h"

namespace testsupport {

inline void FeedImportText(ImportParser& parser, std::string_view text) {
    LineSplitter splitter(kImportMaxLineBytes, [&parser](std::string_view line, std::size_t n) {
        return parser.AddLine(line, n);
    });
    if (splitter.Feed(text) && splitter.Finish())
        parser.Finish(splitter.LineNumber() - 1);
    if (splitter.TooLong())
        parser.SetProblem(splitter.LineNumber(), "too long");
}

} // namespace testsupport
