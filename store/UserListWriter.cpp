#include "store/UserListWriter.h"

#include <utility>

#include "store/SqlException.h"
#include "store/StoreLog.h"

// The write lock is taken at the start (waiting out other writers within the
// busy timeout), so no statement of the batch has to wait for it.
UserListWriter::UserListWriter(SqlDatabase& db, ListKind table)
    : m_db(db), m_table(table), m_begin(db, "BEGIN IMMEDIATE"), m_commit(db, "COMMIT"),
      m_rollback(db, "ROLLBACK"), m_deleteOther(db, BoundDeleteStatement(OtherList(table))),
      m_deleteOwn(db, BoundDeleteStatement(table)), m_insert(db, BoundInsertStatement(table)) {}

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
