#include "store/UserListSql.h"

std::string SqlQuoted(std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '\'';
    for (const char c : value) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

const char* TableName(ListKind table) {
    return table == ListKind::Black ? "UserBlack" : "UserTrusted";
}

std::string ProbeStatement(ListKind table) {
    return std::string("SELECT COUNT(*) FROM ") + TableName(table) + " LIMIT 1";
}

std::string CreateTableStatement(ListKind table) {
    // Other programs read this file: the text stays exactly as it always was.
    return std::string("Create Table ") + TableName(table) +
           "(ID \t\tINTEGER PRIMARY KEY AUTOINCREMENT,Md5\t\tvarchar(33) NOT NULL,"
           "Path\t\tvarchar(260) NOT NULL,Time\t\tvarchar(21) NOT NULL)";
}

std::string CreateIndexStatement(ListKind table, const char* column) {
    const std::string name = TableName(table);
    return "CREATE INDEX IF NOT EXISTS " + name + "_" + column + " ON " + name + "(" + column + ")";
}

std::string Md5sStatement(ListKind table) {
    return std::string("SELECT Md5 FROM ") + TableName(table);
}

std::string LoadStatement(ListKind table) {
    return std::string("SELECT ID, Md5, Path, Time FROM ") + TableName(table) + " ORDER BY Time";
}

std::string InsertStatement(ListKind table, const UserListRecord& record) {
    return std::string("INSERT INTO ") + TableName(table) + "(Md5, Path, Time) VALUES(" +
           SqlQuoted(record.Md5) + ", " + SqlQuoted(record.Path) + ", " + SqlQuoted(record.Time) +
           ")";
}

std::string LastIdStatement(ListKind table) {
    return std::string("SELECT ID FROM ") + TableName(table) + " ORDER BY ID DESC LIMIT 1";
}

std::string DeleteStatement(ListKind table, std::string_view md5) {
    return std::string("DELETE FROM ") + TableName(table) + " WHERE Md5 =" + SqlQuoted(md5);
}

std::string ExistsStatement(ListKind table, std::string_view md5) {
    return std::string("SELECT ID, Md5 FROM ") + TableName(table) + " WHERE Md5= " + SqlQuoted(md5);
}

std::string BoundDeleteStatement(ListKind table) {
    return std::string("DELETE FROM ") + TableName(table) + " WHERE Md5 = ?1";
}

std::string BoundInsertStatement(ListKind table) {
    return std::string("INSERT INTO ") + TableName(table) + "(Md5, Path, Time) VALUES(?1, ?2, ?3)";
}
