// The page codec's two operations on a connection, keying and rekeying its
// main database, over the file layer of store/CodecVfs.

#include "store/PageCodec.h"

#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <windows.h>

#include "common/TextConvert.h"
#include "store/CodecAttach.h"
#include "store/CodecKey.h"
#include "store/CodecSeams.h"
#include "store/CodecVfs.h"
#include "store/RekeyJournal.h"

namespace {

// The page that holds the engine's lock bytes is never written.
constexpr unsigned long long kLockByteOffset = 0x40000000ULL;

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

long long QueryInt(sqlite3* connection, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    long long value = -1;
    if (sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

int RewritePages(CodecFile& file, const std::vector<OldPage>& pages, const CodecKey* oldKey,
                 const CodecKey* newKey, unsigned pageSize) {
    const CodecSeams* seams = ActiveCodecSeams();
    std::vector<BYTE> page(pageSize);
    int rewritten = 0;
    for (const OldPage& old : pages) {
        if (seams && seams->failRekeyAfter >= 0 && rewritten >= seams->failRekeyAfter)
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
        ++file.writes;
        if (seams && seams->writeObserver)
            seams->writeObserver(file.name, file.writes);
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

} // namespace

sqlite3_vfs* EnsureCodecVfsIsDefault() {
    static sqlite3_vfs* const codec = [] {
        // File names of the form "file:...?key=..." carry an attached
        // database's key; the setting only counts before the engine starts.
        sqlite3_config(SQLITE_CONFIG_URI, 1);
        sqlite3_vfs* const vfs = RegisterCodecVfs();
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(InstallAttachWatch));
        return vfs;
    }();
    return codec;
}

int CodecKeyMainDatabase(sqlite3* connection, const void* password, int length) {
    CodecFile* file = MainCodecFile(connection);
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
    CodecFile* file = MainCodecFile(connection);
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
