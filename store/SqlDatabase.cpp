#include "store/SqlDatabase.h"

#include <sqlite3.h>

#include "common/CancelSignal.h"
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
    sqlite3_busy_handler(m_connection, &SqlDatabase::WaitForLock, this);
}

// Tries again after a growing pause while the busy timeout lasts, as the
// engine's own timeout does; the pause is a wait on the cancel signal, so
// that a raised signal ends it at once.
int SqlDatabase::WaitForLock(void* database, int attempt) {
    static const DWORD kPausesMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    auto& self = *static_cast<SqlDatabase*>(database);
    const std::uint64_t now = GetTickCount64();
    if (attempt == 0)
        self.m_waitStarted = now;
    const std::uint64_t waited = now - self.m_waitStarted;
    if (self.m_busyTimeoutMs <= 0 || waited >= static_cast<std::uint64_t>(self.m_busyTimeoutMs))
        return 0;
    const std::size_t steps = sizeof kPausesMs / sizeof kPausesMs[0];
    DWORD pause = kPausesMs[attempt < static_cast<int>(steps) ? attempt : steps - 1];
    const std::uint64_t left = static_cast<std::uint64_t>(self.m_busyTimeoutMs) - waited;
    if (pause > left)
        pause = static_cast<DWORD>(left);
    if (self.m_cancel ? self.m_cancel->WaitFor(pause) : (Sleep(pause), false))
        return 0;
    return 1;
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
