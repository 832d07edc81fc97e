// A child of the codec tests: keys a database and starts rewriting every
// row; after the second page written to the database file (the journal is
// complete by then) it signals the named event and waits to be killed.
//   codec_crash_writer DATABASE EVENT

#include <windows.h>

#include "common/TextConvert.h"
#include "store/PageCodec.h"
#include "store/SqlDatabase.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return 2;
    const std::string path = WideToUtf8(argv[1]);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!ready)
        return 2;
    SetCodecWriteObserverForTesting([&](const std::string& written, int writes) {
        if (written == path && writes == 2) {
            SetEvent(ready);
            Sleep(INFINITE);
        }
    });
    SqlDatabase db;
    db.Open(path.c_str());
    const std::string key = "secret";
    CodecKeyMainDatabase(db.Connection(), key.data(), static_cast<int>(key.size()));
    db.RunStatement("UPDATE t SET a = a + 1000, b = 'changed'");
    return 3; // the update was not meant to end
}
