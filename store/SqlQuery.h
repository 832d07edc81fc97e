#pragma once
// A forward-only cursor over the rows of one compiled statement. Cursors are
// moved, never copied; the one that owns its statement finalises it.

struct sqlite3;
struct sqlite3_stmt;

class SqlQuery {
public:
    SqlQuery() = default;
    SqlQuery(sqlite3* connection, sqlite3_stmt* statement, bool atEnd, bool ownsStatement);
    virtual ~SqlQuery();

    SqlQuery(SqlQuery&& other) noexcept;
    SqlQuery& operator=(SqlQuery&& other) noexcept;
    SqlQuery(const SqlQuery&) = delete;
    SqlQuery& operator=(const SqlQuery&) = delete;

    bool AtEnd() const;
    void Advance();
    int ColumnCount() const { return m_columnCount; }

    int ColumnIndex(const char* name) const;
    bool IsNull(int index) const;
    int IntColumn(const char* name, int nullValue = 0) const;
    long long Int64Column(const char* name, long long nullValue = 0) const;
    long long Int64Column(int index, long long nullValue = 0) const;
    // The engine's text of the value, valid until the cursor moves.
    const char* TextColumn(const char* name, const char* nullValue = "") const;
    // The same by the column's index (ColumnIndex), for a loop over many rows.
    const char* TextColumn(int index, const char* nullValue = "") const;

    void Finish();

private:
    void CheckStatement() const;
    void CheckIndex(int index) const;
    [[noreturn]] void RaiseAfterFinalize();
    void FinalizeQuietly() noexcept;
    int EndStatement() noexcept;

    sqlite3* m_connection = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    bool m_atEnd = true;
    int m_columnCount = 0;
    bool m_ownsStatement = false;
};
