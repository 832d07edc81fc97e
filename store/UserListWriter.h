#pragma once
// Writes committed files into one table of the user-list store, a batch at a
// time in one transaction: each file's MD5 is taken off the other table and
// off its own, then its record is inserted, so a file ends on one list, once;
// of two records with the same MD5 in a batch the later one stays.
//
// The statements are compiled once, when the writer is made, and reused for
// every batch. While a writer is open the connection's page cache may grow
// to 256 MiB: a batch's inserts land all over the MD5 index, and a batch is
// fast only while the whole index stays in memory (about 70 MiB for a
// million entries); the cache goes back to its size when the writer goes. A batch is committed with
// the engine's normal synchronous commit: when Write says true the batch is on disk, when it says
// false nothing of it is. The writer must go before its connection is closed.

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
    // The connection's page cache, larger while the writer is open.
    class WriteCache {
    public:
        explicit WriteCache(SqlDatabase& db);
        ~WriteCache();
        WriteCache(const WriteCache&) = delete;
        WriteCache& operator=(const WriteCache&) = delete;

    private:
        SqlDatabase& m_db;
        long long m_before = 0; // the cache_size value to restore; 0: none
    };

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
    WriteCache m_cache;
    Step m_begin;
    Step m_commit;
    Step m_rollback;
    Step m_deleteOther;
    Step m_deleteOwn;
    Step m_insert;
    const Step* m_running = nullptr; // for the log
};
