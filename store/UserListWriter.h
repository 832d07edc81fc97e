#pragma once
// Writes committed files into one table of the user-list store, a batch at a
// time in one transaction: each file's MD5 is taken off the other table and
// off its own, then its record is inserted, so a file ends on one list, once;
// of two records with the same MD5 in a batch the later one stays.
//
// The statements are compiled once, when the writer is made, and reused for
// every batch. A batch is committed with the engine's normal synchronous
// commit: when Write says true the batch is on disk, when it says false
// nothing of it is. The writer must go before its connection is closed.

#include <string>

#include "store/SqlDatabase.h"
#include "store/SqlStatement.h"
#include "store/UserListRecord.h"
#include "store/UserListSql.h"

class UserListWriter {
public:
    // Compiles the statements; raises SqlException when it cannot (no such
    // table, store not open).
    UserListWriter(SqlDatabase& db, ListKind table);
    UserListWriter(const UserListWriter&) = delete;
    UserListWriter& operator=(const UserListWriter&) = delete;

    // All records in one transaction. False, with the transaction rolled back
    // and one log line, when any part of it failed (the store locked by
    // another process past the busy timeout, a full disk, ...).
    bool Write(const UserListRecords& records);

private:
    // A compiled statement with its text, which the log names.
    struct Step {
        Step(SqlDatabase& db, std::string sql);
        std::string text;
        SqlStatement statement;
    };

    void WriteInTransaction(const UserListRecords& records);
    void WriteRecord(const UserListRecord& record);
    void Run(Step& step);
    void RollBack();
    const char* Operation() const;

    SqlDatabase& m_db;
    const ListKind m_table;
    Step m_begin;
    Step m_commit;
    Step m_rollback;
    Step m_deleteOther;
    Step m_deleteOwn;
    Step m_insert;
    const Step* m_running = nullptr; // for the log
};
