#include "store/CodecVfs.h"

#include <cstring>
#include <new>
#include <unordered_map>

#include "common/CriticalSection.h"
#include "common/Invariant.h"
#include "store/CodecAttach.h"
#include "store/CodecSeams.h"

namespace {

sqlite3_vfs* g_base = nullptr;

CodecFile* AsCodec(sqlite3_file* file) {
    return reinterpret_cast<CodecFile*>(file);
}

// Open main database files by name, to find the owner of a journal.
CriticalSection& OpenFilesLock() {
    static CriticalSection lock;
    return lock;
}
std::unordered_multimap<std::string, CodecFile*>& OpenMainFiles() {
    static std::unordered_multimap<std::string, CodecFile*> files;
    return files;
}

// The page size a page-1 image states (bytes 16-17; 1 means 65536); 0 when invalid.
unsigned HeaderPageSize(const BYTE* page, int amount) {
    if (amount < 18)
        return 0;
    unsigned size = (static_cast<unsigned>(page[16]) << 8) | page[17];
    if (size == 1)
        size = 65536;
    return (size >= 512 && size <= 65536 && (size & (size - 1)) == 0) ? size : 0;
}

void LearnPageSize(CodecBlock& block, const BYTE* plain, int amount, sqlite3_int64 offset) {
    if (offset == 0) {
        if (const unsigned size = HeaderPageSize(plain, amount))
            block.pageSize = size;
    } else if (!block.pageSize && amount >= 512 && (amount & (amount - 1)) == 0 &&
               offset % amount == 0) {
        block.pageSize = static_cast<unsigned>(amount);
    }
}

// A rollback journal's header states the page size of its records (bytes
// 24-27, big-endian). A hot journal is replayed before any database page is
// read, so this is where a newly opened connection learns the page size. The
// engine reads the header's fields one by one or the header whole.
void LearnJournalPageSize(CodecBlock& block, const BYTE* data, int amount, sqlite3_int64 offset) {
    constexpr sqlite3_int64 kField = 24;
    if (block.pageSize || offset > kField || offset + amount < kField + 4)
        return;
    const BYTE* field = data + (kField - offset);
    const unsigned size = (static_cast<unsigned>(field[0]) << 24) |
                          (static_cast<unsigned>(field[1]) << 16) |
                          (static_cast<unsigned>(field[2]) << 8) | field[3];
    if (size >= 512 && size <= kMaxPageSize && (size & (size - 1)) == 0)
        block.pageSize = size;
}

// Journal records are (page number, page, checksum): a page-sized piece at
// an offset of 4 modulo 8 is page data; headers and numbers are not.
bool IsJournalPage(const CodecBlock& block, int amount, sqlite3_int64 offset) {
    return block.pageSize && static_cast<unsigned>(amount) == block.pageSize && offset % 8 == 4;
}

int FileClose(sqlite3_file* file) {
    CodecFile* codec = AsCodec(file);
    if (codec->kind == FileKind::MainDb) {
        ScopedLock lock(OpenFilesLock());
        auto range = OpenMainFiles().equal_range(codec->name);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == codec) {
                OpenMainFiles().erase(it);
                break;
            }
        }
    }
    const int rc = codec->real->pMethods ? codec->real->pMethods->xClose(codec->real) : SQLITE_OK;
    codec->~CodecFile();
    return rc;
}

int FileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    CodecFile* codec = AsCodec(file);
    const int rc = codec->real->pMethods->xRead(codec->real, buffer, amount, offset);
    if ((rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ) || !codec->block)
        return rc;
    CodecBlock& block = *codec->block;
    BYTE* data = static_cast<BYTE*>(buffer);
    if (codec->kind == FileKind::MainDb && block.readKey) {
        block.readKey->Apply(data, amount, static_cast<unsigned long long>(offset), block.pageSize);
        LearnPageSize(block, data, amount, offset);
    } else if (codec->kind == FileKind::MainJournal && block.readKey) {
        LearnJournalPageSize(block, data, amount, offset);
        if (IsJournalPage(block, amount, offset))
            block.readKey->Apply(data, amount, 0, block.pageSize);
    }
    return rc;
}

int FileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    CodecFile* codec = AsCodec(file);
    const CodecKey* key = nullptr;
    unsigned long long position = static_cast<unsigned long long>(offset);
    if (codec->block) {
        CodecBlock& block = *codec->block;
        if (codec->kind == FileKind::MainDb) {
            LearnPageSize(block, static_cast<const BYTE*>(buffer), amount, offset);
            key = block.writeKey.get();
        } else if (codec->kind == FileKind::MainJournal && IsJournalPage(block, amount, offset)) {
            key = block.readKey.get();
            position = 0;
        }
    }
    int rc;
    if (key) {
        codec->scratch.assign(static_cast<const BYTE*>(buffer),
                              static_cast<const BYTE*>(buffer) + amount);
        key->Apply(codec->scratch.data(), amount, position, codec->block->pageSize);
        rc = codec->real->pMethods->xWrite(codec->real, codec->scratch.data(), amount, offset);
    } else {
        rc = codec->real->pMethods->xWrite(codec->real, buffer, amount, offset);
    }
    if (codec->kind == FileKind::MainDb) {
        ++codec->writes;
        if (const CodecSeams* seams = ActiveCodecSeams(); seams && seams->writeObserver)
            seams->writeObserver(codec->name, codec->writes);
    }
    return rc;
}

int FileTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return AsCodec(f)->real->pMethods->xTruncate(AsCodec(f)->real, size);
}
int FileSync(sqlite3_file* f, int flags) {
    return AsCodec(f)->real->pMethods->xSync(AsCodec(f)->real, flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return AsCodec(f)->real->pMethods->xFileSize(AsCodec(f)->real, size);
}
int FileLock(sqlite3_file* f, int level) {
    const int rc = AsCodec(f)->real->pMethods->xLock(AsCodec(f)->real, level);
    if (rc == SQLITE_OK)
        AsCodec(f)->lockLevel = level;
    return rc;
}
int FileUnlock(sqlite3_file* f, int level) {
    AsCodec(f)->lockLevel = level;
    return AsCodec(f)->real->pMethods->xUnlock(AsCodec(f)->real, level);
}
int FileCheckReservedLock(sqlite3_file* f, int* result) {
    return AsCodec(f)->real->pMethods->xCheckReservedLock(AsCodec(f)->real, result);
}
int FileSectorSize(sqlite3_file* f) {
    return AsCodec(f)->real->pMethods->xSectorSize(AsCodec(f)->real);
}
int FileDeviceCharacteristics(sqlite3_file* f) {
    return AsCodec(f)->real->pMethods->xDeviceCharacteristics(AsCodec(f)->real);
}

int FileControl(sqlite3_file* f, int op, void* arg) {
    CodecFile* codec = AsCodec(f);
    if (op == SQLITE_FCNTL_PRAGMA && codec->kind == FileKind::MainDb) {
        char** args = static_cast<char**>(arg);
        if (args[1] && sqlite3_stricmp(args[1], "key") == 0) {
            std::string error;
            const char* value = args[2] ? args[2] : "";
            const int rc = InstallKey(*codec, value, static_cast<int>(std::strlen(value)), &error);
            if (rc != SQLITE_OK && !error.empty())
                args[0] = sqlite3_mprintf("%s", error.c_str());
            return rc;
        }
    }
    return codec->real->pMethods->xFileControl(codec->real, op, arg);
}

const sqlite3_io_methods kCodecMethods = {
    1,
    FileClose,
    FileRead,
    FileWrite,
    FileTruncate,
    FileSync,
    FileSize,
    FileLock,
    FileUnlock,
    FileCheckReservedLock,
    FileControl,
    FileSectorSize,
    FileDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// The main database file whose journal `journalName` is, while it holds a
// write lock (a journal is only written under one).
std::shared_ptr<CodecBlock> JournalOwnerBlock(const std::string& journalName) {
    static const std::string kSuffix = "-journal";
    if (journalName.size() <= kSuffix.size() ||
        journalName.compare(journalName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return nullptr;
    const std::string mainName = journalName.substr(0, journalName.size() - kSuffix.size());
    ScopedLock lock(OpenFilesLock());
    auto range = OpenMainFiles().equal_range(mainName);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second->lockLevel >= SQLITE_LOCK_RESERVED)
            return it->second->block;
    }
    return nullptr;
}

int VfsOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* codec = new (file) CodecFile(); // lives in the engine's memory until xClose
    // The engine's file handle is the codec's: AsCodec casts one to the other.
    UW_INVARIANT(static_cast<void*>(&codec->base) == static_cast<void*>(codec));
    codec->base.pMethods = nullptr;
    codec->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) +
                                                  ((sizeof(CodecFile) + 7) & ~std::size_t(7)));
    codec->kind = (flags & SQLITE_OPEN_MAIN_DB)        ? FileKind::MainDb
                  : (flags & SQLITE_OPEN_MAIN_JOURNAL) ? FileKind::MainJournal
                                                       : FileKind::Other;
    codec->name = name ? name : "";
    const int rc = g_base->xOpen(g_base, name, codec->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        codec->~CodecFile();
        file->pMethods = nullptr;
        return rc;
    }
    if (codec->kind == FileKind::MainDb) {
        {
            ScopedLock lock(OpenFilesLock());
            OpenMainFiles().emplace(codec->name, codec);
        }
        if (const char* key = sqlite3_uri_parameter(name, "key")) {
            codec->base.pMethods = &kCodecMethods;
            if (InstallKey(*codec, key, static_cast<int>(std::strlen(key)), nullptr) != SQLITE_OK) {
                FileClose(file);
                file->pMethods = nullptr;
                return SQLITE_CANTOPEN;
            }
            TakeAttachNaming(name);
        } else if (const auto attach = TakeAttachNaming(name); attach && attach->mainReadKey) {
            auto block = std::make_shared<CodecBlock>();
            block->readKey = block->writeKey = attach->mainReadKey;
            codec->block = block;
        }
    } else if (codec->kind == FileKind::MainJournal) {
        codec->block = JournalOwnerBlock(codec->name);
    }
    codec->base.pMethods = &kCodecMethods;
    return SQLITE_OK;
}

} // namespace

sqlite3_vfs* RegisterCodecVfs() {
    static sqlite3_vfs vfs = {};
    // The engine's own Windows file layer does the file work.
    g_base = sqlite3_vfs_find(nullptr);
    vfs = *g_base;
    vfs.zName = "codec-win32";
    vfs.szOsFile = static_cast<int>(((sizeof(CodecFile) + 7) & ~std::size_t(7)) +
                                    static_cast<std::size_t>(g_base->szOsFile));
    vfs.xOpen = VfsOpen;
    sqlite3_vfs_register(&vfs, 1);
    return &vfs;
}

CodecFile* MainCodecFile(sqlite3* connection) {
    sqlite3_file* file = nullptr;
    if (!connection ||
        sqlite3_file_control(connection, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || file->pMethods != &kCodecMethods)
        return nullptr;
    return AsCodec(file);
}

int InstallKey(CodecFile& file, const void* password, int length, std::string* error) {
    std::shared_ptr<CodecKey> key;
    switch (DeriveKey(password, length, key)) {
    case Derived::Unavailable:
        if (error)
            *error = kProviderMessage;
        return SQLITE_ERROR;
    case Derived::NoKey:
        return (!password || length <= 0) ? SQLITE_OK : SQLITE_ERROR;
    case Derived::Key:
        break;
    }
    auto block = std::make_shared<CodecBlock>();
    block->readKey = block->writeKey = key;
    if (file.block)
        block->pageSize = file.block->pageSize;
    file.block = block;
    return SQLITE_OK;
}
