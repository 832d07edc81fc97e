#include "store/SqlQuery.h"

#include <cstring>
#include <utility>

#include <sqlite3.h>

#include "store/SqlException.h"

SqlQuery::SqlQuery(sqlite3* connection, sqlite3_stmt* statement, bool atEnd, bool ownsStatement)
    : m_connection(connection), m_statement(statement), m_atEnd(atEnd),
      m_columnCount(statement ? sqlite3_column_count(statement) : 0),
      m_ownsStatement(ownsStatement) {}

SqlQuery::~SqlQuery() {
    FinalizeQuietly();
}

SqlQuery::SqlQuery(SqlQuery&& other) noexcept
    : m_connection(other.m_connection), m_statement(std::exchange(other.m_statement, nullptr)),
      m_atEnd(other.m_atEnd), m_columnCount(other.m_columnCount),
      m_ownsStatement(other.m_ownsStatement) {}

SqlQuery& SqlQuery::operator=(SqlQuery&& other) noexcept {
    if (this != &other) {
        FinalizeQuietly();
        m_connection = other.m_connection;
        m_statement = std::exchange(other.m_statement, nullptr);
        m_atEnd = other.m_atEnd;
        m_columnCount = other.m_columnCount;
        m_ownsStatement = other.m_ownsStatement;
    }
    return *this;
}

// A borrowed statement (a SqlStatement's) is reset for its next values
// instead: its owner finalises it.
int SqlQuery::EndStatement() noexcept {
    if (!m_statement)
        return SQLITE_OK;
    int code;
    if (m_ownsStatement) {
        code = sqlite3_finalize(m_statement);
    } else {
        code = sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    m_statement = nullptr;
    return code;
}

void SqlQuery::FinalizeQuietly() noexcept {
    EndStatement();
}

void SqlQuery::CheckStatement() const {
    if (!m_statement)
        throw SqlException(SqlException::kAccessError, "Null Virtual Machine pointer");
}

void SqlQuery::CheckIndex(int index) const {
    if (index < 0 || index >= m_columnCount)
        throw SqlException(SqlException::kAccessError, "Invalid field index requested");
}

void SqlQuery::RaiseAfterFinalize() {
    const int code = EndStatement();
    throw SqlException(code, sqlite3_errmsg(m_connection));
}

bool SqlQuery::AtEnd() const {
    CheckStatement();
    return m_atEnd;
}

void SqlQuery::Advance() {
    CheckStatement();
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_DONE) {
        m_atEnd = true;
    } else if (rc == SQLITE_ROW) {
        m_atEnd = false;
    } else {
        RaiseAfterFinalize();
    }
}

int SqlQuery::ColumnIndex(const char* name) const {
    CheckStatement();
    if (name) {
        for (int i = 0; i < m_columnCount; ++i) {
            const char* column = sqlite3_column_name(m_statement, i);
            if (column && std::strcmp(column, name) == 0)
                return i;
        }
    }
    throw SqlException(SqlException::kAccessError, "Invalid field name requested");
}

bool SqlQuery::IsNull(int index) const {
    CheckStatement();
    CheckIndex(index);
    return sqlite3_column_type(m_statement, index) == SQLITE_NULL;
}

int SqlQuery::IntColumn(const char* name, int nullValue) const {
    const int index = ColumnIndex(name);
    return IsNull(index) ? nullValue : sqlite3_column_int(m_statement, index);
}

long long SqlQuery::Int64Column(const char* name, long long nullValue) const {
    return Int64Column(ColumnIndex(name), nullValue);
}

long long SqlQuery::Int64Column(int index, long long nullValue) const {
    return IsNull(index) ? nullValue : sqlite3_column_int64(m_statement, index);
}

const char* SqlQuery::TextColumn(const char* name, const char* nullValue) const {
    return TextColumn(ColumnIndex(name), nullValue);
}

const char* SqlQuery::TextColumn(int index, const char* nullValue) const {
    if (IsNull(index))
        return nullValue;
    return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, index));
}

void SqlQuery::Finish() {
    if (!m_statement)
        return;
    const int code = EndStatement();
    if (code != SQLITE_OK)
        throw SqlException(code, sqlite3_errmsg(m_connection));
}
