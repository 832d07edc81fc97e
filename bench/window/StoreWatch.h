#pragma once
// Watches the row count of a table of the program's store (UserSign.dat)
// through the project's SQL layer while the program writes it. One
// connection serves every look, so a look costs the count alone; a missing
// file is never created, and a look at a busy file gives up at once.

#include <string>

#include "store/SqlDatabase.h"

class StoreWatch {
public:
    StoreWatch(std::wstring storePath, std::string table);
    StoreWatch(const StoreWatch&) = delete;
    StoreWatch& operator=(const StoreWatch&) = delete;

    // The rows now; -1 when the file does not exist yet or is busy (the
    // caller looks again later). A count that shows a change shows one
    // committed before the look began: the engine reads a snapshot taken
    // as the statement starts.
    long long Rows();

private:
    bool EnsureOpen();

    const std::wstring m_path;
    const std::string m_countSql;
    SqlDatabase m_database;
};
