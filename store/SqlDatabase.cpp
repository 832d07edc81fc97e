#include "store/SqlDatabase.h"

#include <sqlite3.h>

#include "common/Invariant.h"
#include "store/SqlException.h"
#include "store/PageCodec.h"

SqlDatabase::~SqlDatabase() {
    Close();
}

void SqlDatabase::Open(const char* utf8Path) {
    Close();
    EnsureCodecVfsIsDefault();
    sqlite3* connection = nullptr;
    const int rc = sqlite3_open(utf8Path, &connection);
    if (rc != SQLITE_OK) {
        // The exception copies the text before the failed handle is released.
        SqlException error(rc, connection ? sqlite3_errmsg(connection) : sqlite3_errstr(rc));
        sqlite3_close(connection);
        throw error;
    }
    m_connection = connection;
    sqlite3_busy_timeout(m_connection, m_busyTimeoutMs);
}

void SqlDatabase::Close() {
    if (m_connection) {
        // Statements and writers go before their connection: the engine
        // does not close a connection that still has one.
        UW_INVARIANT(sqlite3_next_stmt(m_connection, nullptr) == nullptr);
        sqlite3_close(m_connection);
        m_connection = nullptr;
    }
}

void SqlDatabase::CheckOpen() const {
    if (!m_connection)
        throw SqlException(SqlException::kAccessError, "Database not open");
}

int SqlDatabase::RunStatement(const char* sql) {
    CheckOpen();
    char* error = nullptr;
    const int rc = sqlite3_exec(m_connection, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK)
        throw SqlException(rc, error, true);
    return sqlite3_changes(m_connection);
}

SqlQuery SqlDatabase::RunQuery(const char* sql) {
    CheckOpen();
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(m_connection, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK)
        throw SqlException(rc, nullptr, false);
    if (!statement) // the text held no statement: a cursor with no rows
        return SqlQuery(m_connection, nullptr, true, true);
    const int step = sqlite3_step(statement);
    if (step == SQLITE_DONE)
        return SqlQuery(m_connection, statement, true, true);
    if (step == SQLITE_ROW)
        return SqlQuery(m_connection, statement, false, true);
    const int code = sqlite3_finalize(statement);
    throw SqlException(code, sqlite3_errmsg(m_connection));
}

SqlStatement SqlDatabase::Prepare(const char* sql) {
    CheckOpen();
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(m_connection, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK)
        throw SqlException(rc, sqlite3_errmsg(m_connection));
    if (!statement)
        throw SqlException(SqlException::kAccessError, "Empty statement");
    return SqlStatement(m_connection, statement);
}

bool SqlDatabase::InTransaction() const {
    return m_connection && !sqlite3_get_autocommit(m_connection);
}
