#include "store/SqlStatement.h"

#include <utility>

#include <sqlite3.h>

#include "store/SqlException.h"

SqlStatement::SqlStatement(sqlite3* connection, sqlite3_stmt* statement)
    : m_connection(connection), m_statement(statement) {}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(m_statement);
}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
    : m_connection(other.m_connection), m_statement(std::exchange(other.m_statement, nullptr)) {}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_connection = other.m_connection;
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

void SqlStatement::CheckStatement() const {
    if (!m_statement)
        throw SqlException(SqlException::kAccessError, "Null Virtual Machine pointer");
}

void SqlStatement::RaiseAfterReset(int code) {
    // The error text belongs to the failed step; take it before the reset.
    SqlException error(code, sqlite3_errmsg(m_connection));
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    throw error;
}

void SqlStatement::CheckBind(int rc) const {
    if (rc != SQLITE_OK)
        throw SqlException(rc, sqlite3_errmsg(m_connection));
}

void SqlStatement::BindText(int index, std::string_view text) {
    CheckStatement();
    CheckBind(sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
}

void SqlStatement::BindInt64(int index, std::int64_t value) {
    CheckStatement();
    CheckBind(sqlite3_bind_int64(m_statement, index, static_cast<sqlite3_int64>(value)));
}

void SqlStatement::BindNull(int index) {
    CheckStatement();
    CheckBind(sqlite3_bind_null(m_statement, index));
}

void SqlStatement::BindTextOrNull(int index, std::string_view text) {
    if (text.empty())
        BindNull(index);
    else
        BindText(index, text);
}

SqlQuery SqlStatement::Query() {
    CheckStatement();
    const int step = sqlite3_step(m_statement);
    if (step == SQLITE_DONE || step == SQLITE_ROW)
        return SqlQuery(m_connection, m_statement, step == SQLITE_DONE, false);
    RaiseAfterReset(step);
}

int SqlStatement::Run() {
    CheckStatement();
    int rc;
    while ((rc = sqlite3_step(m_statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        RaiseAfterReset(rc);
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    return sqlite3_changes(m_connection);
}
