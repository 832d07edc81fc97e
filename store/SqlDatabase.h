#pragma once
// The database connection of the SQL access layer. Every engine failure is
// raised as SqlException.

#include "store/SqlQuery.h"
#include "store/SqlStatement.h"

struct sqlite3;

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

    // Applied by the next Open.
    void SetBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    int BusyTimeout() const { return m_busyTimeoutMs; }

    sqlite3* Connection() const { return m_connection; }

private:
    void CheckOpen() const;

    sqlite3* m_connection = nullptr;
    int m_busyTimeoutMs = kDefaultBusyTimeoutMs;
};
