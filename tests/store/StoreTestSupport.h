#pragma once
// Shared pieces of the store tests: a temporary database file, a second raw
// connection to it, and the store's log lines.

#include <memory>
#include <string>
#include <vector>

#include "store/ORBDBSqliteConn.h"
#include "store/SqlDatabase.h"
#include "common/TextConvert.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// Collects what the code under test writes to standard output.
class StdoutCapture {
public:
    StdoutCapture() { testing::internal::CaptureStdout(); }
    ~StdoutCapture() {
        if (!m_taken)
            testing::internal::GetCapturedStdout();
    }
    // The captured text split into lines; ends the capture.
    std::vector<std::string> Lines();

private:
    bool m_taken = false;
};

class StoreTest : public testing::Test {
protected:
    std::wstring DbPath() const { return m_dir.File(L"UserSign.dat"); }
    std::string DbPathUtf8() const { return WideToUtf8(DbPath()); }

    // A store on the test's file, opened and with both tables.
    std::unique_ptr<ORBDBSqliteConn> OpenStore(int busyTimeoutMs = 2000);

    // A second connection to the same file, outside the store.
    void OpenRaw(SqlDatabase& db) const { db.Open(DbPathUtf8().c_str()); }
    long long Scalar(const std::string& sql) const;
    std::string SchemaSql(const std::string& name) const;

    TempDir m_dir;
};

UserListRecord Record(const char* md5, const char* time, const char* path);
std::string Md5Of(int n); // a distinct 32-digit MD5 text for n

} // namespace testsupport
