#include "store/EntryDetailSql.h"

#include "store/UserListSql.h"

namespace {

const char* const kColumnNames[] = {"EntryTime",       "Sha256",      "Size",
                                    "Machine",         "CompanyName", "ProductName",
                                    "FileDescription", "FileVersion", "OriginalFilename",
                                    "AddedBy",         "AddedOn",     "Origin",
                                    "SourceFile",      "Note"};
static_assert(sizeof kColumnNames / sizeof kColumnNames[0] ==
              static_cast<std::size_t>(DetailColumn::Count));

// The columns that say who added the entry and how, cleared when the note of
// an entry whose details describe an earlier row is set.
const DetailColumn kOriginColumns[] = {DetailColumn::AddedBy, DetailColumn::AddedOn,
                                       DetailColumn::Origin, DetailColumn::SourceFile};

std::string ListLiteral(ListKind table) {
    return SqlQuoted(TableName(table));
}

std::string ColumnList(const char* prefix) {
    std::string columns;
    for (int i = 0; i < static_cast<int>(DetailColumn::Count); ++i) {
        columns += ", ";
        columns += prefix;
        columns += kColumnNames[i];
    }
    return columns;
}

} // namespace

const char* DetailColumnName(DetailColumn column) {
    return kColumnNames[static_cast<int>(column)];
}

std::string CreateDetailTableStatement() {
    std::string text = std::string("CREATE TABLE IF NOT EXISTS ") + kDetailTable +
                       "(List TEXT NOT NULL, Md5 TEXT NOT NULL, EntryTime TEXT, Sha256 TEXT, "
                       "Size INTEGER, Machine INTEGER, CompanyName TEXT, ProductName TEXT, "
                       "FileDescription TEXT, FileVersion TEXT, OriginalFilename TEXT, "
                       "AddedBy TEXT, AddedOn TEXT, Origin TEXT, SourceFile TEXT, Note TEXT, "
                       "PRIMARY KEY(List, Md5)) WITHOUT ROWID";
    return text;
}

std::string CreateDetailSha256IndexStatement() {
    return std::string("CREATE INDEX IF NOT EXISTS ") + kDetailTable + "_Sha256 ON " +
           kDetailTable + "(Sha256)";
}

std::string BoundDetailReplaceStatement(ListKind table) {
    std::string values;
    for (int i = 0; i < static_cast<int>(DetailColumn::Count); ++i)
        values += ", ?" + std::to_string(i + 2);
    return std::string("INSERT OR REPLACE INTO ") + kDetailTable + "(List, Md5" + ColumnList("") +
           ") VALUES(" + ListLiteral(table) + ", ?1" + values + ")";
}

std::string BoundDetailDeleteStatement(ListKind table) {
    return std::string("DELETE FROM ") + kDetailTable + " WHERE List = " + ListLiteral(table) +
           " AND Md5 = ?1";
}

std::string DetailedSelect(ListKind table, const std::string& where) {
    return std::string("SELECT t.Md5, t.Path, t.Time") + ColumnList("d.") + " FROM " +
           TableName(table) + " t LEFT JOIN " + kDetailTable +
           " d ON d.List = " + ListLiteral(table) + " AND d.Md5 = t.Md5" + where;
}

std::string AllDetailedStatement(ListKind table) {
    return DetailedSelect(table, " ORDER BY t.Time");
}

std::string DetailedByMd5Statement(ListKind table) {
    return DetailedSelect(table, " WHERE t.Md5 IN (?1, ?2) ORDER BY t.ID");
}

std::string Sha256OwnersStatement() {
    return std::string("SELECT List, Md5 FROM ") + kDetailTable + " WHERE Sha256 = ?1";
}

std::string BoundNoteStatement(ListKind table) {
    // The last row of the MD5 is the one the lists show.
    std::string text = std::string("INSERT INTO ") + kDetailTable +
                       "(List, Md5, EntryTime, Note) " + "SELECT " + ListLiteral(table) +
                       ", Md5, Time, ?2 FROM " + TableName(table) +
                       " WHERE Md5 = ?1 ORDER BY ID DESC LIMIT 1 "
                       "ON CONFLICT(List, Md5) DO UPDATE SET Note = excluded.Note, "
                       "EntryTime = excluded.EntryTime";
    for (const DetailColumn column : kOriginColumns) {
        const std::string name = DetailColumnName(column);
        text += ", " + name + " = iif(EntryTime IS excluded.EntryTime, " + name + ", NULL)";
    }
    return text;
}
