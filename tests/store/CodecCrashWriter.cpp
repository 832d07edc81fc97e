// A child of the codec tests: keys a database with "secret" and starts a
// change of every page; after the given number of page writes into the
// database file (the journal complete, pages changed in place) it signals
// the named event and waits to be killed.
//   codec_crash_writer DATABASE EVENT update|rekey|rekey-plain WRITES
// update rewrites every row of table t; rekey re-encrypts under "other";
// rekey-plain keys a plain database with "other" (its journal then holds
// plain pages, which the engine itself can roll back). With EVENT "-" it
// ends itself at that write instead, as a process ended from outside.

#include <string>

#include <windows.h>

#include "common/TextConvert.h"
#include "store/PageCodec.h"
#include "tests/store/CodecTestSeams.h"
#include "store/SqlDatabase.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc != 5)
        return 2;
    const std::string path = WideToUtf8(argv[1]);
    const std::wstring mode = argv[3];
    const int killAt = _wtoi(argv[4]);
    const bool endsItself = std::wstring(argv[2]) == L"-";
    HANDLE ready = endsItself ? nullptr : OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if ((!ready && !endsItself) || killAt <= 0 ||
        (mode != L"update" && mode != L"rekey" && mode != L"rekey-plain"))
        return 2;
    SetCodecWriteObserverForTesting([&](const std::string& written, int writes) {
        if (written != path || writes != killAt)
            return;
        if (endsItself)
            TerminateProcess(GetCurrentProcess(), 9);
        SetEvent(ready);
        Sleep(INFINITE);
    });
    SqlDatabase db;
    db.Open(path.c_str());
    if (mode != L"rekey-plain") {
        const std::string key = "secret";
        CodecKeyMainDatabase(db.Connection(), key.data(), static_cast<int>(key.size()));
    }
    if (mode == L"update") {
        db.RunStatement("UPDATE t SET a = a + 1000, b = 'changed'");
    } else {
        const std::string other = "other";
        CodecRekeyMainDatabase(db.Connection(), other.data(), static_cast<int>(other.size()));
    }
    return 3; // the change was not meant to end
}
