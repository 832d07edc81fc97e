#pragma once
// The database connection of the SQL access layer. Every engine failure is
// raised as SqlException.

#include <cstdint>

#include "store/SqlQuery.h"
#include "store/SqlStatement.h"

struct sqlite3;
class CancelSignal;

class SqlDatabase {
public:
    static constexpr int kDefaultBusyTimeoutMs = 60000;

    SqlDatabase() = default;
    virtual ~SqlDatabase();

    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    // Opens or creates the database file at a UTF-8 path. An open connection
    // is closed first.
    void Open(const char* utf8Path);
    void Close();
    bool IsOpen() const { return m_connection != nullptr; }

    // Executes the whole text; returns the rows changed by its last statement.
    int RunStatement(const char* sql);
    // Compiles the text and steps once; the cursor owns the statement.
    SqlQuery RunQuery(const char* sql);
    // Compiles one statement to be run many times with bound values.
    SqlStatement Prepare(const char* sql);
    // Whether a transaction is open on the connection.
    bool InTransaction() const;

    // How long a statement waits for another connection's lock before it
    // fails with SQLITE_BUSY; it applies at once.
    void SetBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    int BusyTimeout() const { return m_busyTimeoutMs; }
    // Once `signal` is raised, no statement waits for a lock any more: a
    // wait in progress ends at once and fails. Not owned; it outlives the
    // connection.
    void SetCancelSignal(const CancelSignal* signal) { m_cancel = signal; }

    sqlite3* Connection() const { return m_connection; }

private:
    void CheckOpen() const;
    // The engine's busy handler: whether to try a locked database again.
    static int WaitForLock(void* database, int attempt);

    sqlite3* m_connection = nullptr;
    int m_busyTimeoutMs = kDefaultBusyTimeoutMs;
    const CancelSignal* m_cancel = nullptr;
    std::uint64_t m_waitStarted = 0; // GetTickCount64 at a wait's first attempt
};
