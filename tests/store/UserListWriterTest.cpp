// Batched writes of committed files, and stores made before the MD5 index.

#include <string>
#include <vector>

#include "store/ORBDBSqliteConn.h"
#include "store/SqlException.h"
#include "store/SqlQuery.h"
#include "store/UserListSql.h"
#include "store/UserListWriter.h"
#include "tests/store/StoreTestSupport.h"

using testsupport::Md5Of;
using testsupport::Record;
using testsupport::StdoutCapture;
using testsupport::StoreTest;

namespace {

// "<table> <md5> <path> <time>" of every row, in row order.
std::vector<std::string> Rows(SqlDatabase& db) {
    std::vector<std::string> rows;
    for (SqlQuery query =
             db.RunQuery("SELECT 'black' AS t, Md5, Path, Time, ID FROM UserBlack UNION ALL "
                         "SELECT 'trusted', Md5, Path, Time, ID FROM UserTrusted ORDER BY t, ID");
         !query.AtEnd(); query.Advance()) {
        rows.push_back(std::string(query.TextColumn("t")) + " " + query.TextColumn("Md5") + " " +
                       query.TextColumn("Path") + " " + query.TextColumn("Time"));
    }
    return rows;
}

UserListRecord RecordOf(int n, const char* time, const char* path) {
    return Record(Md5Of(n).c_str(), time, path);
}

} // namespace

TEST_F(StoreTest, AStoreMadeWithoutTheIndexesGetsThemWhenOpenedAndKeepsItsRows) {
    {
        SqlDatabase db;
        OpenRaw(db);
        db.RunStatement(CreateTableStatement(ListKind::Black).c_str());
        db.RunStatement(CreateTableStatement(ListKind::Trusted).c_str());
        db.RunStatement(
            InsertStatement(ListKind::Trusted, RecordOf(7, "5", "C:\\old.exe")).c_str());
    }
    EXPECT_EQ(0, Scalar("SELECT count(*) AS v FROM sqlite_master WHERE type = 'index'"));
    StdoutCapture log;
    auto store = OpenStore();
    EXPECT_EQ("CREATE INDEX UserBlack_Md5 ON UserBlack(Md5)", SchemaSql("UserBlack_Md5"));
    EXPECT_EQ("CREATE INDEX UserTrusted_Md5 ON UserTrusted(Md5)", SchemaSql("UserTrusted_Md5"));
    EXPECT_EQ("CREATE INDEX UserTrusted_Time ON UserTrusted(Time)", SchemaSql("UserTrusted_Time"));
    EXPECT_EQ(1, store->UserTrustedExists(Md5Of(7)));
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(StoreTest, AWriterLeavesEachFileOnceInItsTableTheLastRecordOfABatchWinning) {
    auto store = OpenStore();
    const UserListRecord old = RecordOf(1, "1", "C:\\old.exe");
    store->AddUserBlackData(&old);
    store->AddUserBlackData(&old); // two rows of one MD5, both taken off
    const UserListRecord kept = RecordOf(2, "2", "C:\\kept.exe");
    store->AddUserBlackData(&kept);
    const UserListRecord mine = RecordOf(3, "3", "C:\\mine.exe");
    store->AddUserTrustedData(&mine);

    std::unique_ptr<UserListWriter> writer = store->OpenWriter(ListKind::Trusted);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(
        writer->Write({RecordOf(1, "10", "C:\\moved.exe"), RecordOf(4, "10", "C:\\first.exe"),
                       RecordOf(3, "10", "C:\\it's.exe"), RecordOf(4, "10", "C:\\last.exe")}));
    EXPECT_TRUE(writer->Write({})); // an empty batch is a no-op transaction
    writer.reset();
    SqlDatabase db;
    OpenRaw(db);
    const std::vector<std::string> expected = {
        "black " + Md5Of(2) + " C:\\kept.exe 2", "trusted " + Md5Of(1) + " C:\\moved.exe 10",
        "trusted " + Md5Of(3) + " C:\\it's.exe 10", "trusted " + Md5Of(4) + " C:\\last.exe 10"};
    EXPECT_EQ(expected, Rows(db));
}

TEST_F(StoreTest, AWriterBatchThatCannotCommitLeavesNothingAndTheNextBatchGoesThrough) {
    auto store = OpenStore(200);
    std::unique_ptr<UserListWriter> writer = store->OpenWriter(ListKind::Black);
    ASSERT_TRUE(writer);
    SqlDatabase reader;
    OpenRaw(reader);
    reader.RunStatement("BEGIN; SELECT count(*) FROM UserBlack"); // holds its read lock
    {
        StdoutCapture log;
        EXPECT_FALSE(writer->Write({RecordOf(1, "1", "C:\\a.exe")}));
        const std::vector<std::string> lines = log.Lines();
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ("[ORBDBSqliteConn::WriteUserBlackData()] COMMIT execute error: "
                  "SQLITE_BUSY[5]: database is locked",
                  lines[0]);
    }
    EXPECT_EQ(0, Scalar("SELECT count(*) AS v FROM UserBlack"));
    reader.RunStatement("ROLLBACK");
    EXPECT_EQ(0, Scalar("SELECT count(*) AS v FROM UserBlack"));
    EXPECT_TRUE(writer->Write({RecordOf(2, "2", "C:\\b.exe")}));
    EXPECT_EQ(1, Scalar("SELECT count(*) AS v FROM UserBlack"));
}

TEST_F(StoreTest, NoWriterOnAClosedStoreOrAFileThatIsNoDatabase) {
    {
        ORBDBSqliteConn closed(DbPath());
        StdoutCapture log;
        EXPECT_FALSE(closed.OpenWriter(ListKind::Trusted));
        const std::vector<std::string> lines = log.Lines();
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ("[ORBDBSqliteConn::WriteUserTrustedData()] INSERT INTO UserTrusted(Md5, Path, "
                  "Time) VALUES(?1, ?2, ?3) execute error: SQLACCESS_ERROR[1000]: Database not "
                  "open",
                  lines[0]);
    }
    const std::string junk(2048, 'j');
    ASSERT_TRUE(testsupport::WriteFileBytes(DbPath(), junk.data(), 2048));
    StdoutCapture log;
    auto store = OpenStore();
    EXPECT_FALSE(store->OpenWriter(ListKind::Black));
    EXPECT_EQ(junk, testsupport::ReadFileBytes(DbPath()));
}

// The page cache grows while a writer is open (a batch's inserts land all
// over the MD5 index) and is back to the connection's own size after it.
TEST_F(StoreTest, AWriterLetsThePageCacheGrowWhileItIsOpen) {
    SqlDatabase db;
    OpenRaw(db);
    db.RunStatement(CreateTableStatement(ListKind::Black).c_str());
    db.RunStatement(CreateTableStatement(ListKind::Trusted).c_str());
    const auto cacheSize = [&db] {
        SqlQuery query = db.RunQuery("PRAGMA cache_size");
        return query.Int64Column("cache_size");
    };
    db.RunStatement("PRAGMA cache_size = -32768");
    {
        UserListWriter writer(db, ListKind::Black);
        EXPECT_EQ(-262144, cacheSize());
        EXPECT_TRUE(writer.Write({RecordOf(1, "1", "C:\\a.exe")}));
    }
    EXPECT_EQ(-32768, cacheSize());
    // A cache that allows more already is left as it is.
    db.RunStatement("PRAGMA cache_size = -524288");
    {
        UserListWriter writer(db, ListKind::Black);
        EXPECT_EQ(-524288, cacheSize());
    }
    EXPECT_EQ(-524288, cacheSize());
}
