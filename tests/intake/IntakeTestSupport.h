#pragma once
// A FileProcessor on the real component with lists and store of the test's
// own, and a callback that records every report.

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "intake/FileProcessor.h"
#include "tests/support/GTest.h"
#include "tests/support/PeFile.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// Records the reports as texts: "file <md5> <path>", "begin+ <md5>",
// "done- <md5>", "batch+ <n>", "error <code>" (+ trusted, - black).
class RecordingCallback : public IWardenCallback {
public:
    int Reserved0() override { return 0; }
    int Reserved2(int) override { return 0; }
    int OnFileAnalysed(const FileAnalysisRecord* record) override;
    int OnTrustedItemBegin(const char* md5) override { return Add("begin+ ", md5); }
    int OnBlackItemBegin(const char* md5) override { return Add("begin- ", md5); }
    int OnTrustedItemDone(const char* md5) override { return Add("done+ ", md5); }
    int OnBlackItemDone(const char* md5) override { return Add("done- ", md5); }
    int OnTrustedBatchDone(int count) override { return Add("batch+ ", std::to_string(count)); }
    int OnBlackBatchDone(int count) override { return Add("batch- ", std::to_string(count)); }
    int OnError(int code) override { return Add("error ", std::to_string(code)); }

    std::vector<std::string> Events();

private:
    int Add(const char* kind, const std::string& text);
    CriticalSection m_lock;
    std::vector<std::string> m_events;
};

// Files to commit: each MD5 with the same path.
std::vector<CommitEntry> Entries(std::initializer_list<const char*> md5s,
                                 const std::string& path = "C:\\stored.exe");
std::vector<CommitEntry> EntriesOf(const std::vector<std::string>& md5s,
                                   const std::string& path = "C:\\stored.exe");

// The component's list file as it is on disk: MD5 -> 'T' or 'B'. Fails the
// test when the file is there but not a list file.
std::map<std::string, char> ReadComponentLists(const std::wstring& path);

class ProcessorTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The processor's wait for a store locked by another connection.
    virtual int StoreBusyTimeoutMs() const { return SqlDatabase::kDefaultBusyTimeoutMs; }
    std::wstring StorePath() const { return m_dir.File(L"UserSign.dat"); }
    std::wstring ListPath() const { return m_dir.File(L"vmrdetect.lists"); }
    std::map<std::string, char> ComponentLists() const { return ReadComponentLists(ListPath()); }
    // A tree folder for test files.
    std::wstring TreeFile(std::wstring_view name) const { return m_tree.File(name); }

    TempDir m_dir;
    TempDir m_tree;
    FileProcessor m_processor;
    RecordingCallback m_callback;
};

} // namespace testsupport
