// Row counts of the store read while another connection writes it: a
// missing file is not created, a busy file answers -1 at once instead of
// waiting for the writer, and rows written after the first look are seen.

#include "bench/BenchTimer.h"
#include "bench/window/StoreWatch.h"
#include "common/TextConvert.h"
#include "store/SqlDatabase.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

void AddRows(SqlDatabase& database, int rows) {
    for (int i = 0; i < rows; ++i)
        database.RunStatement("INSERT INTO UserTrusted(Md5, Path, Time) "
                              "VALUES('0123456789abcdef0123456789abcdef', 'C:\\a.exe', '1')");
}

void MakeStore(SqlDatabase& database, const std::wstring& path, int rows) {
    database.Open(WideToUtf8(path).c_str());
    database.RunStatement("CREATE TABLE UserTrusted(ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "Md5 varchar(33) NOT NULL, Path varchar(260) NOT NULL, "
                          "Time varchar(21) NOT NULL)");
    AddRows(database, rows);
}

} // namespace

TEST(StoreWatch, CountsTheRowsOfATableAsTheyChange) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"UserSign.dat");
    SqlDatabase writer;
    MakeStore(writer, path, 3);
    StoreWatch trusted(path, "UserTrusted");
    EXPECT_EQ(3, trusted.Rows());
    AddRows(writer, 2);
    EXPECT_EQ(5, trusted.Rows());
    writer.RunStatement("DELETE FROM UserTrusted WHERE ID = 1");
    EXPECT_EQ(4, trusted.Rows());
    EXPECT_EQ(-1, StoreWatch(path, "UserBlack").Rows());
}

TEST(StoreWatch, AMissingStoreIsNotCreatedAndIsSeenOnceMade) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"UserSign.dat");
    StoreWatch trusted(path, "UserTrusted");
    EXPECT_EQ(-1, trusted.Rows());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
    SqlDatabase writer;
    MakeStore(writer, path, 1);
    EXPECT_EQ(1, trusted.Rows());
}

TEST(StoreWatch, AStoreLockedByAWriterAnswersAtOnce) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"UserSign.dat");
    SqlDatabase writer;
    MakeStore(writer, path, 2);
    StoreWatch trusted(path, "UserTrusted");
    writer.RunStatement("BEGIN EXCLUSIVE");
    AddRows(writer, 1);
    const BenchTimer timer;
    EXPECT_EQ(-1, trusted.Rows());
    EXPECT_LT(timer.Seconds(), 2.0);
    writer.RunStatement("COMMIT");
    EXPECT_EQ(3, trusted.Rows());
}
