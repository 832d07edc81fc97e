// The program's two exported key functions (exported by the program's .def
// as _sqlite3_key_interop@12 and _sqlite3_rekey_interop@12).

#include <windows.h>

#include "store/PageCodec.h"

extern "C" int WINAPI sqlite3_key_interop(sqlite3* connection, const void* password, int length) {
    return CodecKeyMainDatabase(connection, password, length);
}

extern "C" int WINAPI sqlite3_rekey_interop(sqlite3* connection, const void* password, int length) {
    return CodecRekeyMainDatabase(connection, password, length);
}
