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

void SqlStatement::BindText(int index, std::string_view text) {
    CheckStatement();
    const int rc = sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw SqlException(rc, sqlite3_errmsg(m_connection));
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
