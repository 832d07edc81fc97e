#include "userlistctl/UserListCommand.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "common/TextConvert.h"
#include "intake/CurrentOrigin.h"
#include "intake/Digest.h"
#include "intake/FileProcessor.h"
#include "intake/StorePath.h"
#include "store/ORBDBSqliteConn.h"
#include "userlistctl/CheckCommand.h"
#include "userlistctl/CliFailures.h"
#include "userlistctl/CliPaths.h"
#include "userlistctl/DetailCommands.h"
#include "userlistctl/ExportCommand.h"
#include "userlistctl/ImportCommand.h"

const char kUserListCtlUsage[] =
    "usage: userlistctl [--store FILE] COMMAND ARGS...\n"
    "\n"
    "  scan PATH...         analyse files and folders as a drop does: \"<md5>\\t<path>\",\n"
    "                       \"refused\\t<path>\" or \"unreadable\\t<path>\\t<reason>\" per file\n"
    "  trust PATH... [--note TEXT]\n"
    "                       analyse, then commit every accepted file to the whitelist\n"
    "                       (with its SHA-256, size and version details, who added it\n"
    "                       and the note)\n"
    "  block PATH... [--note TEXT]\n"
    "                       the same to the blacklist\n"
    "  list [trusted|black] [--long]\n"
    "                       the stored entries: \"<list>\\t<md5>\\t<time>\\t<path>\";\n"
    "                       --long adds sha256, size, machine, company, product,\n"
    "                       description, version, original-name, added-by, computer,\n"
    "                       origin, source-file and note (empty where not known)\n"
    "  find TEXT [trusted|black] [--long]\n"
    "                       the entries whose MD5 or SHA-256 starts with TEXT, or whose\n"
    "                       path, product, company or note contains it (case ignored),\n"
    "                       as list prints them\n"
    "  show MD5|SHA256      every known detail of the entries: \"<field>\\t<value>\"\n"
    "  note MD5 TEXT        set the entry's note (\"\" clears it)\n"
    "  remove MD5...        take each MD5 off the list that holds it\n"
    "  export csv|hdb|fp [trusted|black] [-o FILE]\n"
    "                       the lists as a CSV of FileMd5 indicators (both lists),\n"
    "                       a ClamAV .hdb (the blacklist) or .fp (the whitelist)\n"
    "  import FILE [--list trusted|black] [--note TEXT]\n"
    "                       MD5s from such a CSV, ClamAV hash lines or one MD5 a line,\n"
    "                       committed as dropped files are; a file with any malformed\n"
    "                       line imports nothing\n"
    "  check                whether this installation works: version, the detection\n"
    "                       component and its machine type, the store and its entries,\n"
    "                       network share, virtualisation; \"<what>\\t<finding>\" lines\n"
    "\n"
    "  --store FILE         use FILE instead of UserSign.dat beside the program\n"
    "\n"
    "exit codes: 0 done, 1 an MD5 to remove, show or note is on no list, or find found\n"
    "            nothing, 2 bad command line,\n"
    "            3 the detection component refused the update, 4 no detection component\n"
    "            (nothing changed; list and export still work), 5 a file was left out\n"
    "            because the store cannot record its path, 6 the store cannot be opened,\n"
    "            read or written (the files printed before were committed), 7 the import file\n"
    "            is malformed or holds nothing to import (nothing imported), 8 the export\n"
    "            file could not be written, 9 a file could not be read (the others were\n"
    "            done), 10 the store is on a network share, 11 the store's writes are or\n"
    "            were virtualised (check only)\n";

namespace {

// Receives the processor's reports for one command.
class CliReporter : public IWardenCallback {
public:
    CliReporter(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    struct Accepted {
        std::string md5;
        std::wstring path;
        std::shared_ptr<const EntryFacts> facts;
    };

    // Analysis: a scan prints every file and keeps none; a commit prints the
    // refused ones and keeps the accepted ones once per MD5.
    int OnFileAnalysed(const FileAnalysisRecord* record) override {
        ++m_files;
        const wchar_t* const path = FullPathOf(*record);
        if (IsUnreadable(*record)) {
            ++m_unreadable;
            m_out << "unreadable\t" << WideToUtf8(path) << '\t'
                  << ReadErrorReason(record->readError) << '\n';
            return 0;
        }
        const bool refused = std::strcmp(record->md5, ZeroDigest) == 0;
        if (refused)
            ++m_refused;
        if (m_printAnalysis || refused)
            m_out << (refused ? "refused" : record->md5) << '\t' << WideToUtf8(path) << '\n';
        if (refused || m_printAnalysis)
            return 0;
        if (m_md5Index.emplace(record->md5, m_accepted.size()).second)
            m_accepted.push_back(Accepted{
                record->md5, path,
                record->facts ? std::make_shared<const EntryFacts>(*record->facts) : nullptr});
        else
            m_out << "duplicate\t" << record->md5 << '\t' << WideToUtf8(path) << '\n';
        return 0;
    }

    // A done report comes once the file is in the store: it is printed, not
    // stored again.
    int OnTrustedItemDone(const char* md5) override { return PrintDone(md5, ListKind::Trusted); }
    int OnBlackItemDone(const char* md5) override { return PrintDone(md5, ListKind::Black); }
    int OnError(int code) override {
        if (code == kComponentFailed)
            m_failed = true;
        else if (code == kStoreWriteFailed)
            m_storeFailed = true;
        else if (code == kPathNotStorable)
            m_leftOut = true;
        return 0;
    }
    int Reserved0() override { return 0; }
    int Reserved2(int) override { return 0; }
    int OnTrustedItemBegin(const char*) override { return 0; }
    int OnBlackItemBegin(const char*) override { return 0; }
    int OnTrustedBatchDone(int) override { return 0; }
    int OnBlackBatchDone(int) override { return 0; }

    void PrintAnalysis(bool print) { m_printAnalysis = print; }
    void PrintSummary() const {
        m_out << m_files << " files, " << m_refused << " refused";
        if (m_unreadable > 0)
            m_out << ", " << m_unreadable << " unreadable";
        m_out << '\n';
    }
    bool Unreadable() const { return m_unreadable > 0; }
    bool Failed() const { return m_failed; }
    bool StoreFailed() const { return m_storeFailed; }
    bool LeftOut() const { return m_leftOut; }

    // The accepted files whose paths the store can carry; the others are
    // reported and left out of the commit.
    std::vector<CommitEntry> StorableFiles() {
        std::vector<CommitEntry> files;
        for (Accepted& file : m_accepted) {
            std::string narrow;
            const StorePathResult result = ToStorePath(file.path, narrow);
            if (result != StorePathResult::Ok) {
                m_err << "userlistctl: not committed: " << WideToUtf8(file.path) << ": "
                      << StorePathProblem(result) << '\n';
                m_leftOut = true;
                continue;
            }
            m_narrowPaths[file.md5] = narrow;
            files.push_back(CommitEntry{file.md5, narrow, file.facts});
        }
        return files;
    }

private:
    int PrintDone(const char* md5, ListKind list) {
        const std::string& narrow = m_narrowPaths[md5];
        m_out << (list == ListKind::Trusted ? "trusted\t" : "blocked\t") << md5 << '\t'
              << WideToUtf8(AnsiToWide(narrow)) << '\n';
        return 0;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_printAnalysis = true;
    bool m_failed = false;
    bool m_storeFailed = false;
    bool m_leftOut = false;
    int m_files = 0;
    int m_refused = 0;
    int m_unreadable = 0;
    std::vector<Accepted> m_accepted;
    std::unordered_map<std::string, std::size_t> m_md5Index;
    std::unordered_map<std::string, std::string> m_narrowPaths;
};

struct CommandLine {
    std::wstring storePath;
    std::string command;
    std::vector<std::wstring> operands;
};

int UsageError(std::ostream& err, const std::string& message) {
    err << "userlistctl: " << message << "\n" << kUserListCtlUsage;
    return kCliUsage;
}

bool ResolvePaths(const std::vector<std::wstring>& operands, std::vector<std::wstring>& paths,
                  std::ostream& err) {
    for (const std::wstring& operand : operands) {
        const std::wstring path = ResolveCliPath(operand);
        if (!PathExists(path)) {
            err << "userlistctl: no such file or folder: " << WideToUtf8(operand) << '\n';
            return false;
        }
        paths.push_back(path);
    }
    return true;
}

// One walk over every path: the files are analysed in parallel and reported
// in walk order, so the output is the same as one path after the other.
void Analyse(FileProcessor& processor, const std::vector<std::wstring>& paths) {
    processor.ExpandPaths(paths);
}

int Scan(FileProcessor& processor, CliReporter& reporter, const std::vector<std::wstring>& paths) {
    Analyse(processor, paths);
    reporter.PrintSummary();
    return reporter.Unreadable() ? kCliUnreadable : kCliOk;
}

int Commit(FileProcessor& processor, CliReporter& reporter, const std::vector<std::wstring>& paths,
           ListKind list, const std::string& note) {
    reporter.PrintAnalysis(false);
    Analyse(processor, paths);
    const std::vector<CommitEntry> files = reporter.StorableFiles();
    const EntryOrigin origin =
        CurrentOrigin(list == ListKind::Trusted ? "userlistctl trust" : "userlistctl block", note);
    if (!files.empty()) {
        if (list == ListKind::Trusted)
            processor.CommitTrusted(files, &origin);
        else
            processor.CommitBlack(files, &origin);
    }
    reporter.PrintSummary();
    if (reporter.Failed())
        return kCliRefused;
    if (reporter.StoreFailed())
        return kCliStoreFailed;
    if (reporter.LeftOut())
        return kCliNotRecorded;
    return reporter.Unreadable() ? kCliUnreadable : kCliOk;
}

int List(FileProcessor& processor, const CommandLine& line, std::ostream& out, std::ostream& err) {
    std::vector<std::wstring> operands = line.operands;
    const bool longForm = TakeLongOption(operands);
    if (operands.size() > 1)
        return UsageError(err, "list takes at most one of: trusted, black");
    const std::string which = operands.empty() ? "" : WideToUtf8(operands[0]);
    if (!which.empty() && which != "trusted" && which != "black")
        return UsageError(err, "unknown list: " + which + " (trusted or black)");
    for (const ListKind list : {ListKind::Trusted, ListKind::Black}) {
        if (!which.empty() && which != (list == ListKind::Trusted ? "trusted" : "black"))
            continue;
        if (PrintDetailedEntries(processor, out, list, nullptr, longForm) < 0)
            return kCliStoreFailed;
    }
    return kCliOk;
}

int Remove(FileProcessor& processor, const std::vector<std::string>& md5s, std::ostream& out,
           std::ostream& err) {
    int code = kCliOk;
    for (const std::string& md5 : md5s) {
        ListSet stored;
        if (!processor.StoredListsOf(md5, stored)) {
            err << "userlistctl: the store could not be read; " << md5 << " was not removed\n";
            return kCliStoreFailed;
        }
        if (!stored.Any()) {
            err << "userlistctl: not on any list: " << md5 << '\n';
            code = kCliNotFound;
            continue;
        }
        const RemovalOutcome removal = processor.RemoveEntry(md5);
        switch (removal.result) {
        case RemovalResult::Removed:
        case RemovalResult::NotHeld: // taken off meanwhile by another program
        case RemovalResult::NotOnList:
            // Off every list that held it: both, when the store had it on both.
            if (stored.trusted)
                out << "removed\ttrusted\t" << md5 << '\n';
            if (stored.black)
                out << "removed\tblack\t" << md5 << '\n';
            break;
        case RemovalResult::ComponentRefused:
        case RemovalResult::Unavailable:
            err << "userlistctl: the detection component refused the update\n";
            return kCliRefused;
        case RemovalResult::ComponentNotSaved:
            err << "userlistctl: the detection component could not save its lists; " << md5
                << " is still listed\n";
            return kCliRefused;
        case RemovalResult::StoreFailed:
            err << "userlistctl: the store could not be written; " << md5 << " is still listed\n";
            return kCliStoreFailed;
        case RemovalResult::StoreUnreadable:
            err << "userlistctl: the store could not be read; " << md5 << " was not removed\n";
            return kCliStoreFailed;
        }
    }
    return code;
}

// What a command needs of the installation.
struct CommandNeeds {
    bool component;   // it analyses files or changes the component's lists
    bool readsStore;  // it reads the store
    bool writesStore; // it changes the store
};

CommandNeeds NeedsOf(const std::string& command) {
    if (command == "scan")
        return CommandNeeds{true, false, false};
    if (command == "list" || command == "export" || command == "find" || command == "show")
        return CommandNeeds{false, true, false};
    if (command == "note")
        return CommandNeeds{false, true, true};
    return CommandNeeds{true, true, true}; // trust, block, remove, import
}

// Refuses a command the installation cannot carry out before it changes
// anything, naming the file at fault and why.
int CheckReadiness(const FileProcessor& processor, const CommandNeeds& needs, std::ostream& err) {
    if (needs.component && !processor.HasComponent()) {
        err << "userlistctl: " << ComponentFailureLine(processor.ComponentFailure()) << '\n';
        return kCliNoComponent;
    }
    const StoreAccess& store = processor.StoreState();
    const bool blocked = store.problem == StoreProblem::CannotOpen
                             ? needs.readsStore
                             : store.problem == StoreProblem::CannotWrite && needs.writesStore;
    if (!blocked)
        return kCliOk;
    err << "userlistctl: " << StoreFailureLine(processor.StorePath(), store) << '\n';
    return kCliStoreFailed;
}

bool ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLine& line,
                      std::ostream& err, int& code) {
    std::size_t next = 0;
    while (next < arguments.size() && arguments[next] == L"--store") {
        if (next + 1 >= arguments.size()) {
            code = UsageError(err, "--store needs a file");
            return false;
        }
        line.storePath = ResolveCliPath(arguments[next + 1]);
        next += 2;
    }
    if (next >= arguments.size()) {
        code = UsageError(err, "missing command");
        return false;
    }
    line.command = WideToUtf8(arguments[next]);
    line.operands.assign(arguments.begin() + static_cast<std::ptrdiff_t>(next) + 1,
                         arguments.end());
    return true;
}

// A command's operands, read and checked before anything is touched.
struct CommandOperands {
    std::vector<std::wstring> paths; // scan, trust, block
    std::vector<std::string> md5s;   // remove
    std::string note;                // trust, block, import: --note; note: its text
    ExportRequest exportRequest;
    ImportRequest importRequest;
    std::unique_ptr<ImportParser> importParser; // import: the file, read whole
};

bool AnalysesFiles(const std::string& command) {
    return command == "scan" || command == "trust" || command == "block";
}

// kCliOk with the operands read, else the code to end with (the reason
// written to `err`).
int ReadOperands(const CommandLine& line, CommandOperands& operands, std::ostream& err) {
    std::string problem;
    if (line.command == "export") {
        if (!ParseExportArguments(line.operands, operands.exportRequest, problem))
            return UsageError(err, problem);
    } else if (line.command == "import") {
        std::vector<std::wstring> rest = line.operands;
        std::optional<std::string> note;
        if (!TakeNoteOption(rest, note, problem) ||
            !ParseImportArguments(rest, operands.importRequest, problem))
            return UsageError(err, problem);
        operands.importRequest.note = note.value_or("");
        // The whole file is checked before the component or the store is touched.
        operands.importParser = std::make_unique<ImportParser>(operands.importRequest.list);
        return CheckImportFile(operands.importRequest, *operands.importParser, err);
    } else if (AnalysesFiles(line.command)) {
        std::vector<std::wstring> rest = line.operands;
        std::optional<std::string> note;
        if (line.command != "scan" && !TakeNoteOption(rest, note, problem))
            return UsageError(err, problem);
        operands.note = note.value_or("");
        if (rest.empty())
            return UsageError(err, line.command + " needs at least one path");
        if (!ResolvePaths(rest, operands.paths, err))
            return kCliUsage;
    } else if (line.command == "show") {
        if (line.operands.size() != 1)
            return UsageError(err, "show takes one MD5 or SHA-256");
    } else if (line.command == "note") {
        if (line.operands.size() != 2)
            return UsageError(err, "note takes an MD5 and a text (\"\" clears the note)");
        const std::string md5 = WideToUtf8(line.operands[0]);
        if (!IsMd5Text(md5))
            return UsageError(err, "malformed MD5: " + md5 + " (32 hexadecimal digits)");
        operands.md5s.push_back(md5);
        operands.note = WideToUtf8(line.operands[1]);
    } else if (line.command == "remove") {
        if (line.operands.empty())
            return UsageError(err, "remove needs at least one MD5");
        for (const std::wstring& operand : line.operands) {
            const std::string md5 = WideToUtf8(operand);
            if (!IsMd5Text(md5))
                return UsageError(err, "malformed MD5: " + md5 + " (32 hexadecimal digits)");
            operands.md5s.push_back(LowerMd5(md5));
        }
    }
    return kCliOk;
}

// Runs a command that changes or reads the lists, once the processor is
// ready for it.
int RunCommand(FileProcessor& processor, CliReporter& reporter, const CommandLine& line,
               CommandOperands& operands, std::ostream& out, std::ostream& err) {
    if (line.command == "scan")
        return Scan(processor, reporter, operands.paths);
    if (line.command == "trust")
        return Commit(processor, reporter, operands.paths, ListKind::Trusted, operands.note);
    if (line.command == "block")
        return Commit(processor, reporter, operands.paths, ListKind::Black, operands.note);
    if (line.command == "list")
        return List(processor, line, out, err);
    if (line.command == "find")
        return RunFind(processor, line.operands, out, err);
    if (line.command == "show")
        return RunShow(processor, WideToUtf8(line.operands[0]), out, err);
    if (line.command == "note")
        return RunNote(processor, operands.md5s[0], operands.note, out, err);
    if (line.command == "export")
        return RunExport(processor, operands.exportRequest, out, err);
    if (line.command == "import")
        return CommitImport(processor, operands.importRequest, *operands.importParser, out, err);
    return Remove(processor, operands.md5s, out, err);
}

} // namespace

int RunUserListCtl(const std::vector<std::wstring>& arguments, std::ostream& out,
                   std::ostream& err) {
    return RunUserListCtl(arguments, out, err, CliEnvironment());
}

int RunUserListCtl(const std::vector<std::wstring>& arguments, std::ostream& out, std::ostream& err,
                   const CliEnvironment& environment) {
    for (const std::wstring& argument : arguments) {
        if (argument == L"--help" || argument == L"-h") {
            out << kUserListCtlUsage;
            return kCliOk;
        }
    }
    CommandLine line;
    int code = kCliOk;
    if (!ParseCommandLine(arguments, line, err, code))
        return code;

    const bool analyses = AnalysesFiles(line.command);
    static const char* const kOtherCommands[] = {"list",  "remove", "export", "import",
                                                 "check", "find",   "show",   "note"};
    if (!analyses && std::find(std::begin(kOtherCommands), std::end(kOtherCommands),
                               line.command) == std::end(kOtherCommands))
        return UsageError(err, "unknown command: " + line.command);
    if (line.command == "check" && !line.operands.empty())
        return UsageError(err, "check takes no operands");
    CommandOperands operands;
    code = ReadOperands(line, operands, err);
    if (code != kCliOk)
        return code;

    FileProcessor processor;
    CliReporter reporter(out, err);
    processor.SetCallback(&reporter);
    processor.SetComponentLibrary(environment.componentLibrary);
    const std::wstring store =
        line.storePath.empty() ? ORBDBSqliteConn::DefaultDatabasePath() : line.storePath;
    processor.Initialize(store);
    if (line.command == "check")
        return RunCheck(processor, environment, out, err);
    code = CheckReadiness(processor, NeedsOf(line.command), err);
    if (code != kCliOk)
        return code;

    code = RunCommand(processor, reporter, line, operands, out, err);
    if (code == kCliRefused && analyses)
        err << "userlistctl: the detection component refused the update\n";
    if (code == kCliStoreFailed)
        err << "userlistctl: the store could not be written; the commit stopped\n";
    out.flush();
    return code;
}
