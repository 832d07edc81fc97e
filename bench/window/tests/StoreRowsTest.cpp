// Row counts of the store read while another connection may hold it: a
// missing file is not created, a busy file answers -1 at once instead of
// waiting for the writer.

#include "bench/BenchTimer.h"
#include "bench/window/StoreRows.h"
#include "common/TextConvert.h"
#include "store/SqlDatabase.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

void MakeStore(SqlDatabase& database, const std::wstring& path, int rows) {
    database.Open(WideToUtf8(path).c_str());
    database.RunStatement("CREATE TABLE UserTrusted(ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "Md5 varchar(33) NOT NULL, Path varchar(260) NOT NULL, "
                          "Time varchar(21) NOT NULL)");
    for (int i = 0; i < rows; ++i)
        database.RunStatement("INSERT INTO UserTrusted(Md5, Path, Time) "
                              "VALUES('0123456789abcdef0123456789abcdef', 'C:\\a.exe', '1')");
}

} // namespace

TEST(StoreRows, CountsTheRowsOfATable) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"UserSign.dat");
    SqlDatabase database;
    MakeStore(database, path, 3);
    EXPECT_EQ(3, CountStoreRows(path, "UserTrusted"));
    EXPECT_EQ(-1, CountStoreRows(path, "UserBlack"));
}

TEST(StoreRows, AMissingStoreIsNotCreated) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"UserSign.dat");
    EXPECT_EQ(-1, CountStoreRows(path, "UserTrusted"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

TEST(StoreRows, AStoreLockedByAWriterAnswersAtOnce) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"UserSign.dat");
    SqlDatabase writer;
    MakeStore(writer, path, 2);
    writer.RunStatement("BEGIN EXCLUSIVE");
    writer.RunStatement("INSERT INTO UserTrusted(Md5, Path, Time) VALUES('x', 'y', '1')");
    const BenchTimer timer;
    EXPECT_EQ(-1, CountStoreRows(path, "UserTrusted"));
    EXPECT_LT(timer.Seconds(), 2.0);
    writer.RunStatement("COMMIT");
    EXPECT_EQ(3, CountStoreRows(path, "UserTrusted"));
}
