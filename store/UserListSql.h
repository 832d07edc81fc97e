#pragma once
// The statement texts of the user-list store, built as plain functions.
//
// Values are placed between single quotes; a quote inside a value is doubled,
// so a path such as C:\a'b\x.exe is stored and compared literally and can
// never end the literal or add a statement.

#include <string>
#include <string_view>

#include "common/ListKind.h"
#include "store/UserListRecord.h"

// The value between single quotes, with its quotes doubled.
std::string SqlQuoted(std::string_view value);

const char* TableName(ListKind table);
std::string ProbeStatement(ListKind table);
std::string CreateTableStatement(ListKind table);
// An index of a table's column, "<table>_<column>", made when missing.
std::string CreateIndexStatement(ListKind table, const char* column);
std::string Md5sStatement(ListKind table);
std::string LoadStatement(ListKind table);
std::string InsertStatement(ListKind table, const UserListRecord& record);
std::string LastIdStatement(ListKind table);
std::string DeleteStatement(ListKind table, std::string_view md5);
std::string ExistsStatement(ListKind table, std::string_view md5);

// The statements of a batched write, with parameters: ?1 the MD5, and for the
// insert ?2 the path and ?3 the time.
std::string BoundDeleteStatement(ListKind table);
std::string BoundInsertStatement(ListKind table);
