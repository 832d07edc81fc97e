// Walks analysed on several threads: the reports against the one-thread
// order, stopping, refused and long paths in place.

#include <algorithm>
#include <random>
#include <thread>

#include <windows.h>
#include <tlhelp32.h>

#include "common/Handles.h"
#include "common/TextConvert.h"
#include "intake/Digest.h"
#include "intake/FileProcessor.h"
#include "intake/IntakeWorkers.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/intake/WalkTestSupport.h"
#include "tests/support/ReferenceMd5.h"

using testsupport::ProcessorTest;
using testsupport::ReferenceWalk;
using testsupport::WritePeFile;

namespace {

// Records "<md5> <path>" per report and the threads the reports came on.
class ReportLog : public WardenCallbackBase {
public:
    int OnFileAnalysed(const FileAnalysisRecord* record) override {
        ScopedLock lock(m_lock);
        m_reports.push_back(std::string(record->md5) + " " + WideToUtf8(FullPathOf(*record)));
        m_threads.push_back(GetCurrentThreadId());
        return 0;
    }
    std::vector<std::string> Reports() {
        ScopedLock lock(m_lock);
        return m_reports;
    }
    std::size_t Count() {
        ScopedLock lock(m_lock);
        return m_reports.size();
    }
    // True when every report came on `thread`.
    bool AllOn(DWORD thread) {
        ScopedLock lock(m_lock);
        return std::all_of(m_threads.begin(), m_threads.end(),
                           [thread](DWORD id) { return id == thread; });
    }

private:
    CriticalSection m_lock;
    std::vector<std::string> m_reports;
    std::vector<DWORD> m_threads;
};

// The reports of analysing the files one after the other on this thread.
std::vector<std::string> OneThreadReports(FileProcessor& processor,
                                          const std::vector<std::wstring>& files) {
    ReportLog log;
    processor.SetCallback(&log);
    for (const std::wstring& file : files)
        processor.ProcessFile(file.c_str());
    return log.Reports();
}

std::size_t ThreadsOfThisProcess() {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    std::size_t count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    return count;
}

std::wstring LongName(wchar_t fill) {
    return std::wstring(120, fill);
}

} // namespace

TEST_F(ProcessorTest, AWalkOnSeveralThreadsReportsExactlyAsTheOneThreadWalk) {
    const std::wstring root = TreeFile(L"drop");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    // Slow files (several MiB) among fast ones: later files finish first.
    const std::size_t written = testsupport::WriteMixedTree(root, 24, 40);
    // A file whose walked path does not fit the record.
    const std::wstring nested = root + L"\\dir4\\" + LongName(L'n');
    ASSERT_TRUE(CreateDirectoryW(nested.c_str(), nullptr));
    WritePeFile(nested + L"\\" + LongName(L'f') + L".exe", "long");
    const std::wstring single = TreeFile(L"single.exe");
    WritePeFile(single, "single");
    const std::wstring other = TreeFile(L"other");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    testsupport::WriteMixedTree(other, 3, 7);

    const std::vector<std::wstring> given = {single, root, TreeFile(L"missing.exe"),
                                             TreeFile(LongName(L'g') + LongName(L'h')),
                                             other + L"\\"};
    const std::vector<std::wstring> files = ReferenceWalk(given);
    ASSERT_EQ(1 + written + 1 + 1 + 1 + 21, files.size());
    const std::vector<std::string> expected = OneThreadReports(m_processor, files);

    ReportLog log;
    m_processor.SetCallback(&log);
    EXPECT_EQ(0, m_processor.ExpandPaths(given));
    EXPECT_EQ(expected, log.Reports());
    EXPECT_TRUE(log.AllOn(GetCurrentThreadId()));

    // The digests are the files' own, the refusals in their places.
    const std::vector<std::string> reports = log.Reports();
    ASSERT_EQ(files.size(), reports.size());
    EXPECT_EQ(testsupport::ReferenceMd5OfFile(single), reports[0].substr(0, 32));
    std::size_t refused = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(WideToUtf8(files[i]), reports[i].substr(33)) << i;
        refused += reports[i].compare(0, 32, ZeroDigest) == 0 ? 1 : 0;
    }
    EXPECT_GT(refused, 4u);
}

TEST_F(ProcessorTest, RefusedMissingAndTooLongPathsAreReportedInTheirPlaces) {
    const std::wstring first = TreeFile(L"first.exe");
    const std::wstring last = TreeFile(L"last.exe");
    WritePeFile(first, "first");
    WritePeFile(last, "last");
    const std::wstring textFolder = TreeFile(L"text");
    ASSERT_TRUE(CreateDirectoryW(textFolder.c_str(), nullptr));
    const std::wstring text = textFolder + L"\\notes.txt";
    testsupport::WriteFileBytes(text, "notes", 5);
    const std::wstring longFolder = TreeFile(LongName(L'd'));
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    const std::wstring longFile = longFolder + L"\\" + LongName(L'e') + L".exe";
    WritePeFile(longFile, "too long");
    ASSERT_GE(longFile.size(), 260u);
    const std::wstring missing = TreeFile(L"missing.exe");

    EXPECT_EQ(0, m_processor.ExpandPaths({first, textFolder, longFolder, missing, last}));
    const std::string zero = std::string("file ") + ZeroDigest + " ";
    const std::vector<std::string> expected = {
        "file " + testsupport::ReferenceMd5OfFile(first) + " " + WideToUtf8(first),
        zero + WideToUtf8(text), zero + WideToUtf8(longFile), zero + WideToUtf8(missing),
        "file " + testsupport::ReferenceMd5OfFile(last) + " " + WideToUtf8(last)};
    EXPECT_EQ(expected, m_callback.Events());
    // One path: its own result, as ExpandPath gives it.
    EXPECT_EQ(static_cast<int>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)),
              m_processor.ExpandPaths({first, missing}));
    EXPECT_EQ(0, m_processor.ExpandPaths({missing, first}));
}

TEST_F(ProcessorTest, ShutdownStopsALargeWalkPromptlyAndLeavesNoAnalysisThread) {
    const std::wstring root = TreeFile(L"big");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    constexpr int kFiles = 2000;
    for (int folder = 0; folder < kFiles / 500; ++folder) {
        const std::wstring sub = root + L"\\d" + std::to_wstring(folder);
        ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
        for (int i = 0; i < 500; ++i)
            WritePeFile(sub + L"\\f" + std::to_wstring(i) + L".exe", std::to_string(i));
    }
    ReportLog log;
    m_processor.SetCallback(&log);
    const std::size_t threadsBefore = ThreadsOfThisProcess();
    std::thread worker([&] { m_processor.ExpandPath(root.c_str()); });
    while (log.Count() < 20)
        Sleep(1);
    const DWORD start = GetTickCount();
    m_processor.Shutdown();
    const DWORD took = GetTickCount() - start;
    const std::size_t reported = log.Count();
    // The walk's own threads are gone; only the test's worker may remain.
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore + 1);
    worker.join();
    EXPECT_LT(reported, static_cast<std::size_t>(kFiles / 2));
    EXPECT_EQ(reported, log.Count()); // nothing after Shutdown returned
    EXPECT_LT(took, 2000u);
}

TEST_F(ProcessorTest, ManyPickedFilesAreReportedInTheOrderChosen) {
    std::vector<std::wstring> files;
    for (int i = 0; i < 300; ++i) {
        const std::wstring file = TreeFile(L"p" + std::to_wstring(i) + L".exe");
        WritePeFile(file, std::string(static_cast<std::size_t>(i % 9) * 25000, 'p'));
        files.push_back(file);
    }
    std::shuffle(files.begin(), files.end(), std::mt19937(5));
    const std::vector<std::string> expected = OneThreadReports(m_processor, files);
    ReportLog log;
    m_processor.SetCallback(&log);
    RunPickedFilesWork(m_processor, files);
    EXPECT_EQ(expected, log.Reports());
}
