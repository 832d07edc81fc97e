#include "bench/window/StoreWatch.h"

#include <windows.h>

#include "common/TextConvert.h"
#include "store/SqlException.h"

namespace {

// Short: the caller polls, and a reader waiting on the lock would hold up
// the program's next write.
constexpr int kBusyTimeoutMs = 100;

} // namespace

StoreWatch::StoreWatch(std::wstring storePath, std::string table)
    : m_path(std::move(storePath)), m_countSql("SELECT count(*) AS n FROM " + table) {
    m_database.SetBusyTimeout(kBusyTimeoutMs);
}

bool StoreWatch::EnsureOpen() {
    if (m_database.IsOpen())
        return true;
    if (GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    m_database.Open(WideToUtf8(m_path).c_str());
    return true;
}

long long StoreWatch::Rows() {
    try {
        if (!EnsureOpen())
            return -1;
        SqlQuery query = m_database.RunQuery(m_countSql.c_str());
        return query.AtEnd() ? -1 : query.Int64Column("n", -1);
    } catch (const SqlException&) {
        return -1;
    }
}
