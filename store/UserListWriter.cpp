#include "store/UserListWriter.h"

#include <string>
#include <utility>

#include "store/EntryDetailSql.h"
#include "store/SqlException.h"
#include "store/SqlQuery.h"
#include "store/StoreLog.h"

// The write lock is taken at the start (waiting out other writers within the
// busy timeout), so no statement of the batch has to wait for it.
UserListWriter::UserListWriter(SqlDatabase& db, ListKind table, bool writeDetails)
    : m_db(db), m_table(table), m_cache(db), m_begin(db, "BEGIN IMMEDIATE"), m_commit(db, "COMMIT"),
      m_rollback(db, "ROLLBACK"), m_deleteOther(db, BoundDeleteStatement(OtherList(table))),
      m_deleteOwn(db, BoundDeleteStatement(table)), m_insert(db, BoundInsertStatement(table)) {
    if (writeDetails)
        m_details.emplace(db, table);
}

UserListWriter::DetailSteps::DetailSteps(SqlDatabase& db, ListKind table)
    : deleteOther(db, BoundDetailDeleteStatement(OtherList(table))),
      replace(db, BoundDetailReplaceStatement(table)) {}

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
    return Write(records, nullptr, nullptr);
}

bool UserListWriter::Write(const UserListRecords& records, const EntryOrigin* origin,
                           const std::vector<EntryAddition>* additions) {
    try {
        WriteInTransaction(records, origin, additions);
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

void UserListWriter::WriteInTransaction(const UserListRecords& records, const EntryOrigin* origin,
                                        const std::vector<EntryAddition>* additions) {
    static const EntryAddition kNothingMore;
    Run(m_begin);
    for (std::size_t i = 0; i < records.size(); ++i) {
        WriteRecord(records[i]);
        if (m_details)
            WriteDetails(records[i], origin,
                         additions && i < additions->size() ? (*additions)[i] : kNothingMore);
    }
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

void UserListWriter::WriteDetails(const UserListRecord& record, const EntryOrigin* origin,
                                  const EntryAddition& addition) {
    m_details->deleteOther.statement.BindText(1, record.Md5);
    Run(m_details->deleteOther);
    SqlStatement& replace = m_details->replace.statement;
    const auto text = [&replace](DetailColumn column, std::string_view value) {
        replace.BindTextOrNull(DetailParameter(column), value);
    };
    replace.BindText(1, record.Md5);
    text(DetailColumn::EntryTime, record.Time);
    if (const EntryFacts* facts = addition.facts) {
        text(DetailColumn::Sha256, facts->sha256);
        if (facts->size >= 0)
            replace.BindInt64(DetailParameter(DetailColumn::Size), facts->size);
        if (facts->machine >= 0)
            replace.BindInt64(DetailParameter(DetailColumn::Machine), facts->machine);
        text(DetailColumn::CompanyName, facts->company);
        text(DetailColumn::ProductName, facts->product);
        text(DetailColumn::FileDescription, facts->description);
        text(DetailColumn::FileVersion, facts->fileVersion);
        text(DetailColumn::OriginalFilename, facts->originalName);
    }
    if (origin) {
        text(DetailColumn::AddedBy, origin->user);
        text(DetailColumn::AddedOn, origin->computer);
        text(DetailColumn::Origin, origin->how);
        text(DetailColumn::SourceFile, origin->sourceFile);
    }
    text(DetailColumn::Note,
         !addition.note.empty() || !origin ? addition.note : std::string_view(origin->note));
    Run(m_details->replace);
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
