#include "store/ORBDBSqliteConn.h"

#include <utility>

#include <windows.h>

#include <sqlite3.h>

#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "store/EntryDetailSql.h"
#include "store/SqlException.h"
#include "store/StoreLog.h"

namespace {

void LogLine(const std::string& text) {
    LogStoreLine(text);
}

void LogFailure(const char* label, const std::string& statement, const SqlException& error) {
    LogStoreFailure(label, statement, error);
}

const char* ExistsLabel(ListKind table) {
    return table == ListKind::Black ? "UserBlackExists" : "UserTrustedExists";
}

const char* DeleteLabel(ListKind table) {
    return table == ListKind::Black ? "DelUserBlackData" : "DelUserTrustedData";
}

bool FileExists(const std::wstring& path) {
    HANDLE probe = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    return true;
}

} // namespace

ORBDBSqliteConn::ORBDBSqliteConn() : ORBDBSqliteConn(DefaultDatabasePath()) {}

ORBDBSqliteConn::ORBDBSqliteConn(std::wstring databasePath, int busyTimeoutMs)
    : m_path(std::move(databasePath)) {
    m_db.SetBusyTimeout(busyTimeoutMs);
}

ORBDBSqliteConn::~ORBDBSqliteConn() {
    m_db.Close();
}

std::wstring ORBDBSqliteConn::DefaultDatabasePath() {
    std::wstring folder = GetModuleFolder(nullptr);
    return folder + kFileName;
}

int ORBDBSqliteConn::Open() {
    OutputDebugStringW(m_path.c_str());
    const std::string utf8Path = WideToUtf8(m_path);
    const bool isNew = !FileExists(m_path);
    m_openError.clear();
    try {
        m_db.Open(utf8Path.c_str());
    } catch (const SqlException& error) {
        m_openError = error.Message();
        LogLine(std::string("[ORBDBSqliteConn::Open()] avnetdb.db open failed, error: ") +
                error.Message());
        return -1;
    }
    return isNew ? -1 : 0;
}

StoreAccess ORBDBSqliteConn::CheckAccess() {
    StoreAccess access;
    if (!m_db.IsOpen()) {
        access.problem = StoreProblem::CannotOpen;
        access.engineMessage = m_openError;
    } else if (!TryRead(access.engineMessage)) {
        // The engine opens any file; only its first read says it is none of
        // its databases (or one made with another key).
        access.problem = StoreProblem::CannotOpen;
        access.cause = StoreCause::NotADatabase;
        return access;
    } else if (!TryWrite(access.engineMessage)) {
        access.problem = StoreProblem::CannotWrite;
    }
    if (!access.Ok())
        access.cause = DiagnoseStoreFile(m_path, access.error);
    return access;
}

// False only when the file is no database this store can read; a read
// that waits out another program's lock says nothing about the file.
bool ORBDBSqliteConn::TryRead(std::string& message) {
    try {
        m_db.RunStatement("SELECT count(*) FROM sqlite_master");
    } catch (const SqlException& error) {
        if (error.Code() == SQLITE_NOTADB || error.Code() == SQLITE_CORRUPT) {
            message = error.Message();
            return false;
        }
    }
    return true;
}

// A table made and dropped again by the rollback: the engine writes its
// first page, so the file and its journal beside it must be writable.
bool ORBDBSqliteConn::TryWrite(std::string& message) {
    const int busyTimeoutMs = m_db.BusyTimeout();
    m_db.SetBusyTimeout(0);
    bool writable = true;
    try {
        m_db.RunStatement("BEGIN IMMEDIATE");
        try {
            m_db.RunStatement("CREATE TABLE UserWardenWriteTest(x)");
        } catch (const SqlException& error) {
            message = error.Message();
            writable = false;
        }
        m_db.RunStatement("ROLLBACK");
    } catch (const SqlException& error) {
        if (error.Code() != SQLITE_BUSY && error.Code() != SQLITE_LOCKED) {
            message = error.Message();
            writable = false;
        }
        if (m_db.InTransaction()) {
            try {
                m_db.RunStatement("ROLLBACK");
            } catch (const SqlException&) {
                // The connection rolls back itself when it closes.
            }
        }
    }
    m_db.SetBusyTimeout(busyTimeoutMs);
    return writable;
}

int ORBDBSqliteConn::Close() {
    m_db.Close();
    return 0;
}

int ORBDBSqliteConn::Reserved() {
    return 0;
}

int ORBDBSqliteConn::InitUserBlackTable() {
    return InitTable(ListKind::Black);
}
int ORBDBSqliteConn::InitUserTrustedTable() {
    return InitTable(ListKind::Trusted);
}

int ORBDBSqliteConn::InitTable(ListKind table) {
    bool exists = true;
    try {
        // Compiled, not run: compiling it fails when the table is missing,
        // and running it would count every row (a million pages read at
        // every start) for a count nobody reads.
        m_db.Prepare(ProbeStatement(table).c_str());
    } catch (const SqlException&) {
        exists = false;
    }
    if (!exists) {
        const std::string create = CreateTableStatement(table);
        try {
            m_db.RunStatement(create.c_str());
            exists = true;
        } catch (const SqlException& error) {
            LogFailure("InitGroupIPList", create, error);
        }
    }
    // Lookups by MD5 run on every commit: keep them off a full scan. The
    // entries are read in the order of their Time: from its index, not
    // sorted anew at every start (a million rows sorted through temporary
    // files).
    for (const char* column : {"Md5", "Time"}) {
        if (!exists)
            break;
        const std::string index = CreateIndexStatement(table, column);
        try {
            m_db.RunStatement(index.c_str());
        } catch (const SqlException& error) {
            LogFailure("InitGroupIPList", index, error);
        }
    }
    return 0;
}

int ORBDBSqliteConn::LoadUserBlackData(UserListRecords& records) {
    return LoadTable(ListKind::Black, records);
}
int ORBDBSqliteConn::LoadUserTrustedData(UserListRecords& records) {
    return LoadTable(ListKind::Trusted, records);
}

int ORBDBSqliteConn::LoadTable(ListKind table, UserListRecords& records) {
    UserListRecords loaded;
    VisitTable(table, [&loaded](const UserListRecord& record) { loaded.push_back(record); });
    if (!loaded.empty())
        records.swap(loaded);
    return 0;
}

bool ORBDBSqliteConn::VisitTable(ListKind table,
                                 const std::function<void(const UserListRecord&)>& visit) {
    const std::string select = LoadStatement(table);
    try {
        SqlQuery rows = m_db.RunQuery(select.c_str());
        if (rows.AtEnd())
            return true;
        const int md5 = rows.ColumnIndex("Md5");
        const int time = rows.ColumnIndex("Time");
        const int path = rows.ColumnIndex("Path");
        for (; !rows.AtEnd(); rows.Advance())
            visit(MakeUserListRecord(rows.TextColumn(md5), rows.TextColumn(time),
                                     rows.TextColumn(path)));
        return true;
    } catch (const SqlException& error) {
        LogFailure("InitGroupIPList", select, error);
        return false;
    }
}

bool ORBDBSqliteConn::VisitMd5s(ListKind table, const std::function<void(const char*)>& visit) {
    const std::string select = Md5sStatement(table);
    try {
        for (SqlQuery rows = m_db.RunQuery(select.c_str()); !rows.AtEnd(); rows.Advance())
            visit(rows.TextColumn(0));
        return true;
    } catch (const SqlException& error) {
        LogFailure("InitGroupIPList", select, error);
        return false;
    }
}

int ORBDBSqliteConn::AddUserBlackData(const UserListRecord* record) {
    return AddRecord(ListKind::Black, record);
}
int ORBDBSqliteConn::AddUserTrustedData(const UserListRecord* record) {
    return AddRecord(ListKind::Trusted, record);
}

int ORBDBSqliteConn::AddRecord(ListKind table, const UserListRecord* record) {
    if (!record)
        return -1;
    std::string statement = InsertStatement(table, *record);
    try {
        m_db.RunStatement(statement.c_str());
        statement = LastIdStatement(table);
        SqlQuery last = m_db.RunQuery(statement.c_str());
        return last.AtEnd() ? -1 : last.IntColumn("ID", 0);
    } catch (const SqlException& error) {
        LogFailure("SaveMessage", statement, error);
        return -1;
    }
}

int ORBDBSqliteConn::DelUserBlackData(const std::string& md5) {
    return DeleteMd5(ListKind::Black, md5, DeleteLabel(ListKind::Black));
}
int ORBDBSqliteConn::DelUserTrustedData(const std::string& md5) {
    return DeleteMd5(ListKind::Trusted, md5, DeleteLabel(ListKind::Trusted));
}

int ORBDBSqliteConn::DeleteMd5(ListKind table, const std::string& md5, const char* label) {
    TryDelete(table, md5, label);
    return 0;
}

bool ORBDBSqliteConn::DeleteEntry(ListKind table, const std::string& md5) {
    return TryDelete(table, md5, DeleteLabel(table));
}

bool ORBDBSqliteConn::DeleteEntries(const std::vector<ListKind>& tables, const std::string& md5) {
    // Alone, the fixed delete; with details, they go in the same transaction.
    if (tables.size() == 1 && !DetailsWritable())
        return DeleteEntry(tables.front(), md5);
    return DeleteInTransaction(tables, md5);
}

bool ORBDBSqliteConn::DeleteInTransaction(const std::vector<ListKind>& tables,
                                          const std::string& md5) {
    std::string statement = "BEGIN";
    try {
        m_db.RunStatement(statement.c_str());
        for (const ListKind table : tables) {
            statement = DeleteStatement(table, md5);
            m_db.RunStatement(statement.c_str());
            if (DetailsWritable()) {
                statement = BoundDetailDeleteStatement(table);
                SqlStatement details = m_db.Prepare(statement.c_str());
                details.BindText(1, md5);
                details.Run();
            }
        }
        statement = "COMMIT";
        m_db.RunStatement(statement.c_str());
        return true;
    } catch (const SqlException& error) {
        LogFailure(DeleteLabel(tables.front()), statement, error);
        if (m_db.InTransaction()) {
            try {
                m_db.RunStatement("ROLLBACK");
            } catch (const SqlException&) {
                // The connection rolls back itself when it closes.
            }
        }
        return false;
    }
}

bool ORBDBSqliteConn::TryDelete(ListKind table, const std::string& md5, const char* label) {
    const std::string statement = DeleteStatement(table, md5);
    try {
        m_db.RunStatement(statement.c_str());
        return true;
    } catch (const SqlException& error) {
        LogFailure(label, statement, error);
        return false;
    }
}

int ORBDBSqliteConn::UserBlackExists(const std::string& md5) {
    return FindMd5(ListKind::Black, md5, ExistsLabel(ListKind::Black));
}
int ORBDBSqliteConn::UserTrustedExists(const std::string& md5) {
    return FindMd5(ListKind::Trusted, md5, ExistsLabel(ListKind::Trusted));
}

int ORBDBSqliteConn::FindMd5(ListKind table, const std::string& md5, const char* label,
                             bool* failed) {
    const std::string statement = ExistsStatement(table, md5);
    int id = -1;
    try {
        for (SqlQuery rows = m_db.RunQuery(statement.c_str()); !rows.AtEnd(); rows.Advance())
            id = rows.IntColumn("ID", 0);
    } catch (const SqlException& error) {
        LogFailure(label, statement, error);
        if (failed)
            *failed = true;
    }
    return id;
}

StorePresence ORBDBSqliteConn::Holds(ListKind table, const std::string& md5) {
    bool failed = false;
    const int id = FindMd5(table, md5, ExistsLabel(table), &failed);
    if (failed)
        return StorePresence::Unreadable;
    return id != -1 ? StorePresence::Held : StorePresence::Absent;
}

int ORBDBSqliteConn::ExecSql(const std::string& statement) {
    try {
        m_db.RunStatement(statement.c_str());
        return 0;
    } catch (const SqlException& error) {
        LogFailure("ExecSql", statement, error);
        return -1;
    }
}

int ORBDBSqliteConn::ExecSqlList(const std::vector<std::string>& statements) {
    static const char kLabel[] = "[ORBDBSqliteConn::ExecSqlList()] ";
    bool begun = false;
    const std::string* lastStarted = nullptr;
    try {
        m_db.RunStatement("begin transaction;");
        begun = true;
        // Every statement runs; one that fails is logged and the list goes on.
        for (const std::string& statement : statements) {
            lastStarted = &statement;
            try {
                m_db.RunStatement(statement.c_str());
            } catch (const SqlException& error) {
                LogLine(std::string(kLabel) + "failed, sql: " + statement + error.Message());
            }
        }
        m_db.RunStatement("commit transaction;");
        return 0;
    } catch (const SqlException& error) {
        if (!begun) {
            LogLine(std::string(kLabel) + "commit transaction error: " + error.Message());
            return -1;
        }
    }
    try {
        m_db.RunStatement("rollback transaction");
        LogLine(std::string(kLabel) + "failed, sql: " + (lastStarted ? *lastStarted : ""));
    } catch (const SqlException& error) {
        LogLine(std::string(kLabel) + "rollback transaction failed: " + error.Message());
    }
    return -1;
}

std::unique_ptr<UserListWriter> ORBDBSqliteConn::OpenWriter(ListKind table) {
    try {
        return std::make_unique<UserListWriter>(m_db, table, DetailsWritable());
    } catch (const SqlException& error) {
        LogFailure(table == ListKind::Black ? "WriteUserBlackData" : "WriteUserTrustedData",
                   BoundInsertStatement(table), error);
        return nullptr;
    }
}
