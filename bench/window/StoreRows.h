#pragma once
// Rows of a table of the program's store (UserSign.dat), read through the
// project's SQL layer while the program may be writing it.

#include <string>

// The row count; -1 when the file does not exist yet or is busy (the
// caller asks again later). A missing file is never created.
long long CountStoreRows(const std::wstring& storePath, const char* table);
