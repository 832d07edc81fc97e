#include "tests/intake/IntakeTestSupport.h"

#include <cstring>
#include <sstream>

#include "common/TextConvert.h"

namespace testsupport {

int RecordingCallback::OnFileAnalysed(const FileAnalysisRecord* record) {
    return Add("file ", std::string(record->md5) + " " + WideToUtf8(FullPathOf(*record)));
}

int RecordingCallback::Add(const char* kind, const std::string& text) {
    ScopedLock lock(m_lock);
    m_events.push_back(kind + text);
    return 0;
}

std::vector<std::string> RecordingCallback::Events() {
    ScopedLock lock(m_lock);
    return m_events;
}

std::vector<CommitEntry> Entries(std::initializer_list<const char*> md5s, const std::string& path) {
    std::vector<CommitEntry> entries;
    for (const char* md5 : md5s)
        entries.push_back(CommitEntry{md5, path});
    return entries;
}

std::vector<CommitEntry> EntriesOf(const std::vector<std::string>& md5s, const std::string& path) {
    std::vector<CommitEntry> entries;
    for (const std::string& md5 : md5s)
        entries.push_back(CommitEntry{md5, path});
    return entries;
}

std::map<std::string, char> ReadComponentLists(const std::wstring& path) {
    std::map<std::string, char> lists;
    std::istringstream text(ReadFileBytes(path));
    std::string line;
    if (!std::getline(text, line))
        return lists; // no file yet
    EXPECT_EQ("vmrdetect-lists 1", line);
    while (std::getline(text, line)) {
        EXPECT_EQ(34u, line.size()) << line;
        EXPECT_TRUE(line[0] == 'T' || line[0] == 'B') << line;
        EXPECT_TRUE(lists.emplace(line.substr(2), line[0]).second) << line;
    }
    return lists;
}

void ProcessorTest::SetUp() {
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", ListPath().c_str());
    m_processor.SetCallback(&m_callback);
    ASSERT_EQ(0, m_processor.Initialize(StorePath(), StoreBusyTimeoutMs()));
}

void ProcessorTest::TearDown() {
    m_processor.Shutdown();
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr);
}

} // namespace testsupport
