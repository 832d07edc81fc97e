#include "store/PageCodec.h"

#include <cstring>
#include <memory>
#include <utility>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include <sqlite3.h>
#include <windows.h>
#include <wincrypt.h>

#include "common/CriticalSection.h"
#include "common/Handles.h"
#include "common/ModulePath.h"
#include "common/TextConvert.h"

namespace {

constexpr unsigned kMaxPageSize = 65536;
constexpr unsigned long long kLockByteOffset = 0x40000000ULL;

bool g_providerUnavailable = false;
int g_failRekeyAfter = -1;
std::function<void(const std::string&, int)> g_writeObserver;

// ---- keys ---------------------------------------------------------------

HCRYPTPROV Provider() {
    static HCRYPTPROV provider = 0;
    if (g_providerUnavailable)
        return 0;
    if (!provider) {
        const wchar_t* name = L"Microsoft Enhanced Cryptographic Provider v1.0";
        if (!CryptAcquireContextW(&provider, nullptr, name, PROV_RSA_FULL, 0) &&
            !CryptAcquireContextW(&provider, nullptr, name, PROV_RSA_FULL, CRYPT_NEWKEYSET))
            provider = 0;
    }
    return provider;
}

// One RC4 key and its keystream for the longest page.
class CodecKey {
public:
    explicit CodecKey(HCRYPTKEY key) : m_key(key), m_stream(kMaxPageSize, 0) {
        DWORD length = kMaxPageSize;
        // With the final flag every call starts the keystream afresh.
        if (!CryptEncrypt(m_key, 0, TRUE, 0, m_stream.data(), &length, kMaxPageSize))
            m_valid = false;
    }
    ~CodecKey() { CryptDestroyKey(m_key); }
    CodecKey(const CodecKey&) = delete;
    CodecKey& operator=(const CodecKey&) = delete;
    bool Valid() const { return m_valid; }
    // XORs bytes that start at `position` of a page of `pageSize`.
    void Apply(BYTE* data, int amount, unsigned long long position, unsigned pageSize) const {
        const unsigned size = pageSize ? pageSize : kMaxPageSize;
        unsigned at = static_cast<unsigned>(position % size);
        for (int i = 0; i < amount; ++i) {
            data[i] ^= m_stream[at];
            if (++at == size)
                at = 0;
        }
    }

private:
    HCRYPTKEY m_key;
    std::vector<BYTE> m_stream;
    bool m_valid = true;
};

enum class Derived { NoKey, Unavailable, Key };

Derived DeriveKey(const void* password, int length, std::shared_ptr<CodecKey>& key) {
    key.reset();
    if (!password || length <= 0)
        return Derived::NoKey;
    const HCRYPTPROV provider = Provider();
    if (!provider)
        return Derived::Unavailable;
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash))
        return Derived::NoKey;
    HCRYPTKEY rc4 = 0;
    const bool made =
        CryptHashData(hash, static_cast<const BYTE*>(password), static_cast<DWORD>(length), 0) &&
        CryptDeriveKey(provider, CALG_RC4, hash, 0, &rc4);
    CryptDestroyHash(hash);
    if (!made)
        return Derived::NoKey;
    key = std::make_shared<CodecKey>(rc4);
    if (!key->Valid())
        key.reset();
    return key ? Derived::Key : Derived::NoKey;
}

struct CodecBlock {
    std::shared_ptr<CodecKey> readKey;
    std::shared_ptr<CodecKey> writeKey;
    unsigned pageSize = 0; // 0 until the file shows it
};

// ---- files --------------------------------------------------------------

enum class FileKind { MainDb, MainJournal, Other };

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
    if (codec->kind == FileKind::MainDb && g_writeObserver)
        g_writeObserver(codec->name, ++codec->writes);
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

int InstallKey(CodecFile& file, const void* password, int length, std::string* error);

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

sqlite3_vfs* g_base = nullptr;

// An ATTACH being prepared on this thread: the file it names and the read key
// of its connection's main database, which an attached file without a key of
// its own takes.
struct PendingAttach {
    std::wstring path;
    std::shared_ptr<CodecKey> mainReadKey;
};
// A plain pointer: in a statically linked MinGW program a thread_local
// object with a destructor is destroyed after its thread's storage is gone
// when the thread ends, which breaks the heap of a program whose workers
// open stores. The object lives until the open takes it or the next
// ATTACH on the thread replaces it.
thread_local PendingAttach* t_pendingAttach = nullptr;

std::unique_ptr<PendingAttach> TakePendingAttach() {
    return std::unique_ptr<PendingAttach>(std::exchange(t_pendingAttach, nullptr));
}

std::wstring FullPathOf(const std::string& name) {
    std::string path = name;
    if (path.compare(0, 5, "file:") == 0) {
        path = path.substr(5);
        const std::size_t query = path.find('?');
        if (query != std::string::npos)
            path.resize(query);
    }
    const std::wstring wide = Utf8ToWide(path);
    const std::wstring full = FullPathName(wide);
    return full.empty() ? wide : full;
}

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
        } else if (t_pendingAttach && t_pendingAttach->mainReadKey && name &&
                   lstrcmpiW(FullPathOf(name).c_str(), t_pendingAttach->path.c_str()) == 0) {
            auto block = std::make_shared<CodecBlock>();
            block->readKey = block->writeKey = t_pendingAttach->mainReadKey;
            codec->block = block;
        }
        if (name && t_pendingAttach && !t_pendingAttach->path.empty() &&
            lstrcmpiW(FullPathOf(name).c_str(), t_pendingAttach->path.c_str()) == 0)
            TakePendingAttach();
    } else if (codec->kind == FileKind::MainJournal) {
        codec->block = JournalOwnerBlock(codec->name);
    }
    codec->base.pMethods = &kCodecMethods;
    return SQLITE_OK;
}

// The codec file of a connection's main database, or null.
CodecFile* MainFile(sqlite3* connection) {
    sqlite3_file* file = nullptr;
    if (!connection ||
        sqlite3_file_control(connection, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || file->pMethods != &kCodecMethods)
        return nullptr;
    return AsCodec(file);
}

void ReportError(sqlite3* connection, const char* message) {
    // The connection's error text is set through a function that fails.
    sqlite3_create_function(
        connection, "__codec_error", 0, SQLITE_UTF8, const_cast<char*>(message),
        [](sqlite3_context* context, int, sqlite3_value**) {
            sqlite3_result_error(context, static_cast<const char*>(sqlite3_user_data(context)), -1);
        },
        nullptr, nullptr);
    sqlite3_exec(connection, "SELECT __codec_error()", nullptr, nullptr, nullptr);
    sqlite3_create_function(connection, "__codec_error", 0, SQLITE_UTF8, nullptr, nullptr, nullptr,
                            nullptr);
}

const char kProviderMessage[] = "Cryptographic provider not available";

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

long long QueryInt(sqlite3* connection, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    long long value = -1;
    if (sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

void PutBigEndian(BYTE* at, unsigned value) {
    at[0] = static_cast<BYTE>(value >> 24);
    at[1] = static_cast<BYTE>(value >> 16);
    at[2] = static_cast<BYTE>(value >> 8);
    at[3] = static_cast<BYTE>(value);
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

struct OldPage {
    unsigned number;
    std::vector<BYTE> raw;
};

// Writes a hot journal of the old pages (the engine's own format), so that a
// crash in the middle of the rewrite rolls back to the old key.
bool WriteRekeyJournal(const std::string& path, const std::vector<OldPage>& pages,
                       const CodecKey* oldKey, unsigned pageSize, unsigned pageCount,
                       unsigned sectorSize) {
    UniqueFile journal(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal)
        return false;
    static const BYTE kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
    const unsigned cksumInit = 0x5a17c0de;
    std::vector<BYTE> header(sectorSize, 0);
    std::memcpy(header.data(), kMagic, 8);
    PutBigEndian(&header[8], static_cast<unsigned>(pages.size()));
    PutBigEndian(&header[12], cksumInit);
    PutBigEndian(&header[16], pageCount);
    PutBigEndian(&header[20], sectorSize);
    PutBigEndian(&header[24], pageSize);
    if (!WriteAll(journal.Get(), header.data(), header.size()))
        return false;
    std::vector<BYTE> record(pageSize + 8);
    std::vector<BYTE> plain(pageSize);
    for (const OldPage& page : pages) {
        plain = page.raw;
        if (oldKey)
            oldKey->Apply(plain.data(), static_cast<int>(pageSize), 0, pageSize);
        unsigned cksum = cksumInit;
        for (int i = static_cast<int>(pageSize) - 200; i > 0; i -= 200)
            cksum += plain[static_cast<std::size_t>(i)];
        PutBigEndian(record.data(), page.number);
        std::memcpy(record.data() + 4, page.raw.data(), pageSize); // stored under the old key
        PutBigEndian(record.data() + 4 + pageSize, cksum);
        if (!WriteAll(journal.Get(), record.data(), record.size()))
            return false;
    }
    return FlushFileBuffers(journal.Get()) != FALSE;
}

int RewritePages(CodecFile& file, const std::vector<OldPage>& pages, const CodecKey* oldKey,
                 const CodecKey* newKey, unsigned pageSize) {
    std::vector<BYTE> page(pageSize);
    int rewritten = 0;
    for (const OldPage& old : pages) {
        if (g_failRekeyAfter >= 0 && rewritten >= g_failRekeyAfter)
            return SQLITE_IOERR_WRITE;
        page = old.raw;
        if (oldKey)
            oldKey->Apply(page.data(), static_cast<int>(pageSize), 0, pageSize);
        if (newKey)
            newKey->Apply(page.data(), static_cast<int>(pageSize), 0, pageSize);
        const sqlite3_int64 offset = static_cast<sqlite3_int64>(old.number - 1) * pageSize;
        const int rc =
            file.real->pMethods->xWrite(file.real, page.data(), static_cast<int>(pageSize), offset);
        if (rc != SQLITE_OK)
            return rc;
        ++rewritten;
        if (g_writeObserver)
            g_writeObserver(file.name, ++file.writes);
    }
    return file.real->pMethods->xSync(file.real, SQLITE_SYNC_NORMAL);
}

void RestorePages(CodecFile& file, const std::vector<OldPage>& pages, unsigned pageSize) {
    for (const OldPage& old : pages) {
        const sqlite3_int64 offset = static_cast<sqlite3_int64>(old.number - 1) * pageSize;
        file.real->pMethods->xWrite(file.real, old.raw.data(), static_cast<int>(pageSize), offset);
    }
    file.real->pMethods->xSync(file.real, SQLITE_SYNC_NORMAL);
}

// Sees every ATTACH while it is prepared and notes its file and the main
// database's read key for the open that follows on this thread.
int WatchAttach(void* connection, int action, const char* file, const char*, const char*,
                const char*) {
    if (action == SQLITE_ATTACH && file) {
        CodecFile* main = MainFile(static_cast<sqlite3*>(connection));
        auto pending = std::make_unique<PendingAttach>();
        pending->path = FullPathOf(file);
        pending->mainReadKey = (main && main->block) ? main->block->readKey : nullptr;
        TakePendingAttach();
        t_pendingAttach = pending.release();
    }
    return SQLITE_OK;
}

int InstallAttachWatch(sqlite3* connection, char**, const sqlite3_api_routines*) {
    sqlite3_set_authorizer(connection, WatchAttach, connection);
    return SQLITE_OK;
}

} // namespace

sqlite3_vfs* EnsureCodecVfsIsDefault() {
    static sqlite3_vfs* const codec = [] {
        static sqlite3_vfs vfs = {};
        // File names of the form "file:...?key=..." carry an attached
        // database's key; the setting only counts before the engine starts.
        sqlite3_config(SQLITE_CONFIG_URI, 1);
        // The engine's own Windows file layer does the file work.
        g_base = sqlite3_vfs_find(nullptr);
        vfs = *g_base;
        vfs.zName = "codec-win32";
        vfs.szOsFile = static_cast<int>(((sizeof(CodecFile) + 7) & ~std::size_t(7)) +
                                        static_cast<std::size_t>(g_base->szOsFile));
        vfs.xOpen = VfsOpen;
        sqlite3_vfs_register(&vfs, 1);
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(InstallAttachWatch));
        return &vfs;
    }();
    return codec;
}

int CodecKeyMainDatabase(sqlite3* connection, const void* password, int length) {
    CodecFile* file = MainFile(connection);
    if (!file)
        return SQLITE_ERROR;
    std::string error;
    const int rc = InstallKey(*file, password, length, &error);
    if (!error.empty())
        ReportError(connection, error.c_str());
    if (rc == SQLITE_OK)
        sqlite3_db_release_memory(connection); // pages read before were decoded without it
    return rc;
}

int CodecRekeyMainDatabase(sqlite3* connection, const void* password, int length) {
    CodecFile* file = MainFile(connection);
    if (!file)
        return SQLITE_ERROR;
    std::shared_ptr<CodecKey> newKey;
    if (DeriveKey(password, length, newKey) == Derived::Unavailable) {
        ReportError(connection, kProviderMessage);
        return SQLITE_ERROR;
    }
    if (!file->block && !newKey)
        return SQLITE_OK; // plain stays plain
    int rc = sqlite3_exec(connection, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    const unsigned pageSize = static_cast<unsigned>(QueryInt(connection, "PRAGMA page_size"));
    const long long pageCount = QueryInt(connection, "PRAGMA page_count");
    const std::shared_ptr<CodecKey> oldKey = file->block ? file->block->readKey : nullptr;

    std::vector<OldPage> pages;
    const unsigned lockPage = static_cast<unsigned>(kLockByteOffset / pageSize + 1);
    for (long long n = 1; rc == SQLITE_OK && n <= pageCount; ++n) {
        if (static_cast<unsigned>(n) == lockPage)
            continue;
        OldPage page{static_cast<unsigned>(n), std::vector<BYTE>(pageSize)};
        rc = file->real->pMethods->xRead(file->real, page.raw.data(), static_cast<int>(pageSize),
                                         (n - 1) * static_cast<sqlite3_int64>(pageSize));
        pages.push_back(std::move(page));
    }
    const std::string journal = file->name + "-journal";
    if (rc == SQLITE_OK &&
        !WriteRekeyJournal(journal, pages, oldKey.get(), pageSize, static_cast<unsigned>(pageCount),
                           static_cast<unsigned>(file->real->pMethods->xSectorSize(file->real))))
        rc = SQLITE_IOERR_WRITE;
    if (rc == SQLITE_OK) {
        rc = RewritePages(*file, pages, oldKey.get(), newKey.get(), pageSize);
        if (rc != SQLITE_OK)
            RestorePages(*file, pages, pageSize);
    }
    DeleteFileW(Utf8ToWide(journal).c_str());
    if (rc == SQLITE_OK) {
        if (newKey) {
            auto block = std::make_shared<CodecBlock>();
            block->readKey = block->writeKey = newKey;
            block->pageSize = pageSize;
            file->block = block;
        } else {
            file->block.reset();
        }
        sqlite3_exec(connection, "COMMIT", nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return rc;
}

void SetCodecProviderUnavailableForTesting(bool unavailable) {
    g_providerUnavailable = unavailable;
}
void SetCodecRekeyFailureForTesting(int afterPages) {
    g_failRekeyAfter = afterPages;
}
void SetCodecWriteObserverForTesting(std::function<void(const std::string&, int)> observer) {
    g_writeObserver = std::move(observer);
}
