#pragma once
// The page codec's file layer: a VFS over the engine's own Windows file
// layer that decodes what it reads of a keyed main database and its
// rollback journal and encodes what it writes (the key of the journal is
// the main database's read key). It also learns each file's page size from
// page 1 or the journal's header, and sees `PRAGMA key` and a "key" URI
// parameter. Open main database files are kept by name, so that a journal
// finds the database it belongs to.

#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <windows.h>

#include "store/CodecKey.h"

// The keys of a file and its journal, shared by both.
struct CodecBlock {
    std::shared_ptr<CodecKey> readKey;
    std::shared_ptr<CodecKey> writeKey;
    unsigned pageSize = 0; // 0 until the file shows it
};

enum class FileKind { MainDb, MainJournal, Other };

// What the engine holds as its sqlite3_file: the codec's part, then the
// engine's own Windows file (`real`) in the same allocation.
struct CodecFile {
    sqlite3_file base; // must stay first
    sqlite3_file* real;
    FileKind kind;
    std::string name;
    int lockLevel = SQLITE_LOCK_NONE;
    int writes = 0;
    std::shared_ptr<CodecBlock> block;
    std::vector<BYTE> scratch;
};

// Registers the layer as the engine's default (once; the caller keeps it
// so). Returns it.
sqlite3_vfs* RegisterCodecVfs();

// The codec file of a connection's main database, or null.
CodecFile* MainCodecFile(sqlite3* connection);

// Installs the key of a password on a main database file; an empty password
// installs nothing. `error` (if given) gets the text of a provider failure.
int InstallKey(CodecFile& file, const void* password, int length, std::string* error);

// The text of the provider failure.
inline constexpr char kProviderMessage[] = "Cryptographic provider not available";
