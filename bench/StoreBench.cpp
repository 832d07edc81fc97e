// Cost of the store's lookups and of one commit's store sequence on tables of
// 1,000 and 100,000 rows. Prints microseconds per operation and the ratio.

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/BenchTimer.h"
#include "common/TextConvert.h"
#include "store/ORBDBSqliteConn.h"
#include "store/UserListSql.h"

namespace {

std::string Md5Of(unsigned n) {
    char text[33];
    std::snprintf(text, sizeof text, "%032x", n);
    return text;
}

struct Costs {
    double existsMicros;
    double addMicros;
};

std::wstring BenchFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    wchar_t name[64];
    wsprintfW(name, L"uwbench-%lu\\", GetCurrentProcessId());
    std::wstring folder = std::wstring(base) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void Fill(ORBDBSqliteConn& store, unsigned rows) {
    std::vector<std::string> inserts;
    inserts.reserve(rows);
    for (unsigned i = 0; i < rows; ++i) {
        const std::string md5 = Md5Of(i * 2654435761u);
        const std::string time = std::to_string(1700000000u + i);
        const UserListRecord record =
            MakeUserListRecord(md5.c_str(), time.c_str(), "C:\\Program Files\\App\\app.exe");
        inserts.push_back(InsertStatement(ListKind::Trusted, record));
    }
    store.ExecSqlList(inserts);
}

Costs Measure(const std::wstring& folder, unsigned rows) {
    const std::wstring path = folder + L"bench-" + Utf8ToWide(std::to_string(rows)) + L".dat";
    DeleteFileW(path.c_str());
    ORBDBSqliteConn store(path);
    store.Open();
    store.InitUserBlackTable();
    store.InitUserTrustedTable();
    Fill(store, rows);

    constexpr unsigned kLookups = 5000;
    BenchTimer lookups;
    int found = 0;
    for (unsigned i = 0; i < kLookups; ++i) {
        // Half of the lookups hit a stored row, half miss.
        const unsigned n = (i % 2 == 0) ? (i % rows) * 2654435761u : 0xfffffff0u - i;
        found += store.UserTrustedExists(Md5Of(n)) != -1;
    }
    const double existsMicros = lookups.Seconds() * 1e6 / kLookups;

    // One commit's store sequence per file: look up both tables, delete what
    // is found, insert.
    constexpr unsigned kAdds = 200;
    BenchTimer adds;
    for (unsigned i = 0; i < kAdds; ++i) {
        const std::string md5 = Md5Of((i * 7 % rows) * 2654435761u);
        const UserListRecord record =
            MakeUserListRecord(md5.c_str(), "1800000000", "C:\\Program Files\\App\\new.exe");
        if (store.UserBlackExists(md5) != -1)
            store.DelUserBlackData(md5);
        if (store.UserTrustedExists(md5) != -1)
            store.DelUserTrustedData(md5);
        store.AddUserTrustedData(&record);
    }
    const double addMicros = adds.Seconds() * 1e6 / kAdds;
    store.Close();
    DeleteFileW(path.c_str());
    std::printf("rows %7u: UserTrustedExists %8.1f us (%d of %u found), add with checks %8.1f us\n",
                rows, existsMicros, found, kLookups, addMicros);
    return Costs{existsMicros, addMicros};
}

} // namespace

extern "C" int wmain(int, wchar_t**) {
    const std::wstring folder = BenchFolder();
    const Costs few = Measure(folder, 1000);
    const Costs many = Measure(folder, 100000);
    RemoveDirectoryW(folder.c_str());
    std::printf("ratio 100,000 / 1,000 rows: UserTrustedExists %.2fx, add with checks %.2fx\n",
                many.existsMicros / few.existsMicros, many.addMicros / few.addMicros);
    return 0;
}
