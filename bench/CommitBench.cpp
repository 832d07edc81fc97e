// Commits of 100,000 files through the file processor, on the real component
// and store: into an empty store, into a store already holding 100,000 other
// files, and moving 100,000 files from the whitelist to the blacklist; then
// the removal of one entry with 100,000 stored. Writes the same rows as SQL
// texts for the sqlite3 shell's reference run (bench/commit_bench.sh) and
// prints one "<name> <value>" line per measurement.
//
//   commit_bench FOLDER                 the measurements above
//   commit_bench FOLDER --chunks N...   commits into an empty store in chunks
//                                       of N files each

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/BenchTimer.h"
#include "common/TextConvert.h"
#include "intake/FileProcessor.h"
#include "store/ORBDBSqliteConn.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kRemovals = 21;

// Files of set `set`: distinct MD5s spread over the key space, plausible paths.
std::vector<CommitEntry> FilesOf(unsigned set) {
    std::vector<CommitEntry> files;
    files.reserve(kFiles);
    for (unsigned i = 0; i < kFiles; ++i) {
        char md5[33];
        std::snprintf(md5, sizeof md5, "%08x%016x%08x", i * 2654435761u, set, i);
        char path[96];
        std::snprintf(path, sizeof path, "C:\\Program Files\\Vendor %u\\App %03u\\bin\\f%06u.exe",
                      set, i % 500, i);
        files.push_back(CommitEntry{md5, path});
    }
    return files;
}

// The rows as the shell inserts them, in one transaction.
void WriteShellInserts(const std::wstring& path, const std::vector<CommitEntry>& files) {
    std::ofstream sql(path.c_str(), std::ios::binary);
    sql << "BEGIN;\n";
    for (const CommitEntry& file : files)
        sql << "INSERT INTO UserTrusted(Md5, Path, Time) VALUES('" << file.md5 << "', '"
            << file.path << "', '1800000000');\n";
    sql << "COMMIT;\n";
}

// Counts the done reports; a commit that did not finish is not a measurement.
class DoneCounter : public WardenCallbackBase {
public:
    int OnTrustedItemDone(const char*) override { return ++done; }
    int OnBlackItemDone(const char*) override { return ++done; }
    int OnError(int code) override {
        std::printf("error %d\n", code);
        return 0;
    }
    int done = 0;
};

// A processor on its own store and list file in `folder`.
class Bench {
public:
    Bench(const std::wstring& folder, const std::wstring& name, std::size_t chunkFiles)
        : m_store(folder + name + L".dat"), m_lists(folder + name + L".lists") {
        DeleteFileW(m_store.c_str());
        DeleteFileW(m_lists.c_str());
        SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", m_lists.c_str());
        m_processor.SetCallback(&m_counter);
        m_processor.SetCommitChunkFiles(chunkFiles);
        if (m_processor.Initialize(m_store) != 0) {
            std::printf("no detection component\n");
            std::exit(1);
        }
    }

    // Seconds for one commit; exits when not every file was done.
    double Commit(ListKind list, const std::vector<CommitEntry>& files) {
        m_counter.done = 0;
        const BenchTimer timer;
        const int result = list == ListKind::Trusted ? m_processor.CommitTrusted(files)
                                                     : m_processor.CommitBlack(files);
        const double seconds = timer.Seconds();
        if (result != 0 || m_counter.done != static_cast<int>(files.size())) {
            std::printf("commit failed: %d, %d done\n", result, m_counter.done);
            std::exit(1);
        }
        return seconds;
    }

    FileProcessor& Processor() { return m_processor; }
    const std::wstring& StorePath() const { return m_store; }

private:
    std::wstring m_store;
    std::wstring m_lists;
    DoneCounter m_counter;
    FileProcessor m_processor;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Removes kRemovals trusted entries one at a time: the whole removal
// (component and store), and the store's delete alone on another file.
void MeasureRemoval(Bench& bench, const std::vector<CommitEntry>& stored) {
    std::vector<double> whole;
    for (int i = 0; i < kRemovals; ++i) {
        const BenchTimer timer;
        bench.Processor().RemoveTrustedEntry(stored[i * 4099].md5);
        whole.push_back(timer.Seconds() * 1000);
    }
    std::printf("remove_one_ms %.2f\nremove_one_max_ms %.2f\n", Median(whole),
                *std::max_element(whole.begin(), whole.end()));
}

void MeasureStoreDelete(const std::wstring& storePath, const std::vector<CommitEntry>& stored) {
    ORBDBSqliteConn store(storePath);
    store.Open();
    std::vector<double> deletes;
    for (int i = 0; i < kRemovals; ++i) {
        const BenchTimer timer;
        store.DelUserTrustedData(stored[i * 4099 + 1].md5);
        deletes.push_back(timer.Seconds() * 1000);
    }
    std::printf("store_delete_ms %.2f\n", Median(deletes));
}

void MeasureAll(const std::wstring& folder) {
    const std::vector<CommitEntry> first = FilesOf(1);
    const std::vector<CommitEntry> second = FilesOf(2);
    WriteShellInserts(folder + L"first.sql", first);
    WriteShellInserts(folder + L"second.sql", second);
    std::printf("chunk_files %u\n", static_cast<unsigned>(FileProcessor::kDefaultCommitChunkFiles));
    {
        Bench empty(folder, L"empty", FileProcessor::kDefaultCommitChunkFiles);
        std::printf("commit_into_empty_s %.3f\n", empty.Commit(ListKind::Trusted, first));
        MeasureRemoval(empty, first);
    }
    MeasureStoreDelete(folder + L"empty.dat", first);
    Bench full(folder, L"full", FileProcessor::kDefaultCommitChunkFiles);
    full.Commit(ListKind::Trusted, first);
    std::printf("commit_into_100000_s %.3f\n", full.Commit(ListKind::Trusted, second));
    std::printf("commit_moving_100000_s %.3f\n", full.Commit(ListKind::Black, first));
}

void MeasureChunks(const std::wstring& folder, const std::vector<std::size_t>& chunks) {
    const std::vector<CommitEntry> first = FilesOf(1);
    const std::vector<CommitEntry> second = FilesOf(2);
    for (const std::size_t chunk : chunks) {
        Bench bench(folder, L"chunks", chunk);
        const double empty = bench.Commit(ListKind::Trusted, first);
        const double full = bench.Commit(ListKind::Trusted, second);
        std::printf("chunk %u commit_into_empty_s %.3f commit_into_100000_s %.3f\n",
                    static_cast<unsigned>(chunk), empty, full);
    }
}

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: commit_bench FOLDER [--chunks N...]\n");
        return 2;
    }
    std::wstring folder = argv[1];
    if (folder.back() != L'\\')
        folder += L'\\';
    if (argc > 2 && std::wstring(argv[2]) == L"--chunks") {
        std::vector<std::size_t> chunks;
        for (int i = 3; i < argc; ++i)
            chunks.push_back(static_cast<std::size_t>(_wtoi(argv[i])));
        MeasureChunks(folder, chunks);
    } else {
        MeasureAll(folder);
    }
    return 0;
}
