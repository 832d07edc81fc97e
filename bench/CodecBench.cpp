// Cost of the page codec: inserting and reading back 100,000 rows in a keyed
// database against a plain one. Prints both times and the ratio.

#include <cstdio>
#include <string>

#include <sqlite3.h>
#include <windows.h>

#include "bench/BenchTimer.h"
#include "common/TextConvert.h"
#include "store/PageCodec.h"
#include "store/SqlDatabase.h"

namespace {

double Run(const std::wstring& path, const char* password) {
    DeleteFileW(path.c_str());
    BenchTimer timer;
    SqlDatabase db;
    db.Open(WideToUtf8(path).c_str());
    if (password)
        CodecKeyMainDatabase(db.Connection(), password, lstrlenA(password));
    db.RunStatement("CREATE TABLE t(id INTEGER PRIMARY KEY, md5 TEXT, path TEXT, time TEXT)");
    db.RunStatement("BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db.Connection(), "INSERT INTO t(md5, path, time) VALUES(?, ?, ?)", -1,
                       &insert, nullptr);
    for (int i = 0; i < 100000; ++i) {
        char md5[33];
        std::snprintf(md5, sizeof md5, "%032x", i * 2654435761u);
        sqlite3_bind_text(insert, 1, md5, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, "C:\\Program Files\\App\\some\\path\\file.exe", -1,
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, "1800000000", -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    db.RunStatement("COMMIT");
    db.Close();
    // Read everything back through a new connection (cold cache).
    db.Open(WideToUtf8(path).c_str());
    if (password)
        CodecKeyMainDatabase(db.Connection(), password, lstrlenA(password));
    long long length = 0;
    for (SqlQuery rows = db.RunQuery("SELECT md5, path FROM t"); !rows.AtEnd(); rows.Advance())
        length += lstrlenA(rows.TextColumn("md5")) + lstrlenA(rows.TextColumn("path"));
    db.Close();
    const double seconds = timer.Seconds();
    DeleteFileW(path.c_str());
    return length > 0 ? seconds : -1;
}

} // namespace

extern "C" int wmain(int, wchar_t**) {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring base = std::wstring(folder) + L"uwcodec-bench";
    Run(base + L"-warm.db", nullptr); // warm up the file system
    const double plain = Run(base + L"-plain.db", nullptr);
    const double keyed = Run(base + L"-keyed.db", "bench password");
    std::printf("100,000 rows inserted and read back: plain %.3f s, keyed %.3f s, ratio %.2fx\n",
                plain, keyed, keyed / plain);
    return 0;
}
