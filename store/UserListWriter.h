#pragma once
// Writes committed files into one table of the user-list store, a batch at a
// time in one transaction: each file's MD5 is taken off the other table and
// off its own, then its record is inserted, so a file ends on one list, once;
// of two records with the same MD5 in a batch the later one stays. A writer
// made for details also replaces each entry's details row (and deletes the
// other table's) in the same transaction.
//
// The statements are compiled once, when the writer is made, and reused for
// every batch. While a writer is open the connection's page cache may grow
// to 256 MiB: a batch's inserts land all over the MD5 index, and a batch is
// fast only while the whole index stays in memory (about 70 MiB for a
// million entries); the cache goes back to its size when the writer goes. A batch is committed with
// the engine's normal synchronous commit: when Write says true the batch is on disk, when it says
// false nothing of it is. The writer must go before its connection is closed.

#include <optional>
#include <string>
#include <vector>

#include "store/EntryDetails.h"
#include "store/SqlDatabase.h"
#include "store/SqlStatement.h"
#include "store/UserListRecord.h"
#include "store/UserListSql.h"

class UserListWriter {
public:
    // Compiles the statements; raises SqlException when it cannot (no such
    // table, store not open).
    UserListWriter(SqlDatabase& db, ListKind table, bool writeDetails = false);
    UserListWriter(const UserListWriter&) = delete;
    UserListWriter& operator=(const UserListWriter&) = delete;

    // All records in one transaction. False, with the transaction rolled back
    // and one log line, when any part of it failed (the store locked by
    // another process past the busy timeout, a full disk, ...).
    bool Write(const UserListRecords& records);
    // The same with each record's details: `additions` (when given) holds
    // one per record, `origin` says who adds them and how (null: not known).
    bool Write(const UserListRecords& records, const EntryOrigin* origin,
               const std::vector<EntryAddition>* additions);
    bool WritesDetails() const { return m_details.has_value(); }

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

    // The details' statements, made only for a writer of details.
    struct DetailSteps {
        DetailSteps(SqlDatabase& db, ListKind table);
        Step deleteOther;
        Step replace;
    };

    void WriteInTransaction(const UserListRecords& records, const EntryOrigin* origin,
                            const std::vector<EntryAddition>* additions);
    void WriteRecord(const UserListRecord& record);
    void WriteDetails(const UserListRecord& record, const EntryOrigin* origin,
                      const EntryAddition& addition);
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
    std::optional<DetailSteps> m_details;
    const Step* m_running = nullptr; // for the log
};
