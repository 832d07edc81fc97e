#include "userlistctl/DetailCommands.h"

#include "common/HexText.h"
#include "common/TextConvert.h"
#include "store/EntrySearch.h"
#include "store/ORBDBSqliteConn.h"
#include "userlistctl/CliFailures.h"
#include "userlistctl/UserListCommand.h"

namespace {

const char* ListLabel(ListKind list) {
    return list == ListKind::Trusted ? "trusted" : "black";
}

// A text on one line of tab-separated output: tabs and line ends become spaces.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

std::string MachineText(int machine) {
    return machine < 0 ? std::string() : MachineDescription(static_cast<std::uint16_t>(machine));
}

std::string SizeText(std::int64_t size) {
    return size < 0 ? std::string() : std::to_string(size);
}

// The known details of an entry as (field, value) pairs, in the order show
// prints them and --long's columns stand; empty values where unknown.
std::vector<std::pair<const char*, std::string>> DetailFields(const StoredEntryDetails& entry) {
    const EntryFacts& facts = entry.facts;
    const EntryOrigin& origin = entry.origin;
    return {{"sha256", facts.sha256},
            {"size", SizeText(facts.size)},
            {"machine", MachineText(facts.machine)},
            {"company", facts.company},
            {"product", facts.product},
            {"description", facts.description},
            {"version", facts.fileVersion},
            {"original-name", facts.originalName},
            {"added-by", origin.user},
            {"computer", origin.computer},
            {"origin", origin.how},
            {"source-file", origin.sourceFile},
            {"note", origin.note}};
}

// The path as the store holds it (the system's code page) in UTF-8; the
// entries of one import share a path, converted once.
class PathText {
public:
    const std::string& Of(const std::string& stored) {
        if (stored != m_stored) {
            m_stored = stored;
            m_utf8 = WideToUtf8(AnsiToWide(stored));
        }
        return m_utf8;
    }

private:
    std::string m_stored;
    std::string m_utf8;
};

bool MatchesSearch(const EntrySearch& search, const StoredEntryDetails& entry,
                   const std::string& path) {
    EntrySearchFields fields;
    fields.md5 = entry.md5;
    fields.sha256 = entry.facts.sha256;
    fields.path = path;
    fields.product = entry.facts.product;
    fields.company = entry.facts.company;
    fields.note = entry.origin.note;
    return search.Matches(fields);
}

int StoreReadFailure(FileProcessor& processor, std::ostream& err) {
    err << "userlistctl: the store " << WideToUtf8(processor.StorePath()) << " could not be read\n";
    return kCliStoreFailed;
}

// The entries of an MD5 or SHA-256 with their details: kCliOk, or the code
// to end with (said on `err`) when the store cannot be read or holds none.
int ReadEntries(FileProcessor& processor, const std::string& key,
                std::vector<StoredEntryDetails>& entries, std::ostream& err) {
    bool read = false;
    processor.UseStore([&](ORBDBSqliteConn& store) { read = store.ReadDetails(key, entries); });
    if (!read)
        return StoreReadFailure(processor, err);
    if (entries.empty()) {
        err << "userlistctl: not on any list: " << key << '\n';
        return kCliNotFound;
    }
    return kCliOk;
}

} // namespace

long PrintDetailedEntries(FileProcessor& processor, std::ostream& out, ListKind list,
                          const EntrySearch* search, bool longForm) {
    constexpr std::size_t kWriteBytes = 1 << 16;
    std::string text;
    PathText paths;
    long printed = 0;
    bool read = false;
    // The plain list reads the table alone, without a lookup of details per entry.
    const bool withDetails = longForm || search != nullptr;
    processor.UseStore([&](ORBDBSqliteConn& store) {
        read = store.VisitDetailed(
            list,
            [&](const StoredEntryDetails& entry) {
                const std::string& path = paths.Of(entry.path);
                if (search && !MatchesSearch(*search, entry, path))
                    return;
                ++printed;
                text.append(ListLabel(list)).append(1, '\t').append(entry.md5).append(1, '\t');
                text.append(entry.time).append(1, '\t').append(path);
                if (longForm) {
                    for (const auto& field : DetailFields(entry))
                        text.append(1, '\t').append(OneLine(field.second));
                }
                text.append(1, '\n');
                if (text.size() >= kWriteBytes) {
                    out.write(text.data(), static_cast<std::streamsize>(text.size()));
                    text.clear();
                }
            },
            withDetails);
    });
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return read ? printed : -1;
}

int RunFind(FileProcessor& processor, const std::vector<std::wstring>& operands, std::ostream& out,
            std::ostream& err) {
    std::vector<std::wstring> rest = operands;
    const bool longForm = TakeLongOption(rest);
    std::optional<ListKind> only;
    if (rest.size() == 2 && (rest[1] == L"trusted" || rest[1] == L"black"))
        only = rest[1] == L"trusted" ? ListKind::Trusted : ListKind::Black;
    else if (rest.size() != 1) {
        err << "userlistctl: find takes one text, then optionally trusted or black\n";
        return kCliUsage;
    }
    const EntrySearch search(WideToUtf8(rest[0]));
    long found = 0;
    for (const ListKind list : {ListKind::Trusted, ListKind::Black}) {
        if (only && *only != list)
            continue;
        const long printed = PrintDetailedEntries(processor, out, list, &search, longForm);
        if (printed < 0)
            return StoreReadFailure(processor, err);
        found += printed;
    }
    return found > 0 ? kCliOk : kCliNotFound;
}

int RunShow(FileProcessor& processor, const std::string& key, std::ostream& out,
            std::ostream& err) {
    if (!IsHexText(key, kMd5TextLength) && !IsHexText(key, kSha256TextLength)) {
        err << "userlistctl: show needs an MD5 (32 hexadecimal digits) or a SHA-256 (64)\n";
        return kCliUsage;
    }
    std::vector<StoredEntryDetails> entries;
    const int found = ReadEntries(processor, key, entries, err);
    if (found != kCliOk)
        return found;
    PathText paths;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const StoredEntryDetails& entry = entries[i];
        if (i > 0)
            out << '\n';
        out << "list\t" << ListLabel(entry.list) << "\nmd5\t" << entry.md5 << '\n';
        if (!entry.path.empty())
            out << "path\t" << OneLine(paths.Of(entry.path)) << '\n';
        if (!entry.time.empty())
            out << "time\t" << entry.time << '\n';
        // What is known and nothing more.
        for (const auto& field : DetailFields(entry)) {
            if (!field.second.empty())
                out << field.first << '\t' << OneLine(field.second) << '\n';
        }
    }
    return kCliOk;
}

int RunNote(FileProcessor& processor, const std::string& md5, const std::string& note,
            std::ostream& out, std::ostream& err) {
    std::vector<StoredEntryDetails> entries;
    const int found = ReadEntries(processor, md5, entries, err);
    if (found != kCliOk)
        return found;
    for (const StoredEntryDetails& entry : entries) {
        NoteResult result = NoteResult::Failed;
        processor.UseStore(
            [&](ORBDBSqliteConn& store) { result = store.SetNote(entry.list, entry.md5, note); });
        if (result == NoteResult::NotWritable) {
            err << "userlistctl: the store " << WideToUtf8(processor.StorePath())
                << " was made by a newer release (schema version "
                << processor.StoreSchemaState().version << "): its details are read, not written\n";
            return kCliStoreFailed;
        }
        if (result != NoteResult::Set && result != NoteResult::NotHeld) {
            err << "userlistctl: the store could not be written; the note of " << entry.md5
                << " was not set\n";
            return kCliStoreFailed;
        }
        if (result == NoteResult::Set)
            out << (note.empty() ? "cleared\t" : "noted\t") << ListLabel(entry.list) << '\t'
                << entry.md5 << '\n';
    }
    return kCliOk;
}

bool TakeNoteOption(std::vector<std::wstring>& operands, std::optional<std::string>& note,
                    std::string& problem) {
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (operands[i] != L"--note")
            continue;
        if (i + 1 >= operands.size()) {
            problem = "--note needs a text";
            return false;
        }
        if (note) {
            problem = "--note is given twice";
            return false;
        }
        note = WideToUtf8(operands[i + 1]);
        operands.erase(operands.begin() + static_cast<std::ptrdiff_t>(i),
                       operands.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return true;
}

bool TakeLongOption(std::vector<std::wstring>& operands) {
    bool found = false;
    for (std::size_t i = 0; i < operands.size();) {
        if (operands[i] == L"--long") {
            operands.erase(operands.begin() + static_cast<std::ptrdiff_t>(i));
            found = true;
        } else {
            ++i;
        }
    }
    return found;
}
