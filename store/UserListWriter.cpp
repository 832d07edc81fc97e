#include "store/UserListWriter.h"

#include <string>
#include <utility>

#include "store/SqlException.h"
#include "store/SqlQuery.h"
#include "store/StoreLog.h"

// The write lock is taken at the start (waiting out other writers within the
// busy timeout), so no statement of the batch has to wait for it.
UserListWriter::UserListWriter(SqlDatabase& db, ListKind table)
    : m_db(db), m_table(table), m_cache(db), m_begin(db, "BEGIN IMMEDIATE"), m_commit(db, "COMMIT"),
      m_rollback(db, "ROLLBACK"), m_deleteOther(db, BoundDeleteStatement(OtherList(table))),
      m_deleteOwn(db, BoundDeleteStatement(table)), m_insert(db, BoundInsertStatement(table)) {}

namespace {
constexpr long long kWriteCacheKiB = 256 * 1024;
} // namespace

UserListWriter::WriteCache::WriteCache(SqlDatabase& db) : m_db(db) {
    try {
        SqlQuery current = db.RunQuery("PRAGMA cache_size");
        const long long before = current.AtEnd() ? 0 : current.Int64Column("cache_size");
        current.Finish();
        // A count of pages (positive) is left as it was set; a size in KiB
        // (negative) is raised unless it allows more already.
        if (before > 0 || before <= -kWriteCacheKiB)
            return;
        db.RunStatement(("PRAGMA cache_size = -" + std::to_string(kWriteCacheKiB)).c_str());
        m_before = before;
    } catch (const SqlException&) {
        // Only slower without it.
    }
}

UserListWriter::WriteCache::~WriteCache() {
    if (m_before == 0)
        return;
    try {
        m_db.RunStatement(("PRAGMA cache_size = " + std::to_string(m_before)).c_str());
    } catch (const SqlException&) {
        // The larger cache stays until the connection closes.
    }
}

UserListWriter::Step::Step(SqlDatabase& db, std::string sql)
    : text(std::move(sql)), statement(db.Prepare(text.c_str())) {}

const char* UserListWriter::Operation() const {
    return m_table == ListKind::Black ? "WriteUserBlackData" : "WriteUserTrustedData";
}

bool UserListWriter::Write(const UserListRecords& records) {
    try {
        WriteInTransaction(records);
        return true;
    } catch (const SqlException& error) {
        LogStoreFailure(Operation(), m_running ? m_running->text : std::string(), error);
    }
    RollBack();
    return false;
}

void UserListWriter::Run(Step& step) {
    m_running = &step;
    step.statement.Run();
}

void UserListWriter::WriteInTransaction(const UserListRecords& records) {
    Run(m_begin);
    for (const UserListRecord& record : records)
        WriteRecord(record);
    Run(m_commit);
}

void UserListWriter::WriteRecord(const UserListRecord& record) {
    m_deleteOther.statement.BindText(1, record.Md5);
    Run(m_deleteOther);
    m_deleteOwn.statement.BindText(1, record.Md5);
    Run(m_deleteOwn);
    m_insert.statement.BindText(1, record.Md5);
    m_insert.statement.BindText(2, record.Path);
    m_insert.statement.BindText(3, record.Time);
    Run(m_insert);
}

void UserListWriter::RollBack() {
    // Some failures (a full disk, an I/O error) have ended the transaction.
    if (!m_db.InTransaction())
        return;
    try {
        Run(m_rollback);
    } catch (const SqlException& error) {
        LogStoreFailure(Operation(), m_rollback.text, error);
    }
}
