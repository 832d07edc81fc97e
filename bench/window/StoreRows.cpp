#include "bench/window/StoreRows.h"

#include <windows.h>

#include "common/TextConvert.h"
#include "store/SqlDatabase.h"
#include "store/SqlException.h"

namespace {

// Short: the caller polls, and a reader waiting on the lock would hold up
// the program's next write.
constexpr int kBusyTimeoutMs = 100;

} // namespace

long long CountStoreRows(const std::wstring& storePath, const char* table) {
    if (GetFileAttributesW(storePath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return -1;
    try {
        SqlDatabase database;
        database.SetBusyTimeout(kBusyTimeoutMs);
        database.Open(WideToUtf8(storePath).c_str());
        const std::string sql = std::string("SELECT count(*) AS n FROM ") + table;
        SqlQuery query = database.RunQuery(sql.c_str());
        return query.AtEnd() ? -1 : query.Int64Column("n", -1);
    } catch (const SqlException&) {
        return -1;
    }
}
