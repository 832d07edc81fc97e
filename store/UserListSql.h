#pragma once
// The statement texts of the user-list store, built as plain functions.
//
// Values are placed between single quotes; a quote inside a value is doubled,
// so a path such as C:\a'b\x.exe is stored and compared literally and can
// never end the literal or add a statement.

#include <string>
#include <string_view>

#include "store/UserListRecord.h"

enum class UserTable { Black, Trusted };

// The value between single quotes, with its quotes doubled.
std::string SqlQuoted(std::string_view value);

const char* TableName(UserTable table);
std::string ProbeStatement(UserTable table);
std::string CreateTableStatement(UserTable table);
std::string CreateMd5IndexStatement(UserTable table);
std::string LoadStatement(UserTable table);
std::string InsertStatement(UserTable table, const UserListRecord& record);
std::string LastIdStatement(UserTable table);
std::string DeleteStatement(UserTable table, std::string_view md5);
std::string ExistsStatement(UserTable table, std::string_view md5);

// The statements of a batched write, with parameters: ?1 the MD5, and for the
// insert ?2 the path and ?3 the time.
std::string BoundDeleteStatement(UserTable table);
std::string BoundInsertStatement(UserTable table);
UserTable OtherTable(UserTable table);
