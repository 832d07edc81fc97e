#include "userlistctl/ExportCommand.h"

#include <cstdint>
#include <unordered_map>

#include <windows.h>

#include "common/FileWrites.h"
#include "common/Handles.h"
#include "common/TextConvert.h"
#include "userlistctl/CliPaths.h"
#include "userlistctl/ClamHashLine.h"
#include "userlistctl/CsvText.h"
#include "userlistctl/ListExchange.h"
#include "userlistctl/UserListCommand.h"

namespace {

// Collects the component's MD5 of each analysed file, in report order.
class DigestCollector : public WardenCallbackBase {
public:
    struct Digest {
        std::wstring path;
        std::string md5;
    };

    int OnFileAnalysed(const FileAnalysisRecord* record) override {
        m_digests.push_back(Digest{record->path, record->md5});
        return 0;
    }

    const std::vector<Digest>& Digests() const { return m_digests; }

private:
    std::vector<Digest> m_digests;
};

UserListRecords LoadList(FileProcessor& processor, ListKind list) {
    UserListRecords records;
    if (list == ListKind::Trusted)
        processor.LoadTrustedEntries(records);
    else
        processor.LoadBlackEntries(records);
    return records;
}

// Where an export's text goes as it is made: the standard output, or a new
// file beside the named one that takes its place once all of it is
// written (a failed export leaves the old file as it was). The text is
// handed over in pieces, so that a million entries are never all in memory.
class ExportSink {
public:
    ExportSink(const std::wstring& path, std::ostream& out)
        : m_toFile(!path.empty()), m_file(path), m_out(out) {}

    bool Open() { return !m_toFile || m_file.Open(); }
    // Writes the text once it has grown large (or, `all`, whatever it
    // holds) and empties it; false when the file could not take it.
    bool Drain(std::string& text, bool all = false) {
        constexpr std::size_t kPieceBytes = 1 << 20;
        if (text.empty() || (!all && text.size() < kPieceBytes))
            return m_ok;
        if (!m_toFile)
            m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
        else
            m_ok = m_ok && m_file.Write(text.data(), text.size());
        text.clear();
        return m_ok;
    }
    // The rest of the text written, the file flushed and put in place.
    bool Finish(std::string& text) {
        m_ok = Drain(text, true) && (!m_toFile || m_file.Commit());
        return m_ok;
    }

private:
    const bool m_toFile;
    ReplacingFile m_file; // unused for the standard output
    std::ostream& m_out;
    bool m_ok = true;
};

std::string PathUtf8(const UserListRecord& record) {
    return WideToUtf8(AnsiToWide(record.Path));
}

// The list's entries as CSV records, each as it is read and handed to the
// sink in pieces; the entries of one imported file (one path, one time)
// share their converted texts. The number of entries.
std::size_t AppendCsv(std::string& text, ExportSink& sink, FileProcessor& processor,
                      ListKind list) {
    std::size_t entries = 0;
    std::string lastPath;
    std::string lastTime;
    std::string path;
    std::string name;
    std::string time;
    processor.VisitEntries(list, [&](const UserListRecord& record) {
        if (entries == 0 || lastPath != record.Path) {
            lastPath = record.Path;
            path = PathUtf8(record);
            name = std::string(FileNameOf(path));
        }
        if (entries == 0 || lastTime != record.Time) {
            lastTime = record.Time;
            time = IsoUtcTime(record.Time);
        }
        AppendCsvRecord(text, {kCsvMd5Type, record.Md5, CsvActionOf(list), name, path, time});
        sink.Drain(text);
        ++entries;
    });
    return entries;
}

struct SizedFile {
    std::wstring path;
    std::uint64_t size;
};

// The plain files at the entries' stored paths now, each once (imported
// entries share the import file's path), with their sizes; `fileOf` gives
// each entry's index among them, or npos.
std::vector<SizedFile> FilesStillThere(const UserListRecords& records,
                                       std::vector<std::size_t>& fileOf) {
    std::vector<SizedFile> files;
    std::unordered_map<std::wstring, std::size_t> known;
    fileOf.assign(records.size(), std::wstring::npos);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::wstring path = AnsiToWide(records[i].Path);
        const auto found = known.find(path);
        if (found != known.end()) {
            fileOf[i] = found->second;
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            known.emplace(path, std::wstring::npos);
            continue;
        }
        const std::uint64_t size =
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        known.emplace(path, files.size());
        fileOf[i] = files.size();
        files.push_back(SizedFile{path, size});
    }
    return files;
}

// The size of each entry's file when the file at its stored path still has
// the entry's MD5, as the component computes it; no size otherwise.
std::vector<std::optional<std::uint64_t>> VerifiedSizes(FileProcessor& processor,
                                                        const UserListRecords& records) {
    std::vector<std::optional<std::uint64_t>> sizes(records.size());
    std::vector<std::size_t> fileOf;
    const std::vector<SizedFile> files = FilesStillThere(records, fileOf);
    if (files.empty())
        return sizes;
    std::vector<std::wstring> paths;
    for (const SizedFile& file : files)
        paths.push_back(file.path);
    DigestCollector collector;
    processor.SetCallback(&collector);
    processor.ExpandPaths(paths); // one report per plain file, in the given order
    const std::vector<DigestCollector::Digest>& digests = collector.Digests();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t file = fileOf[i];
        if (file >= files.size() || file >= digests.size())
            continue;
        if (digests[file].path == files[file].path && digests[file].md5 == records[i].Md5)
            sizes[i] = files[file].size;
    }
    return sizes;
}

void AppendClam(std::string& text, FileProcessor& processor, ListKind list,
                const UserListRecords& records) {
    const std::vector<std::optional<std::uint64_t>> sizes = VerifiedSizes(processor, records);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string path = PathUtf8(records[i]);
        text += ClamHashLine(records[i].Md5, sizes[i], ClamSignatureName(list, FileNameOf(path)));
    }
}

bool ParseFormat(const std::wstring& word, ExportRequest& request) {
    if (word == L"csv")
        request.format = ExportFormat::Csv;
    else if (word == L"hdb")
        request.format = ExportFormat::ClamDetect;
    else if (word == L"fp")
        request.format = ExportFormat::ClamAllow;
    else
        return false;
    return true;
}

std::vector<ListKind> DefaultLists(ExportFormat format) {
    switch (format) {
    case ExportFormat::ClamDetect:
        return {ListKind::Black};
    case ExportFormat::ClamAllow:
        return {ListKind::Trusted};
    case ExportFormat::Csv:
        break;
    }
    return {ListKind::Trusted, ListKind::Black};
}

} // namespace

bool ParseExportArguments(const std::vector<std::wstring>& operands, ExportRequest& request,
                          std::string& problem) {
    std::vector<std::wstring> words;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (operands[i] == L"-o") {
            if (i + 1 >= operands.size() || operands[i + 1].empty()) {
                problem = "-o needs a file";
                return false;
            }
            request.outputArgument = operands[++i];
            request.outputPath = ResolveCliPath(request.outputArgument);
        } else {
            words.push_back(operands[i]);
        }
    }
    if (words.empty() || words.size() > 2 || !ParseFormat(words[0], request)) {
        problem = "export takes a format (csv, hdb or fp), then at most one of: trusted, black";
        return false;
    }
    request.lists = DefaultLists(request.format);
    if (words.size() == 2) {
        if (words[1] == L"trusted")
            request.lists = {ListKind::Trusted};
        else if (words[1] == L"black")
            request.lists = {ListKind::Black};
        else {
            problem = "unknown list: " + WideToUtf8(words[1]) + " (trusted or black)";
            return false;
        }
    }
    return true;
}

int RunExport(FileProcessor& processor, const ExportRequest& request, std::ostream& out,
              std::ostream& err) {
    ExportSink sink(request.outputPath, out);
    const auto cannotWrite = [&] {
        err << "userlistctl: cannot write " << WideToUtf8(request.outputArgument) << '\n';
        return kCliWriteFailed;
    };
    if (!sink.Open())
        return cannotWrite();
    std::string text;
    std::size_t entries = 0;
    if (request.format == ExportFormat::Csv)
        text = CsvRecord(std::vector<std::string>(std::begin(kCsvColumns), std::end(kCsvColumns)));
    for (const ListKind list : request.lists) {
        if (request.format == ExportFormat::Csv) {
            entries += AppendCsv(text, sink, processor, list);
            continue;
        }
        const UserListRecords records = LoadList(processor, list);
        entries += records.size();
        AppendClam(text, processor, list, records);
    }
    if (!sink.Finish(text))
        return cannotWrite();
    if (!request.outputPath.empty())
        out << entries << " exported to " << WideToUtf8(request.outputPath) << '\n';
    return kCliOk;
}
