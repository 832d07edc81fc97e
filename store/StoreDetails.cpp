// The store's entries with their details: the schema brought forward, the
// details read by MD5, SHA-256 or whole table, and notes set.

#include "common/HexText.h"
#include "store/EntryDetailSql.h"
#include "store/ORBDBSqliteConn.h"
#include "store/SqlException.h"
#include "store/StoreLog.h"

namespace {

constexpr int kFirstDetail = 3; // after t.Md5, t.Path, t.Time

int DetailIndex(DetailColumn column) {
    return kFirstDetail + static_cast<int>(column);
}

std::string TextOf(const SqlQuery& row, DetailColumn column) {
    return row.TextColumn(DetailIndex(column));
}

std::int64_t NumberOf(const SqlQuery& row, DetailColumn column) {
    return row.Int64Column(DetailIndex(column), -1);
}

StoredEntryDetails EntryOf(const SqlQuery& row, ListKind list) {
    StoredEntryDetails entry;
    entry.list = list;
    entry.md5 = row.TextColumn(0);
    entry.path = row.TextColumn(1);
    entry.time = row.TextColumn(2);
    const int entryTime = DetailIndex(DetailColumn::EntryTime);
    entry.factsKnown = !row.IsNull(entryTime);
    if (!entry.factsKnown)
        return entry;
    EntryFacts& facts = entry.facts;
    facts.sha256 = TextOf(row, DetailColumn::Sha256);
    facts.size = NumberOf(row, DetailColumn::Size);
    facts.machine = static_cast<int>(NumberOf(row, DetailColumn::Machine));
    facts.company = TextOf(row, DetailColumn::CompanyName);
    facts.product = TextOf(row, DetailColumn::ProductName);
    facts.description = TextOf(row, DetailColumn::FileDescription);
    facts.fileVersion = TextOf(row, DetailColumn::FileVersion);
    facts.originalName = TextOf(row, DetailColumn::OriginalFilename);
    entry.originKnown = entry.time == row.TextColumn(entryTime);
    if (entry.originKnown) {
        EntryOrigin& origin = entry.origin;
        origin.user = TextOf(row, DetailColumn::AddedBy);
        origin.computer = TextOf(row, DetailColumn::AddedOn);
        origin.how = TextOf(row, DetailColumn::Origin);
        origin.sourceFile = TextOf(row, DetailColumn::SourceFile);
        origin.note = TextOf(row, DetailColumn::Note);
    }
    return entry;
}

} // namespace

const StoreSchema& ORBDBSqliteConn::PrepareDetails() {
    m_schema = PrepareStoreSchema(m_db);
    // A store that did not open has said so already.
    if (m_schema->state == SchemaState::NotBroughtForward && m_db.IsOpen())
        LogStoreLine("[ORBDBSqliteConn::PrepareDetails()] the store could not be brought to "
                     "version " +
                     std::to_string(kStoreSchemaVersion) + ": " + m_schema->engineMessage);
    return *m_schema;
}

bool ORBDBSqliteConn::VisitDetailedRows(
    ListKind table, const std::string& select, std::string_view first, std::string_view second,
    const std::function<void(const StoredEntryDetails&)>& visit) {
    try {
        SqlStatement statement = m_db.Prepare(select.c_str());
        if (!first.empty())
            statement.BindText(1, first);
        if (!second.empty())
            statement.BindText(2, second);
        for (SqlQuery rows = statement.Query(); !rows.AtEnd(); rows.Advance())
            visit(EntryOf(rows, table));
        return true;
    } catch (const SqlException& error) {
        LogStoreFailure("ReadDetails", select, error);
        return false;
    }
}

bool ORBDBSqliteConn::VisitDetailed(ListKind table,
                                    const std::function<void(const StoredEntryDetails&)>& visit,
                                    bool withDetails) {
    if (!withDetails || !DetailsReadable()) {
        // The entries alone, as the lists' load reads them.
        return VisitTable(table, [table, &visit](const UserListRecord& record) {
            StoredEntryDetails entry;
            entry.list = table;
            entry.md5 = record.Md5;
            entry.path = record.Path;
            entry.time = record.Time;
            visit(entry);
        });
    }
    return VisitDetailedRows(table, AllDetailedStatement(table), {}, {}, visit);
}

bool ORBDBSqliteConn::ReadDetails(std::string_view md5OrSha256,
                                  std::vector<StoredEntryDetails>& entries) {
    const auto keep = [&entries](const StoredEntryDetails& entry) { entries.push_back(entry); };
    std::vector<std::string> md5s;
    if (IsHexText(md5OrSha256, kMd5TextLength)) {
        md5s.emplace_back(md5OrSha256);
    } else if (IsHexText(md5OrSha256, kSha256TextLength) && DetailsReadable()) {
        const std::string select = Sha256OwnersStatement();
        try {
            SqlStatement statement = m_db.Prepare(select.c_str());
            statement.BindText(1, AsciiLower(md5OrSha256));
            for (SqlQuery rows = statement.Query(); !rows.AtEnd(); rows.Advance())
                md5s.emplace_back(rows.TextColumn(1));
        } catch (const SqlException& error) {
            LogStoreFailure("ReadDetails", select, error);
            return false;
        }
    }
    for (const ListKind table : {ListKind::Trusted, ListKind::Black}) {
        for (const std::string& md5 : md5s) {
            const std::string lower = AsciiLower(md5);
            const std::string upper = AsciiUpper(md5);
            bool read;
            if (DetailsReadable()) {
                read = VisitDetailedRows(table, DetailedByMd5Statement(table), lower, upper, keep);
            } else {
                // Without details only the table: its existence query's row.
                read = true;
                for (const std::string& variant : {lower, upper}) {
                    bool failed = false;
                    const int id = FindMd5(table, variant, "ReadDetails", &failed);
                    read = read && !failed;
                    if (id != -1) {
                        StoredEntryDetails entry;
                        entry.list = table;
                        entry.md5 = variant;
                        entries.push_back(entry);
                    }
                }
            }
            if (!read)
                return false;
        }
    }
    return true;
}

NoteResult ORBDBSqliteConn::SetNote(ListKind table, std::string_view md5, std::string_view note) {
    if (!DetailsWritable())
        return NoteResult::NotWritable;
    const std::string statementText = BoundNoteStatement(table);
    try {
        SqlStatement statement = m_db.Prepare(statementText.c_str());
        statement.BindText(1, md5);
        statement.BindTextOrNull(2, note);
        return statement.Run() > 0 ? NoteResult::Set : NoteResult::NotHeld;
    } catch (const SqlException& error) {
        LogStoreFailure("SetNote", statementText, error);
        return NoteResult::Failed;
    }
}
