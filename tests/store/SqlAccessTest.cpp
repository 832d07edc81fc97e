// The SQL access layer against real database files.

#include <string>

#include <sqlite3.h>

#include "store/SqlDatabase.h"
#include "store/SqlException.h"
#include "tests/store/StoreTestSupport.h"

using testsupport::StoreTest;

TEST(SqlException, NamesEveryCodeOfTheTableAndNothingElse) {
    EXPECT_STREQ("SQLITE_OK", SqlException::ErrorName(0));
    EXPECT_STREQ("SQLITE_ERROR", SqlException::ErrorName(1));
    EXPECT_STREQ("SQLITE_BUSY", SqlException::ErrorName(5));
    EXPECT_STREQ("SQLITE_CANTOPEN", SqlException::ErrorName(14));
    EXPECT_STREQ("SQLITE_AUTH", SqlException::ErrorName(23));
    EXPECT_STREQ("SQLITE_FORMAT", SqlException::ErrorName(24));
    EXPECT_STREQ("SQLITE_RANGE", SqlException::ErrorName(25));
    EXPECT_STREQ("UNKNOWN_ERROR", SqlException::ErrorName(26));
    EXPECT_STREQ("SQLITE_ROW", SqlException::ErrorName(100));
    EXPECT_STREQ("SQLITE_DONE", SqlException::ErrorName(101));
    EXPECT_STREQ("SQLACCESS_ERROR", SqlException::ErrorName(1000));
    EXPECT_STREQ("UNKNOWN_ERROR", SqlException::ErrorName(-1));
    EXPECT_STREQ("UNKNOWN_ERROR", SqlException::ErrorName(99));
}

TEST(SqlException, FormatsNameCodeAndDetailAndReleasesEngineText) {
    EXPECT_STREQ("SQLITE_ERROR[1]: detail", SqlException(1, "detail").Message());
    EXPECT_STREQ("SQLITE_ERROR[1]: ", SqlException(1, nullptr, false).Message());
    char* engineText = sqlite3_mprintf("from %s", "engine");
    const SqlException error(7, engineText, true); // released: a leak checker would see it
    EXPECT_STREQ("SQLITE_NOMEM[7]: from engine", error.Message());
    const SqlException copy = error;
    EXPECT_EQ(7, copy.Code());
    EXPECT_STREQ(error.Message(), copy.Message());
    EXPECT_NE(error.Message(), copy.Message()); // its own text
}

namespace {

SqlException CaughtFrom(void (*action)(SqlDatabase&), SqlDatabase& db) {
    try {
        action(db);
    } catch (const SqlException& error) {
        return error;
    }
    return SqlException(0, "nothing was raised");
}

} // namespace

TEST(SqlDatabase, EveryOperationOnAClosedHandleRaisesDatabaseNotOpen) {
    SqlDatabase db;
    EXPECT_FALSE(db.IsOpen());
    for (auto action : {+[](SqlDatabase& d) { d.RunStatement("SELECT 1"); },
                        +[](SqlDatabase& d) { d.RunQuery("SELECT 1"); }}) {
        const SqlException error = CaughtFrom(action, db);
        EXPECT_EQ(1000, error.Code());
        EXPECT_STREQ("SQLACCESS_ERROR[1000]: Database not open", error.Message());
    }
    db.Close(); // closing a closed handle does nothing
    EXPECT_FALSE(db.IsOpen());
}

class SqlDatabaseTest : public StoreTest {
protected:
    void SetUp() override { OpenRaw(m_db); }
    SqlDatabase m_db;
};

TEST_F(SqlDatabaseTest, OpeningCreatesTheFileAndStatementsCountChangedRows) {
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(DbPath().c_str()));
    EXPECT_EQ(60000, m_db.BusyTimeout());
    m_db.RunStatement("CREATE TABLE t(a, b)");
    EXPECT_EQ(1, m_db.RunStatement("INSERT INTO t VALUES(1, 'x')"));
    m_db.RunStatement("INSERT INTO t VALUES(2, NULL)");
    EXPECT_EQ(2, m_db.RunStatement("UPDATE t SET a = a + 10"));
}

TEST_F(SqlDatabaseTest, CompileFailureHasNoDetailButExecuteFailureHasTheEnginesText) {
    try {
        m_db.RunQuery("SELECT * FROM missing");
        FAIL() << "no exception";
    } catch (const SqlException& error) {
        EXPECT_EQ(1, error.Code());
        EXPECT_STREQ("SQLITE_ERROR[1]: ", error.Message());
    }
    try {
        m_db.RunStatement("bogus statement");
        FAIL() << "no exception";
    } catch (const SqlException& error) {
        EXPECT_EQ(1, error.Code());
        EXPECT_STREQ("SQLITE_ERROR[1]: near \"bogus\": syntax error", error.Message());
    }
}

TEST_F(SqlDatabaseTest, CursorsWalkRowsAndReadColumnsByExactName) {
    m_db.RunStatement("CREATE TABLE t(ID INTEGER, Name TEXT);"
                      "INSERT INTO t VALUES(1, 'one'); INSERT INTO t VALUES(NULL, NULL);"
                      "INSERT INTO t VALUES(3, 'three');");
    SqlQuery rows = m_db.RunQuery("SELECT ID, Name FROM t ORDER BY rowid");
    EXPECT_EQ(2, rows.ColumnCount());
    std::string seen;
    for (; !rows.AtEnd(); rows.Advance()) {
        seen +=
            std::to_string(rows.IntColumn("ID", -7)) + ":" + rows.TextColumn("Name", "null") + " ";
    }
    EXPECT_EQ("1:one -7:null 3:three ", seen);

    SqlQuery one = m_db.RunQuery("SELECT ID FROM t");
    for (const char* wrong : {"id", "Id", "ID ", ""}) {
        try {
            one.ColumnIndex(wrong);
            FAIL() << wrong;
        } catch (const SqlException& error) {
            EXPECT_STREQ("SQLACCESS_ERROR[1000]: Invalid field name requested", error.Message());
        }
    }
    EXPECT_THROW(one.ColumnIndex(nullptr), SqlException);
    EXPECT_EQ(0, one.ColumnIndex("ID"));
    try {
        one.IsNull(1);
        FAIL();
    } catch (const SqlException& error) {
        EXPECT_STREQ("SQLACCESS_ERROR[1000]: Invalid field index requested", error.Message());
    }
}

TEST_F(SqlDatabaseTest, AQueryWithoutRowsIsAtEndAtOnce) {
    m_db.RunStatement("CREATE TABLE t(a)");
    SqlQuery rows = m_db.RunQuery("SELECT a FROM t");
    EXPECT_TRUE(rows.AtEnd());
}

TEST_F(SqlDatabaseTest, AMovedCursorLeavesTheSourceWithoutStatement) {
    SqlQuery source = m_db.RunQuery("SELECT 5 AS v");
    SqlQuery target = std::move(source);
    EXPECT_EQ(5, target.IntColumn("v"));
    try {
        source.AtEnd(); // NOLINT(bugprone-use-after-move): the point of the test
        FAIL();
    } catch (const SqlException& error) {
        EXPECT_STREQ("SQLACCESS_ERROR[1000]: Null Virtual Machine pointer", error.Message());
    }
    target = m_db.RunQuery("SELECT 6 AS v"); // the old statement is finalised
    EXPECT_EQ(6, target.IntColumn("v"));
    target.Finish();
    EXPECT_THROW(target.AtEnd(), SqlException);
}

TEST_F(SqlDatabaseTest, AFailedAdvanceFinalisesAndTheCursorThenDiesQuietly) {
    SqlQuery rows = m_db.RunQuery("SELECT 1 AS v UNION ALL SELECT abs(-9223372036854775807 - 1)");
    EXPECT_EQ(1, rows.IntColumn("v"));
    try {
        rows.Advance();
        FAIL();
    } catch (const SqlException& error) {
        EXPECT_EQ(1, error.Code());
        EXPECT_STREQ("SQLITE_ERROR[1]: integer overflow", error.Message());
    }
    EXPECT_THROW(rows.AtEnd(), SqlException);
    // Destruction of `rows` at scope end must not finalise again.
}

TEST_F(SqlDatabaseTest, OpeningWhereNoFileCanBeMadeRaisesCantOpen) {
    SqlDatabase db;
    const std::string path = WideToUtf8(m_dir.File(L"no\\such\\folder\\x.db"));
    try {
        db.Open(path.c_str());
        FAIL();
    } catch (const SqlException& error) {
        EXPECT_EQ(14, error.Code());
        EXPECT_EQ(0, std::string(error.Message()).find("SQLITE_CANTOPEN[14]: "));
    }
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(SqlDatabaseTest, ALockHeldByAnotherConnectionIsWaitedForUpToTheBusyTimeout) {
    m_db.RunStatement("CREATE TABLE t(a)");
    SqlDatabase other;
    other.SetBusyTimeout(300);
    OpenRaw(other);
    m_db.RunStatement("BEGIN EXCLUSIVE");
    const DWORD start = GetTickCount();
    try {
        other.RunStatement("INSERT INTO t VALUES(1)");
        FAIL() << "the exclusive lock was not honoured";
    } catch (const SqlException& error) {
        EXPECT_EQ(5, error.Code());
    }
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 5000u);
    m_db.RunStatement("COMMIT");
    EXPECT_EQ(1, other.RunStatement("INSERT INTO t VALUES(1)"));
}

TEST_F(SqlDatabaseTest, ClosingInsideATransactionRollsItBack) {
    m_db.RunStatement("CREATE TABLE t(a); INSERT INTO t VALUES('kept')");
    m_db.RunStatement("BEGIN; INSERT INTO t VALUES('lost'); UPDATE t SET a = 'changed'");
    // The connection goes away in the middle of its transaction.
    m_db.Close();
    SqlDatabase reopened;
    OpenRaw(reopened);
    SqlQuery rows = reopened.RunQuery("SELECT group_concat(a) AS v FROM t");
    EXPECT_STREQ("kept", rows.TextColumn("v"));
}

TEST_F(SqlDatabaseTest, APreparedStatementRunsAgainWithNewValuesAndAfterAFailure) {
    m_db.RunStatement("CREATE TABLE t(k TEXT UNIQUE, v TEXT)");
    SqlStatement insert = m_db.Prepare("INSERT INTO t VALUES(?1, ?2)");
    const std::string quoted = "it's; DROP TABLE t;--";
    insert.BindText(1, "a");
    insert.BindText(2, quoted);
    EXPECT_EQ(1, insert.Run());
    insert.BindText(1, "a"); // the unique key again
    insert.BindText(2, "second");
    try {
        insert.Run();
        FAIL() << "no exception";
    } catch (const SqlException& error) {
        EXPECT_EQ(19, error.Code());
        EXPECT_STREQ("SQLITE_CONSTRAINT[19]: UNIQUE constraint failed: t.k", error.Message());
    }
    // Reset and cleared by the failure: the next values go in, and an unbound
    // value is NULL, not the last one bound.
    insert.BindText(1, "b");
    EXPECT_EQ(1, insert.Run());
    SqlQuery rows = m_db.RunQuery("SELECT group_concat(k || '=' || ifnull(v, 'null'), ' ') AS v "
                                  "FROM t");
    EXPECT_EQ("a=" + quoted + " b=null", std::string(rows.TextColumn("v")));
    EXPECT_FALSE(m_db.InTransaction());

    try {
        m_db.Prepare("INSERT INTO missing VALUES(?1)");
        FAIL() << "no exception";
    } catch (const SqlException& error) {
        EXPECT_STREQ("SQLITE_ERROR[1]: no such table: missing", error.Message());
    }
    SqlStatement moved = std::move(insert);
    EXPECT_THROW(insert.Run(), SqlException); // NOLINT(bugprone-use-after-move)
    moved.BindText(1, "c");
    EXPECT_EQ(1, moved.Run());
}
