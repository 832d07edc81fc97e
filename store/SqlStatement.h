#pragma once
// A compiled statement of the SQL access layer that is run many times with
// different values: bind the values, run it, and it is ready for the next
// values. Moved, never copied; it finalises its statement when it goes.

#include <cstdint>
#include <string_view>

#include "store/SqlQuery.h"

struct sqlite3;
struct sqlite3_stmt;

class SqlStatement {
public:
    SqlStatement() = default;
    SqlStatement(sqlite3* connection, sqlite3_stmt* statement);
    ~SqlStatement();

    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Binds a text to the parameter of 1-based `index` (the engine copies it).
    void BindText(int index, std::string_view text);
    void BindInt64(int index, std::int64_t value);
    void BindNull(int index);
    // A text, or NULL for an empty one (an unknown value).
    void BindTextOrNull(int index, std::string_view text);
    // Steps the statement once with its bound values; the cursor borrows it
    // and, when it ends, resets it and clears its values for the next use.
    SqlQuery Query();
    // Runs the statement to its end, discarding any rows; then resets it and
    // clears its values. Returns the rows it changed.
    int Run();

private:
    void CheckStatement() const;
    [[noreturn]] void RaiseAfterReset(int code);
    void CheckBind(int rc) const;

    sqlite3* m_connection = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};
