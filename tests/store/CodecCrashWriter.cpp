// A child of the codec tests: keys a database with "secret" and starts a
// change of every page; after the given number of page writes into the
// database file (the journal complete, pages changed in place) it signals
// the named event and waits to be killed.
//   codec_crash_writer DATABASE EVENT update|rekey WRITES
// update rewrites every row of table t; rekey re-encrypts under "other".

#include <string>

#include <windows.h>

#include "common/TextConvert.h"
#include "store/PageCodec.h"
#include "store/SqlDatabase.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc != 5)
        return 2;
    const std::string path = WideToUtf8(argv[1]);
    const std::wstring mode = argv[3];
    const int killAt = _wtoi(argv[4]);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!ready || killAt <= 0 || (mode != L"update" && mode != L"rekey"))
        return 2;
    SetCodecWriteObserverForTesting([&](const std::string& written, int writes) {
        if (written == path && writes == killAt) {
            SetEvent(ready);
            Sleep(INFINITE);
        }
    });
    SqlDatabase db;
    db.Open(path.c_str());
    const std::string key = "secret";
    CodecKeyMainDatabase(db.Connection(), key.data(), static_cast<int>(key.size()));
    if (mode == L"update") {
        db.RunStatement("UPDATE t SET a = a + 1000, b = 'changed'");
    } else {
        const std::string other = "other";
        CodecRekeyMainDatabase(db.Connection(), other.data(), static_cast<int>(other.size()));
    }
    return 3; // the change was not meant to end
}
