#include "tests/intake/IntakeTestSupport.h"

#include <cstring>

#include "common/TextConvert.h"

namespace testsupport {

int RecordingCallback::OnFileAnalysed(const FileAnalysisRecord* record) {
    return Add("file ", std::string(record->md5) + " " + WideToUtf8(FullPathOf(*record)));
}

int RecordingCallback::OnTrustedItemDone(const char* md5) {
    Add("done+ ", md5);
    if (storeOnDone)
        storeOnDone->StoreTrusted(md5, storePath);
    return 0;
}

int RecordingCallback::OnBlackItemDone(const char* md5) {
    Add("done- ", md5);
    if (storeOnDone)
        storeOnDone->StoreBlack(md5, storePath);
    return 0;
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

void ProcessorTest::SetUp() {
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", ListPath().c_str());
    m_processor.SetCallback(&m_callback);
    ASSERT_EQ(0, m_processor.Initialize(StorePath()));
}

void ProcessorTest::TearDown() {
    m_processor.Shutdown();
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr);
}

} // namespace testsupport
