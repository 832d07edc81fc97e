#pragma once
// A compiled statement of the SQL access layer that is run many times with
// different values: bind the values, run it, and it is ready for the next
// values. Moved, never copied; it finalises its statement when it goes.

#include <string_view>

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
    // Runs the statement to its end, discarding any rows; then resets it and
    // clears its values. Returns the rows it changed.
    int Run();

private:
    void CheckStatement() const;
    [[noreturn]] void RaiseAfterReset(int code);

    sqlite3* m_connection = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};
