#pragma once
// Keys for attached databases. An ATTACH of a file without a key of its own
// opens it under the read key of its connection's main database: the
// authorizer sees each ATTACH while it is prepared and notes, for its
// thread, the file it names and that key; the open that follows on the
// thread takes the note.

#include <memory>
#include <string>

#include <sqlite3.h>

#include "store/CodecKey.h"

struct PendingAttach {
    std::wstring path;
    std::shared_ptr<CodecKey> mainReadKey;
};

// The auto-extension that installs the authorizer on every connection.
int InstallAttachWatch(sqlite3* connection, char**, const sqlite3_api_routines*);

// This thread's note when it names the file `name` (an engine file name,
// perhaps a "file:" URI): taken, so that it serves one open. Null otherwise.
std::unique_ptr<PendingAttach> TakeAttachNaming(const char* name);
