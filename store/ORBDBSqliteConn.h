#pragma once
// The user-list store on "UserSign.dat": tables UserBlack and UserTrusted.
// Every failure of the access layer is caught, written as one log line to
// standard output and turned into the operation's listed result.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/EntryDetails.h"
#include "store/SqlDatabase.h"
#include "store/StoreAccess.h"
#include "store/StoreSchema.h"
#include "store/UserListSql.h"
#include "store/UserListWriter.h"
#include "store/iqdatabase.h"

// Whether a table holds an MD5, telling a failed read from "not there".
enum class StorePresence { Absent, Held, Unreadable };

enum class NoteResult {
    Set,
    NotHeld,     // the list holds no entry of that MD5
    NotWritable, // the store's details are not written (see StoreSchema)
    Failed,      // the write failed (logged)
};

class ORBDBSqliteConn : public iqdatabase {
public:
    static constexpr const wchar_t* kFileName = L"UserSign.dat";

    // The store on "UserSign.dat" in the folder of the running executable.
    ORBDBSqliteConn();
    // The store on another file (tests and tools), with its busy timeout.
    explicit ORBDBSqliteConn(std::wstring databasePath,
                             int busyTimeoutMs = SqlDatabase::kDefaultBusyTimeoutMs);
    ~ORBDBSqliteConn() override;

    int Open() override;
    int Close() override;
    int Reserved() override;
    int InitUserBlackTable() override;
    int InitUserTrustedTable() override;
    int LoadUserBlackData(UserListRecords& records) override;
    int LoadUserTrustedData(UserListRecords& records) override;
    int AddUserBlackData(const UserListRecord* record) override;
    int AddUserTrustedData(const UserListRecord* record) override;
    int DelUserBlackData(const std::string& md5) override;
    int DelUserTrustedData(const std::string& md5) override;
    int UserBlackExists(const std::string& md5) override;
    int UserTrustedExists(const std::string& md5) override;
    int ExecSqlList(const std::vector<std::string>& statements) override;
    int ExecSql(const std::string& statement) override;

    // A writer of whole batches into `table` (outside the interface, whose
    // slots are fixed); null, with a log line, when its statements cannot be
    // compiled. It must go before the store is closed. It writes details
    // once PrepareDetails has found them writable.
    std::unique_ptr<UserListWriter> OpenWriter(ListKind table);

    // The schema version read, and an earlier store brought forward (after
    // the two tables are made). Until it is called, no details are read or
    // written.
    const StoreSchema& PrepareDetails();
    // What PrepareDetails found; nullopt before it ran.
    const std::optional<StoreSchema>& Schema() const { return m_schema; }
    bool DetailsWritable() const { return m_schema && m_schema->DetailsWritable(); }
    bool DetailsReadable() const { return m_schema && m_schema->DetailsReadable(); }

    // Every entry of either table with that MD5 (any case) or, for 64 hex
    // digits, whose details carry that SHA-256, with its details; the
    // whitelist's first. False (logged) when the read failed.
    bool ReadDetails(std::string_view md5OrSha256, std::vector<StoredEntryDetails>& entries);
    // The entries of `table` in the order of their Time, with their details
    // unless `withDetails` is false (then the table alone is read, as fast
    // as the lists' load).
    bool VisitDetailed(ListKind table, const std::function<void(const StoredEntryDetails&)>& visit,
                       bool withDetails = true);
    // Sets (or with an empty text clears) the note of `table`'s entry.
    NoteResult SetNote(ListKind table, std::string_view md5, std::string_view note);

    // Whether the file is open and a write succeeds (a write tried in a
    // transaction that is rolled back, which leaves the file as it was), and
    // when not, why. A store that another program holds locked counts as
    // writable: its lock is waited for when the store is written.
    StoreAccess CheckAccess();

    // Deletes an MD5's record from `table`; false (with a log line) when the
    // delete failed, which DelUser*Data do not tell.
    bool DeleteEntry(ListKind table, const std::string& md5);
    // The same from each of `tables`, in one transaction: all or none.
    bool DeleteEntries(const std::vector<ListKind>& tables, const std::string& md5);
    // Whether `table` holds the MD5; Unreadable (with a log line) when the
    // read failed: a lock held past the busy timeout, an I/O error. The
    // Exists operations answer -1 for that as for "not there".
    StorePresence Holds(ListKind table, const std::string& md5);

    // The records of `table` in the order the load gives them, one at a
    // time, without a list of them all (a million records of a fixed size
    // fill 300 MB). A failure is logged as the load logs it, and answered
    // false; the records visited until then stay visited.
    bool VisitTable(ListKind table, const std::function<void(const UserListRecord&)>& visit);
    // The MD5 of every record of `table`, in no particular order (read from
    // the MD5 index alone); false when the read failed.
    bool VisitMd5s(ListKind table, const std::function<void(const char*)>& visit);

    // Once `signal` is raised no statement waits for another program's
    // lock (see SqlDatabase::SetCancelSignal).
    void SetCancelSignal(const CancelSignal* signal) { m_db.SetCancelSignal(signal); }

    const std::wstring& DatabasePath() const { return m_path; }

    // "UserSign.dat" beside the running executable.
    static std::wstring DefaultDatabasePath();

private:
    // False with the engine's message when a write fails.
    bool TryRead(std::string& message);
    bool TryWrite(std::string& message);
    int InitTable(ListKind table);
    int LoadTable(ListKind table, UserListRecords& records);
    int AddRecord(ListKind table, const UserListRecord* record);
    int DeleteMd5(ListKind table, const std::string& md5, const char* label);
    bool TryDelete(ListKind table, const std::string& md5, const char* label);
    // The record's ID, -1 when there is none or the read failed (then
    // `failed`, when given, is set).
    int FindMd5(ListKind table, const std::string& md5, const char* label, bool* failed = nullptr);

    bool DeleteInTransaction(const std::vector<ListKind>& tables, const std::string& md5);
    bool VisitDetailedRows(ListKind table, const std::string& select, std::string_view first,
                           std::string_view second,
                           const std::function<void(const StoredEntryDetails&)>& visit);

    std::wstring m_path;
    SqlDatabase m_db;
    std::optional<StoreSchema> m_schema;
    std::string m_openError; // the engine's message when Open failed
};
