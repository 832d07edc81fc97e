#include "userlistctl/ImportCommand.h"

#include <algorithm>
#include <unordered_map>

#include <windows.h>

#include "common/Handles.h"
#include "common/TextConvert.h"
#include "intake/CurrentOrigin.h"
#include "intake/StorePath.h"
#include "userlistctl/CliPaths.h"
#include "userlistctl/LineSplitter.h"
#include "userlistctl/ListExchange.h"
#include "userlistctl/UserListCommand.h"

namespace {

constexpr DWORD kReadChunkBytes = 64 * 1024;

// Prints each committed MD5 as trust and block do, and remembers failures.
class ImportReporter : public WardenCallbackBase {
public:
    ImportReporter(std::ostream& out, std::string storedPathUtf8)
        : m_out(out), m_path(std::move(storedPathUtf8)) {}

    int OnTrustedItemDone(const char* md5) override { return Print("trusted\t", md5); }
    int OnBlackItemDone(const char* md5) override { return Print("blocked\t", md5); }
    int OnError(int code) override {
        if (code == kComponentFailed)
            m_refused = true;
        else if (code == kStoreWriteFailed)
            m_storeFailed = true;
        return 0;
    }

    int Imported() const { return m_imported; }
    bool Refused() const { return m_refused; }
    bool StoreFailed() const { return m_storeFailed; }

private:
    int Print(const char* label, const char* md5) {
        m_out << label << md5 << '\t' << m_path << '\n';
        ++m_imported;
        return 0;
    }

    std::ostream& m_out;
    const std::string m_path;
    int m_imported = 0;
    bool m_refused = false;
    bool m_storeFailed = false;
};

int Refuse(std::ostream& err, const ImportRequest& request, const ImportProblem& problem) {
    err << "userlistctl: " << WideToUtf8(request.argument) << ": ";
    if (problem.line != 0)
        err << "line " << problem.line << ": ";
    err << problem.text << "\nuserlistctl: nothing was imported\n";
    return problem.needsList ? kCliUsage : kCliBadImport;
}

// Feeds the file to the splitter chunk by chunk; false when it cannot be read.
bool ReadThrough(HANDLE file, LineSplitter& splitter, bool& stopped) {
    std::string buffer(kReadChunkBytes, '\0');
    stopped = false;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, &buffer[0], kReadChunkBytes, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (!splitter.Feed(std::string_view(buffer.data(), read))) {
            stopped = true;
            return true;
        }
    }
}

std::string SkippedSummary(const std::vector<SkippedRow>& skipped) {
    constexpr std::size_t kLinesNamed = 10;
    std::string text = std::to_string(skipped.size()) + " skipped";
    if (skipped.empty())
        return text;
    text += skipped.size() == 1 ? " (line " : " (lines ";
    for (std::size_t i = 0; i < skipped.size() && i < kLinesNamed; ++i)
        text += (i ? ", " : "") + std::to_string(skipped[i].line);
    if (skipped.size() > kLinesNamed)
        text += ", ...";
    return text + ")";
}

} // namespace

bool ParseImportArguments(const std::vector<std::wstring>& operands, ImportRequest& request,
                          std::string& problem) {
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (operands[i] == L"--list") {
            const std::wstring which = i + 1 < operands.size() ? operands[++i] : L"";
            if (which == L"trusted")
                request.list = ListKind::Trusted;
            else if (which == L"black")
                request.list = ListKind::Black;
            else {
                problem = "--list needs trusted or black";
                return false;
            }
        } else if (request.argument.empty()) {
            request.argument = operands[i];
        } else {
            problem = "import takes one file";
            return false;
        }
    }
    if (request.argument.empty()) {
        problem = "import needs a file";
        return false;
    }
    request.path = ResolveCliPath(request.argument);
    return true;
}

int CheckImportFile(const ImportRequest& request, ImportParser& parser, std::ostream& err) {
    const UniqueFile file(CreateFileW(request.path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        err << "userlistctl: cannot open " << WideToUtf8(request.argument)
            << " (no such file, or a folder)\n";
        return kCliUsage;
    }
    LineSplitter splitter(kImportMaxLineBytes, [&parser](std::string_view line, std::size_t n) {
        return parser.AddLine(line, n);
    });
    bool stopped = false;
    if (!ReadThrough(file.Get(), splitter, stopped)) {
        err << "userlistctl: " << WideToUtf8(request.argument)
            << ": read error; nothing was imported\n";
        return kCliBadImport;
    }
    if (!stopped && splitter.Finish())
        parser.Finish(splitter.LineNumber() - 1);
    if (splitter.TooLong())
        parser.SetProblem(splitter.LineNumber(), "longer than " +
                                                     std::to_string(kImportMaxLineBytes) +
                                                     " bytes (not a list of MD5s)");
    if (parser.Problem())
        return Refuse(err, request, *parser.Problem());
    return kCliOk;
}

std::string ImportStorePath(const std::wstring& importPath) {
    std::string narrow;
    if (ToStorePath(importPath, narrow) == StorePathResult::Ok)
        return narrow;
    const std::size_t slash = importPath.find_last_of(L"\\/");
    const std::wstring name =
        slash == std::wstring::npos ? importPath : importPath.substr(slash + 1);
    if (!name.empty() && ToStorePath(name, narrow) == StorePathResult::Ok)
        return narrow;
    return "import";
}

int CommitImport(FileProcessor& processor, const ImportRequest& request, const ImportParser& parser,
                 std::ostream& out, std::ostream& err) {
    const std::string storePath = ImportStorePath(request.path);
    for (const SkippedRow& row : parser.Skipped())
        out << "skipped\tline " << row.line << '\t' << row.type << '\n';
    for (const ImportEntry& entry : parser.Duplicates())
        out << "duplicate\tline " << entry.line << '\t' << entry.md5 << '\n';

    std::vector<CommitEntry> trusted, black;
    for (const ImportEntry& entry : parser.Entries())
        (entry.list == ListKind::Trusted ? trusted : black)
            .push_back(CommitEntry{entry.md5, storePath});
    ImportReporter reporter(out, WideToUtf8(AnsiToWide(storePath)));
    processor.SetCallback(&reporter);
    // One transaction and one update of the component for the whole file:
    // nobody waits for a turn here, and each transaction of a chunk would
    // write most of the MD5 index again (the feed's MD5s are random).
    processor.SetCommitChunkFiles(std::max(trusted.size(), black.size()));
    EntryOrigin origin = CurrentOrigin("userlistctl import", request.note);
    origin.sourceFile = WideToUtf8(request.path);
    if (!trusted.empty())
        processor.CommitTrusted(trusted, &origin);
    if (!black.empty() && !reporter.Refused() && !reporter.StoreFailed())
        processor.CommitBlack(black, &origin);

    const std::size_t duplicates = parser.Duplicates().size();
    out << reporter.Imported() << " imported, " << SkippedSummary(parser.Skipped()) << ", "
        << duplicates << (duplicates == 1 ? " duplicate\n" : " duplicates\n");
    if (reporter.Refused()) {
        err << "userlistctl: the detection component refused the update\n";
        return kCliRefused;
    }
    return reporter.StoreFailed() ? kCliStoreFailed : kCliOk;
}
