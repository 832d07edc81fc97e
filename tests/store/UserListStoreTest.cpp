// The user-list store on real database files.

#include <string>
#include <thread>
#include <vector>

#include "common/ModulePath.h"
#include "store/ORBDBSqliteConn.h"
#include "store/SqlException.h"
#include "store/UserListSql.h"
#include "tests/store/StoreTestSupport.h"

using testsupport::Md5Of;
using testsupport::Record;
using testsupport::StdoutCapture;
using testsupport::StoreTest;

namespace {

const char kMd5A[] = "0123456789abcdef0123456789abcdef";
const char kMd5B[] = "fedcba9876543210fedcba9876543210";

std::vector<std::string> Paths(const UserListRecords& records) {
    std::vector<std::string> paths;
    for (const UserListRecord& record : records)
        paths.push_back(record.Path);
    return paths;
}

// The create statement as the engine records it in its schema.
std::string StoredCreateText(ListKind table) {
    const std::string sent = CreateTableStatement(table);
    return "CREATE TABLE" + sent.substr(std::string("Create Table").size());
}

} // namespace

TEST_F(StoreTest, TheDefaultFileIsUserSignDatBesideTheExecutable) {
    EXPECT_EQ(GetModuleFolder(nullptr) + L"UserSign.dat", ORBDBSqliteConn::DefaultDatabasePath());
    EXPECT_EQ(ORBDBSqliteConn::DefaultDatabasePath(), ORBDBSqliteConn().DatabasePath());
}

// A window opens its store on a worker that then ends, and the store is
// used and closed by other threads: the threads' ends must leave the heap
// whole (a per-thread object of the store's file layer once broke it).
TEST_F(StoreTest, StoresOpenedOnThreadsThatEndLeaveTheHeapWhole) {
    std::vector<std::unique_ptr<ORBDBSqliteConn>> stores(8);
    for (auto& store : stores) {
        std::thread([&] { store = OpenStore(); }).join();
        ASSERT_NE(nullptr, store);
    }
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> churn;
        for (int i = 0; i < 200; ++i)
            churn.emplace_back(static_cast<std::size_t>(16 + (i * 37) % 300), 'x');
    }
    for (auto& store : stores) {
        UserListRecords records;
        EXPECT_EQ(0, store->LoadUserTrustedData(records));
        store.reset();
    }
}

TEST_F(StoreTest, FirstStartCreatesTheFileAndBothTablesSecondStartFindsThem) {
    StdoutCapture log;
    {
        ORBDBSqliteConn store(DbPath());
        EXPECT_EQ(-1, store.Open()); // new file
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(DbPath().c_str()));
        EXPECT_EQ(0, store.InitUserBlackTable());
        EXPECT_EQ(0, store.InitUserTrustedTable());
        UserListRecords untouched{Record(kMd5A, "1", "C:\\keep.exe")};
        EXPECT_EQ(0, store.LoadUserBlackData(untouched));
        EXPECT_EQ(std::vector<std::string>{"C:\\keep.exe"}, Paths(untouched));
        EXPECT_EQ(1, store.AddUserTrustedData(&untouched[0]));
        EXPECT_EQ(0, store.Close());
    }
    {
        ORBDBSqliteConn store(DbPath());
        EXPECT_EQ(0, store.Open());
        EXPECT_EQ(0, store.InitUserBlackTable());
        EXPECT_EQ(0, store.InitUserTrustedTable());
        EXPECT_EQ(1, store.UserTrustedExists(kMd5A)); // the row survived: nothing recreated
    }
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(StoreTest, TheSchemaHoldsTheExactCreateTextsAndAnMd5AndATimeIndexPerTable) {
    OpenStore();
    // The engine keeps the statement as it was sent, except that it writes its
    // leading "Create Table" in capitals.
    EXPECT_EQ(StoredCreateText(ListKind::Black), SchemaSql("UserBlack"));
    EXPECT_EQ(StoredCreateText(ListKind::Trusted), SchemaSql("UserTrusted"));
    EXPECT_EQ("CREATE TABLE UserBlack(ID \t\tINTEGER PRIMARY KEY AUTOINCREMENT,Md5\t\tvarchar(33) "
              "NOT NULL,Path\t\tvarchar(260) NOT NULL,Time\t\tvarchar(21) NOT NULL)",
              SchemaSql("UserBlack"));
    EXPECT_EQ("CREATE INDEX UserBlack_Md5 ON UserBlack(Md5)", SchemaSql("UserBlack_Md5"));
    EXPECT_EQ("CREATE INDEX UserTrusted_Md5 ON UserTrusted(Md5)", SchemaSql("UserTrusted_Md5"));
    EXPECT_EQ("CREATE INDEX UserBlack_Time ON UserBlack(Time)", SchemaSql("UserBlack_Time"));
    EXPECT_EQ("CREATE INDEX UserTrusted_Time ON UserTrusted(Time)", SchemaSql("UserTrusted_Time"));
    EXPECT_EQ(2, Scalar("SELECT count(*) AS v FROM sqlite_master WHERE type = 'index' AND "
                        "tbl_name = 'UserTrusted'"));
}

// Existence queries find the MD5 in its index; the entries are read in the
// order of the Time index, with no sort of their own.
TEST_F(StoreTest, ExistenceQueriesAndTheLoadUseTheIndexes) {
    OpenStore();
    SqlDatabase db;
    OpenRaw(db);
    SqlQuery plan =
        db.RunQuery(("EXPLAIN QUERY PLAN " + ExistsStatement(ListKind::Trusted, kMd5A)).c_str());
    EXPECT_NE(std::string::npos, std::string(plan.TextColumn("detail")).find("UserTrusted_Md5"));
    for (const ListKind table : {ListKind::Black, ListKind::Trusted}) {
        std::string details;
        SqlQuery load = db.RunQuery(("EXPLAIN QUERY PLAN " + LoadStatement(table)).c_str());
        for (; !load.AtEnd(); load.Advance())
            details += std::string(load.TextColumn("detail")) + "\n";
        EXPECT_EQ("SCAN " + std::string(TableName(table)) + " USING INDEX " + TableName(table) +
                      "_Time\n",
                  details);
    }
}

TEST_F(StoreTest, ATableDroppedOutsideIsRecreatedEmptyAtTheNextStart) {
    {
        auto store = OpenStore();
        const UserListRecord record = Record(kMd5A, "5", "C:\\a.exe");
        store->AddUserTrustedData(&record);
        store->AddUserBlackData(&record);
    }
    {
        SqlDatabase db;
        OpenRaw(db);
        db.RunStatement("DROP TABLE UserTrusted");
    }
    StdoutCapture log;
    auto store = OpenStore();
    EXPECT_EQ(StoredCreateText(ListKind::Trusted), SchemaSql("UserTrusted"));
    EXPECT_EQ(0, Scalar("SELECT count(*) AS v FROM UserTrusted"));
    EXPECT_EQ(1, store->UserBlackExists(kMd5A));
    EXPECT_EQ(-1, store->UserTrustedExists(kMd5A));
    const std::vector<std::string> lines = log.Lines();
    EXPECT_TRUE(lines.empty()) << lines[0];
}

TEST_F(StoreTest, DuplicateMd5RowsAreFoundAsTheLastAndDeletedTogether) {
    auto store = OpenStore();
    const UserListRecord first = Record(kMd5A, "10", "C:\\one.exe");
    const UserListRecord second = Record(kMd5A, "11", "C:\\two.exe");
    EXPECT_EQ(1, store->AddUserBlackData(&first));
    EXPECT_EQ(2, store->AddUserBlackData(&second));
    EXPECT_EQ(2, store->UserBlackExists(kMd5A));
    EXPECT_EQ(-1, store->UserTrustedExists(kMd5A)); // the other table knows nothing
    EXPECT_EQ(0, store->DelUserBlackData(kMd5A));
    EXPECT_EQ(-1, store->UserBlackExists(kMd5A));
    // AUTOINCREMENT never reuses a number.
    EXPECT_EQ(3, store->AddUserBlackData(&first));
}

TEST_F(StoreTest, MatchingIsExactAndCaseSensitive) {
    auto store = OpenStore();
    const UserListRecord record = Record(kMd5A, "1", "C:\\a.exe");
    store->AddUserTrustedData(&record);
    EXPECT_EQ(-1, store->UserTrustedExists("0123456789ABCDEF0123456789ABCDEF"));
    EXPECT_EQ(-1, store->UserTrustedExists(std::string(kMd5A) + " "));
    EXPECT_EQ(1, store->UserTrustedExists(kMd5A));
}

TEST_F(StoreTest, QuotesInValuesAreStoredLiterallyAndCannotAddStatements) {
    auto store = OpenStore();
    StdoutCapture log;
    const char* const paths[] = {"C:\\a'b\\x.exe", "C:\\x'); DROP TABLE UserTrusted;--.exe",
                                 "C:\\''\\'.exe"};
    int time = 100;
    for (const char* path : paths) {
        const std::string stamp = std::to_string(time++);
        const UserListRecord record = Record(kMd5B, stamp.c_str(), path);
        EXPECT_GT(store->AddUserTrustedData(&record), 0) << path;
    }
    UserListRecords loaded;
    store->LoadUserTrustedData(loaded);
    EXPECT_EQ(std::vector<std::string>(std::begin(paths), std::end(paths)), Paths(loaded));

    const std::string hostileMd5 = "x' OR '1'='1";
    EXPECT_EQ(-1, store->UserTrustedExists(hostileMd5));
    EXPECT_EQ(0, store->DelUserTrustedData("x'; DELETE FROM UserTrusted; --"));
    EXPECT_EQ(3, Scalar("SELECT count(*) AS v FROM UserTrusted"));
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(StoreTest, ChinesePathsInTheSystemCodePageComeBackByteForByte) {
    auto store = OpenStore();
    const std::string path = WideToAnsi(L"C:\\\x8F6F\x4EF6\\\x6D4B\x8BD5.exe");
    ASSERT_EQ(16u, path.size()); // four double-byte characters in code page 936
    const UserListRecord record = Record(kMd5A, "1", path.c_str());
    store->AddUserBlackData(&record);
    UserListRecords loaded;
    store->LoadUserBlackData(loaded);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ(path, loaded[0].Path);
}

TEST_F(StoreTest, LoadingReturnsEveryRowOrderedByTimeAndLeavesEmptyResultsAlone) {
    auto store = OpenStore();
    for (const char* time : {"1700000300", "1700000100", "1700000200"}) {
        const std::string path = std::string("C:\\") + time + ".exe";
        const UserListRecord record = Record(kMd5A, time, path.c_str());
        store->AddUserTrustedData(&record);
    }
    UserListRecords loaded{Record(kMd5B, "0", "C:\\old.exe")};
    EXPECT_EQ(0, store->LoadUserTrustedData(loaded));
    ASSERT_EQ(3u, loaded.size());
    EXPECT_STREQ("1700000100", loaded[0].Time);
    EXPECT_STREQ("1700000200", loaded[1].Time);
    EXPECT_STREQ("1700000300", loaded[2].Time);
    EXPECT_STREQ(kMd5A, loaded[2].Md5);
    EXPECT_STREQ("C:\\1700000300.exe", loaded[2].Path);

    UserListRecords kept{Record(kMd5B, "0", "C:\\kept.exe")};
    EXPECT_EQ(0, store->LoadUserBlackData(kept));
    EXPECT_EQ(std::vector<std::string>{"C:\\kept.exe"}, Paths(kept));
}

TEST_F(StoreTest, EveryOperationOnAClosedStoreLogsAndReturnsItsFailureResult) {
    ORBDBSqliteConn store(DbPath());
    const UserListRecord record = Record(kMd5A, "1", "C:\\a.exe");
    UserListRecords records{record};
    StdoutCapture log;
    EXPECT_EQ(0, store.InitUserBlackTable());
    EXPECT_EQ(0, store.LoadUserTrustedData(records));
    EXPECT_EQ(-1, store.AddUserBlackData(&record));
    EXPECT_EQ(0, store.DelUserTrustedData(kMd5A));
    EXPECT_EQ(-1, store.UserBlackExists(kMd5A));
    EXPECT_EQ(-1, store.ExecSql("SELECT 1"));
    EXPECT_EQ(-1, store.ExecSqlList({"SELECT 1"}));
    EXPECT_EQ(0, store.Reserved());
    EXPECT_EQ(0, store.Close());
    EXPECT_EQ(1u, records.size());

    const std::string notOpen = " execute error: SQLACCESS_ERROR[1000]: Database not open";
    const std::vector<std::string> expected = {
        "[ORBDBSqliteConn::InitGroupIPList()] " + CreateTableStatement(ListKind::Black) + notOpen,
        "[ORBDBSqliteConn::InitGroupIPList()] " + LoadStatement(ListKind::Trusted) + notOpen,
        "[ORBDBSqliteConn::SaveMessage()] " + InsertStatement(ListKind::Black, record) + notOpen,
        "[ORBDBSqliteConn::DelUserTrustedData()] " + DeleteStatement(ListKind::Trusted, kMd5A) +
            notOpen,
        "[ORBDBSqliteConn::UserBlackExists()] " + ExistsStatement(ListKind::Black, kMd5A) + notOpen,
        "[ORBDBSqliteConn::ExecSql()] SELECT 1" + notOpen,
        "[ORBDBSqliteConn::ExecSqlList()] commit transaction error: SQLACCESS_ERROR[1000]: "
        "Database not open",
    };
    EXPECT_EQ(expected, log.Lines());
}

TEST_F(StoreTest, ADamagedFileFailsEveryOperationWithoutBeingOverwritten) {
    std::string garbage(8192, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 131 + 7) & 0xff);
    ASSERT_TRUE(testsupport::WriteFileBytes(DbPath(), garbage.data(),
                                            static_cast<unsigned>(garbage.size())));
    StdoutCapture log;
    {
        ORBDBSqliteConn store(DbPath());
        EXPECT_EQ(0, store.Open()); // the file existed
        store.InitUserBlackTable();
        store.InitUserTrustedTable();
        const UserListRecord record = Record(kMd5A, "1", "C:\\a.exe");
        EXPECT_EQ(-1, store.AddUserTrustedData(&record));
        EXPECT_EQ(-1, store.UserTrustedExists(kMd5A));
        UserListRecords records;
        store.LoadUserBlackData(records);
        EXPECT_TRUE(records.empty());
    }
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(0u, lines[0].find("[ORBDBSqliteConn::InitGroupIPList()] Create Table UserBlack"));
    EXPECT_NE(std::string::npos, lines[0].find("file is not a database"));
    EXPECT_EQ(0u, lines[2].find("[ORBDBSqliteConn::SaveMessage()] INSERT INTO UserTrusted"));

    HANDLE file = CreateFileW(DbPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::string after(garbage.size() + 16, '\0');
    DWORD got = 0;
    ReadFile(file, &after[0], static_cast<DWORD>(after.size()), &got, nullptr);
    CloseHandle(file);
    after.resize(got);
    EXPECT_TRUE(after == garbage) << "the damaged file was changed";
}

TEST_F(StoreTest, AFileLockedByAnotherConnectionFailsAfterTheBusyTimeout) {
    auto store = OpenStore(300);
    SqlDatabase other;
    OpenRaw(other);
    other.RunStatement("BEGIN EXCLUSIVE");
    const UserListRecord record = Record(kMd5A, "1", "C:\\a.exe");
    StdoutCapture log;
    const DWORD start = GetTickCount();
    EXPECT_EQ(-1, store->AddUserTrustedData(&record));
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 5000u);
    other.RunStatement("COMMIT");
    EXPECT_EQ(1, store->AddUserTrustedData(&record));
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("[ORBDBSqliteConn::SaveMessage()] " + InsertStatement(ListKind::Trusted, record) +
                  " execute error: SQLITE_BUSY[5]: database is locked",
              lines[0]);
}

TEST_F(StoreTest, ExecSqlRunsOneStatementAndReportsFailure) {
    auto store = OpenStore();
    StdoutCapture log;
    EXPECT_EQ(0, store->ExecSql("CREATE TABLE extra(a)"));
    EXPECT_EQ(-1, store->ExecSql("bogus"));
    EXPECT_EQ(std::vector<std::string>{"[ORBDBSqliteConn::ExecSql()] bogus execute error: "
                                       "SQLITE_ERROR[1]: near \"bogus\": syntax error"},
              log.Lines());
}

TEST_F(StoreTest, ExecSqlListRunsEveryStatementEvenAfterAFailingOne) {
    auto store = OpenStore();
    StdoutCapture log;
    const std::vector<std::string> statements = {
        "INSERT INTO UserBlack(Md5, Path, Time) VALUES('a', 'p1', '1')",
        "INSERT INTO Nowhere VALUES(1)",
        "INSERT INTO UserBlack(Md5, Path, Time) VALUES('b', 'p2', '2')",
        "INSERT INTO UserBlack(Md5, Path, Time) VALUES('c', 'p3', '3')",
    };
    EXPECT_EQ(0, store->ExecSqlList(statements));
    EXPECT_EQ(3, Scalar("SELECT count(*) AS v FROM UserBlack"));
    EXPECT_EQ(std::vector<std::string>{"[ORBDBSqliteConn::ExecSqlList()] failed, sql: "
                                       "INSERT INTO Nowhere VALUES(1)SQLITE_ERROR[1]: no such "
                                       "table: Nowhere"},
              log.Lines());
    EXPECT_EQ(0, store->ExecSqlList({}));
}

TEST_F(StoreTest, ExecSqlListRollsBackWhenTheCommitFails) {
    auto store = OpenStore(200);
    SqlDatabase reader;
    OpenRaw(reader);
    // A reader in the middle of its read keeps the writer from committing.
    reader.RunStatement("BEGIN");
    SqlQuery reading = reader.RunQuery("SELECT count(*) AS v FROM UserBlack");
    StdoutCapture log;
    const std::vector<std::string> statements = {
        "INSERT INTO UserBlack(Md5, Path, Time) VALUES('a', 'p1', '1')"};
    EXPECT_EQ(-1, store->ExecSqlList(statements));
    EXPECT_EQ(
        std::vector<std::string>{"[ORBDBSqliteConn::ExecSqlList()] failed, sql: " + statements[0]},
        log.Lines());
    reading.Finish();
    reader.RunStatement("COMMIT");
    EXPECT_EQ(0, Scalar("SELECT count(*) AS v FROM UserBlack"));
}

TEST_F(StoreTest, AStoreInAFolderWithChineseNameOpens) {
    const std::wstring folder = m_dir.File(L"\x7528\x6237\x6570\x636E");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ORBDBSqliteConn store(folder + L"\\UserSign.dat");
    EXPECT_EQ(-1, store.Open());
    store.InitUserTrustedTable();
    const UserListRecord record = Record(kMd5A, "1", "C:\\a.exe");
    EXPECT_EQ(1, store.AddUserTrustedData(&record));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\UserSign.dat").c_str()));
}

TEST_F(StoreTest, ManyRowsRoundTrip) {
    auto store = OpenStore();
    std::vector<std::string> inserts;
    for (int i = 0; i < 2000; ++i) {
        const std::string md5 = Md5Of(i);
        const std::string time = std::to_string(1700000000 + i);
        const UserListRecord record = Record(md5.c_str(), time.c_str(), "C:\\f.exe");
        inserts.push_back(InsertStatement(ListKind::Black, record));
    }
    EXPECT_EQ(0, store->ExecSqlList(inserts));
    EXPECT_EQ(1001, store->UserBlackExists(Md5Of(1000)));
    UserListRecords loaded;
    store->LoadUserBlackData(loaded);
    ASSERT_EQ(2000u, loaded.size());
    EXPECT_EQ(Md5Of(1999), loaded.back().Md5);
}
