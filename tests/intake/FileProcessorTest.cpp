// The file processor on the real component, with real files and stores.

#include "intake/FileProcessor.h"

#include <algorithm>
#include <map>
#include <thread>

#include "common/TextConvert.h"
#include "intake/Digest.h"
#include "store/ORBDBSqliteConn.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/support/ReferenceMd5.h"

using testsupport::Entries;
using testsupport::EntriesOf;
using testsupport::ProcessorTest;
using testsupport::ReferenceMd5OfFile;
using testsupport::WritePeFile;

namespace {

const char kA[] = "0123456789abcdef0123456789abcdef";
const char kB[] = "fedcba9876543210fedcba9876543210";

// "path -> md5" of the file reports.
std::map<std::string, std::string> FileReports(const std::vector<std::string>& events) {
    std::map<std::string, std::string> reports;
    for (const std::string& event : events) {
        if (event.compare(0, 5, "file ") == 0)
            reports[event.substr(5 + 33)] = event.substr(5, 32);
    }
    return reports;
}

std::string Utf8(const std::wstring& text) {
    return WideToUtf8(text);
}

bool CopySystemFile(const wchar_t* name, const std::wstring& to) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    return CopyFileW((std::wstring(system) + L"\\" + name).c_str(), to.c_str(), FALSE) != FALSE;
}

} // namespace

TEST_F(ProcessorTest, ATreeReportsEveryFileOnceWithItsFullPathAndMd5) {
    const std::wstring root = m_tree.File(L"drop");
    const std::wstring deep = root + L"\\a b\\it's\\\x4E2D\x6587";
    for (const std::wstring& folder : {root, root + L"\\a b", root + L"\\a b\\it's", deep,
                                       root + L"\\empty", root + L"\\empty\\nested"})
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopySystemFile(L"kernel32.dll", root + L"\\kernel32.dll"));
    ASSERT_TRUE(CopySystemFile(L"notepad.exe", deep + L"\\\x8BB0\x4E8B\x672C.exe"));
    WritePeFile(root + L"\\a b\\tool one.exe", "payload one");
    WritePeFile(root + L"\\a b\\it's\\tool two.exe", std::string(3 << 20, 'x')); // several chunks
    testsupport::WriteFileBytes(root + L"\\readme.txt", "just text", 9);
    testsupport::WriteFileBytes(root + L"\\a b\\empty.bin", "", 0);

    EXPECT_EQ(0, m_processor.ExpandPath(root.c_str()));
    const auto reports = FileReports(m_callback.Events());
    EXPECT_EQ(6u, m_callback.Events().size()); // each file once
    const std::vector<std::wstring> accepted = {
        root + L"\\kernel32.dll", deep + L"\\\x8BB0\x4E8B\x672C.exe", root + L"\\a b\\tool one.exe",
        root + L"\\a b\\it's\\tool two.exe"};
    for (const std::wstring& file : accepted) {
        ASSERT_EQ(1u, reports.count(Utf8(file))) << Utf8(file);
        EXPECT_EQ(ReferenceMd5OfFile(file), reports.at(Utf8(file))) << Utf8(file);
    }
    EXPECT_EQ(ZeroDigest, reports.at(Utf8(root + L"\\readme.txt")));
    EXPECT_EQ(ZeroDigest, reports.at(Utf8(root + L"\\a b\\empty.bin")));

    // With a trailing backslash: the same reports.
    testsupport::RecordingCallback again;
    m_processor.SetCallback(&again);
    m_processor.ExpandPath((root + L"\\").c_str());
    EXPECT_EQ(reports, FileReports(again.Events()));
    m_processor.SetCallback(nullptr); // keeps `again`
    m_processor.ExpandPath((root + L"\\empty").c_str());
    EXPECT_EQ(reports.size(), again.Events().size()); // an empty folder reports nothing
    m_processor.SetCallback(&m_callback);
}

TEST_F(ProcessorTest, MissingUnreadableAndVolumeRootPathsAreRefusedFiles) {
    const std::wstring locked = TreeFile(L"locked.exe");
    WritePeFile(locked, "locked");
    HANDLE exclusive =
        CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, exclusive);
    EXPECT_EQ(static_cast<int>(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)),
              m_processor.ProcessFile(locked.c_str()));
    CloseHandle(exclusive);
    EXPECT_EQ(static_cast<int>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)),
              m_processor.ExpandPath(TreeFile(L"missing.exe").c_str()));
    // A volume root is handed over as one file, not walked.
    m_processor.ExpandPath(L"C:\\");
    const std::vector<std::string> events = m_callback.Events();
    ASSERT_EQ(3u, events.size());
    for (const std::string& event : events)
        EXPECT_EQ(0u, event.find(std::string("file ") + ZeroDigest)) << event;
    EXPECT_EQ(std::string("file ") + ZeroDigest + " C:\\", events[2]);
}

TEST_F(ProcessorTest, APathOfTwoHundredSixtyCharactersIsRefusedWholeNotCut) {
    std::wstring path = m_tree.Path();
    while (path.size() < 300)
        path += L"x";
    path += L".exe";
    m_processor.ProcessFile(path.c_str());
    const std::vector<std::string> events = m_callback.Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(std::string("file ") + ZeroDigest + " " + Utf8(path), events[0]);
}

TEST_F(ProcessorTest, BlacklistingATrustedMd5LeavesItOnlyInUserBlackWithAFreshTime) {
    m_processor.CommitTrusted(Entries({kA, kB}));
    UserListRecords trusted;
    m_processor.LoadTrustedEntries(trusted);
    ASSERT_EQ(2u, trusted.size());
    // Make the stored time old so that a fresh one shows.
    {
        ORBDBSqliteConn raw(StorePath());
        raw.Open();
        raw.ExecSql("UPDATE UserTrusted SET Time = '1000000000'");
    }
    EXPECT_EQ(0, m_processor.CommitBlack(Entries({kA}, "C:\\moved.exe")));
    UserListRecords black, after;
    m_processor.LoadBlackEntries(black);
    m_processor.LoadTrustedEntries(after);
    EXPECT_EQ(kSignatureBlack, m_processor.StoredListOf(kA));
    ASSERT_EQ(1u, black.size());
    EXPECT_GT(std::stoll(black[0].Time), 1700000000LL);
    EXPECT_STREQ("C:\\moved.exe", black[0].Path);
    ASSERT_EQ(1u, after.size()); // only kB is left trusted
    EXPECT_STREQ(kB, after[0].Md5);
    const std::map<std::string, char> lists = ComponentLists();
    EXPECT_EQ('B', lists.at(kA));
    EXPECT_EQ('T', lists.at(kB));
}

TEST_F(ProcessorTest, RemovingTakesTheEntryOffComponentAndStore) {
    m_processor.CommitBlack(Entries({kA, kB}));
    EXPECT_EQ(0, m_processor.RemoveBlackEntry(kA));
    EXPECT_EQ(kSignatureNone, m_processor.StoredListOf(kA));
    EXPECT_EQ(kSignatureBlack, m_processor.StoredListOf(kB));
    m_processor.Shutdown(); // writes nothing more; the lists file shows the component's view
    EXPECT_EQ(std::string("vmrdetect-lists 1\nB ") + kB + "\n",
              testsupport::ReadFileBytes(ListPath()));
}

TEST_F(ProcessorTest, ARefusedBeginReportsErrorAndChangesNothing) {
    m_processor.CommitTrusted(Entries({kA}));
    // The list file becomes impossible to replace.
    ASSERT_TRUE(DeleteFileW(ListPath().c_str()));
    ASSERT_TRUE(CreateDirectoryW(ListPath().c_str(), nullptr));
    EXPECT_EQ(-1, m_processor.CommitBlack(Entries({kA, kB})));
    // A removal says so in its outcome, the commit in its error report.
    EXPECT_EQ(RemovalResult::ComponentRefused, m_processor.RemoveEntry(kA).result);
    EXPECT_EQ(-1, m_processor.RemoveTrustedEntry(kA));
    const std::vector<std::string> events = m_callback.Events();
    ASSERT_EQ(4u, events.size()); // begin, done, batch of the first commit, then the error
    EXPECT_EQ("error -1", events[3]);
    EXPECT_EQ(kSignatureTrusted, m_processor.StoredListOf(kA));
    EXPECT_EQ(kSignatureNone, m_processor.StoredListOf(kB));
    RemoveDirectoryW(ListPath().c_str());
}

TEST_F(ProcessorTest, ChinesePathsAreStoredAndReadBackExactly) {
    const std::string narrow = WideToAnsi(L"C:\\\x5DE5\x5177\\\x626B\x63CF.exe");
    m_processor.CommitTrusted({CommitEntry{kA, narrow}});
    UserListRecords records;
    m_processor.LoadTrustedEntries(records);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(narrow, records[0].Path);
    EXPECT_EQ(L"C:\\\x5DE5\x5177\\\x626B\x63CF.exe", AnsiToWide(records[0].Path));

    // A narrow path that does not fit the record is not stored cut.
    m_processor.CommitBlack({CommitEntry{kB, std::string(260, 'p')}});
    EXPECT_EQ(kSignatureNone, m_processor.StoredListOf(kB));
}

TEST_F(ProcessorTest, CommitsFromTwoThreadsAtOnceStoreEveryFileOnce) {
    std::vector<std::string> first, second;
    for (int i = 0; i < 40; ++i) {
        char md5[33];
        wsprintfA(md5, "%032x", i);
        (i % 2 ? first : second).push_back(md5);
    }
    m_processor.SetCommitChunkFiles(3); // chunks of the two commits interleave
    std::thread a([&] { m_processor.CommitTrusted(EntriesOf(first)); });
    std::thread b([&] { m_processor.CommitBlack(EntriesOf(second)); });
    a.join();
    b.join();
    UserListRecords trusted, black;
    m_processor.LoadTrustedEntries(trusted);
    m_processor.LoadBlackEntries(black);
    EXPECT_EQ(20u, trusted.size());
    EXPECT_EQ(20u, black.size());
    for (const std::string& md5 : first)
        EXPECT_EQ(kSignatureTrusted, m_processor.StoredListOf(md5));
}

TEST_F(ProcessorTest, ShutdownWhileAWorkerWalksATreeStopsItCleanly) {
    const std::wstring root = m_tree.File(L"big");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    for (int i = 0; i < 400; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\f%d.exe", i);
        WritePeFile(root + name, "x");
    }
    std::thread worker([&] { m_processor.ExpandPath(root.c_str()); });
    while (m_callback.Events().size() < 5)
        Sleep(1);
    m_processor.Shutdown();
    const std::size_t reported = m_callback.Events().size();
    worker.join();
    EXPECT_LT(reported, 400u);
    EXPECT_EQ(reported, m_callback.Events().size()); // nothing after the shutdown
    EXPECT_EQ(-1, m_processor.ExpandPath(root.c_str()));
    EXPECT_EQ(-1, m_processor.CommitTrusted(Entries({kA})));
}

TEST(FileProcessor, WithoutAComponentNothingIsAnalysedOrStoredAndChangesReportTheFailure) {
    FileProcessor processor;
    testsupport::RecordingCallback callback;
    processor.SetCallback(&callback);
    EXPECT_EQ(-1, processor.ExpandPath(L"C:\\"));
    EXPECT_TRUE(callback.Events().empty());
    // A commit or removal without the component's lists is a failure the
    // window shows (its component-failure box), not a silent nothing.
    EXPECT_EQ(-1, processor.CommitTrusted(Entries({kA})));
    EXPECT_EQ(-1, processor.CommitBlack(Entries({kA})));
    EXPECT_EQ(-1, processor.RemoveTrustedEntry(kA));
    EXPECT_EQ(-1, processor.RemoveBlackEntry(kA));
    EXPECT_EQ((std::vector<std::string>(4, "error " + std::to_string(kComponentMissing))),
              callback.Events());
    UserListRecords records;
    processor.LoadTrustedEntries(records);
    EXPECT_TRUE(records.empty());
}
