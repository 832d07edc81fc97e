// Holds a store locked as another program may: makes the store with one
// entry if it is new, then keeps an exclusive transaction open for the
// given number of seconds; "held" on standard output once the lock is taken.
//   store_holder STORE SECONDS

#include <cstdio>
#include <cwchar>

#include <windows.h>

#include "common/TextConvert.h"
#include "store/ORBDBSqliteConn.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: store_holder STORE SECONDS\n");
        return 2;
    }
    const std::wstring path = argv[1];
    const DWORD seconds = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
    ORBDBSqliteConn store(path, 1000);
    store.Open();
    store.InitUserTrustedTable();
    store.InitUserBlackTable();
    const UserListRecord record =
        MakeUserListRecord("0cc175b9c0f1b6a831c399e269772661", "1700000000", "C:\\a.exe");
    if (store.UserTrustedExists(record.Md5) == -1 && store.AddUserTrustedData(&record) == -1)
        return 1;
    if (store.ExecSql("BEGIN EXCLUSIVE;") != 0)
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(seconds * 1000);
    store.ExecSql("ROLLBACK;");
    return 0;
}
