// The page codec on real files. The on-disk format is checked with the
// platform's own RC4 (CryptoAPI), independently of the codec's code.

#include "store/PageCodec.h"
#include "tests/store/CodecTestSeams.h"

#include <cstring>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <windows.h>
#include <wincrypt.h>

#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "store/SqlDatabase.h"
#include "store/SqlException.h"
#include "store/StoreSchema.h"
#include "store/UserListSql.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

using KeyFn = int(WINAPI*)(sqlite3*, const void*, int);

// The first `size` bytes of the RC4 keystream of SHA-1(password)[0..16).
std::string Keystream(const std::string& password, unsigned size) {
    HCRYPTPROV provider = 0;
    CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT);
    HCRYPTHASH hash = 0;
    CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash);
    CryptHashData(hash, reinterpret_cast<const BYTE*>(password.data()),
                  static_cast<DWORD>(password.size()), 0);
    BYTE digest[20];
    DWORD digestSize = sizeof digest;
    CryptGetHashParam(hash, HP_HASHVAL, digest, &digestSize, 0);
    CryptDestroyHash(hash);
    // Import the 16 digest bytes as a plain RC4 key.
    struct {
        BLOBHEADER header;
        DWORD size;
        BYTE key[16];
    } blob = {{PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_RC4}, 16, {}};
    std::memcpy(blob.key, digest, 16);
    HCRYPTKEY key = 0;
    CryptImportKey(provider, reinterpret_cast<BYTE*>(&blob), sizeof blob, 0, 0, &key);
    std::string stream(size, '\0');
    DWORD length = size;
    CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(&stream[0]), &length, size);
    CryptDestroyKey(key);
    CryptReleaseContext(provider, 0);
    return stream;
}

class PageCodecTest : public testing::Test {
protected:
    void TearDown() override {
        SetCodecRekeyFailureForTesting(-1);
        SetCodecProviderUnavailableForTesting(false);
        SetCodecWriteObserverForTesting(nullptr);
    }
    std::wstring Path() const { return m_dir.File(L"keyed.db"); }
    void Open(SqlDatabase& db) const { db.Open(WideToUtf8(Path()).c_str()); }
    static int Key(SqlDatabase& db, const std::string& password) {
        return CodecKeyMainDatabase(db.Connection(), password.data(),
                                    static_cast<int>(password.size()));
    }
    static int Rekey(SqlDatabase& db, const std::string& password) {
        return CodecRekeyMainDatabase(db.Connection(), password.data(),
                                      static_cast<int>(password.size()));
    }
    // A database of several pages, two of them with equal content.
    static void Fill(SqlDatabase& db) {
        db.RunStatement("PRAGMA page_size = 1024; CREATE TABLE t(a, b);"
                        "CREATE TABLE u(x); CREATE TABLE v(x);");
        db.RunStatement("BEGIN");
        for (int i = 0; i < 200; ++i)
            db.RunStatement(("INSERT INTO t VALUES(" + std::to_string(i) + ", 'row " +
                             std::to_string(i) + " with some padding text')")
                                .c_str());
        db.RunStatement("COMMIT");
    }
    static long long Count(SqlDatabase& db) {
        SqlQuery rows = db.RunQuery("SELECT count(*) AS n, sum(a) AS s FROM t");
        return rows.Int64Column("n") * 100000 + rows.Int64Column("s");
    }
    std::string FillKeyedWithSecret();
    void KillWriterAfter(const wchar_t* mode, int writes);
    void ExpectEveryRowAsFilled();
    testsupport::TempDir m_dir;
};

constexpr long long kFilled = 200 * 100000LL + 199 * 200 / 2;

} // namespace

TEST(PageCodecKeystream, ThePasswordPwStartsWithTheKnownBytes) {
    const std::string stream = Keystream("pw", 4);
    EXPECT_EQ(std::string("\xd4\xdf\x14\x01", 4), stream);
}

TEST_F(PageCodecTest, EveryPageOnDiskIsThePlainPageXorTheKeystream) {
    {
        SqlDatabase db;
        Open(db);
        ASSERT_EQ(SQLITE_OK, Key(db, "secret"));
        Fill(db);
    }
    const std::string file = testsupport::ReadFileBytes(Path());
    ASSERT_GE(file.size(), 4096u);
    ASSERT_EQ(0u, file.size() % 1024);
    const std::string stream = Keystream("secret", 1024);
    EXPECT_NE(0, file.compare(0, 15, "SQLite format 3")); // not readable as it is
    std::string first = file.substr(0, 1024);
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<char>(first[i] ^ stream[i]);
    EXPECT_EQ(0, first.compare(0, 16, std::string("SQLite format 3\0", 16)));
    // Tables u and v are empty leaves with equal content: equal on disk too.
    const std::string page3 = file.substr(2 * 1024, 1024), page4 = file.substr(3 * 1024, 1024);
    EXPECT_EQ(page3, page4);
    std::string plain3 = page3;
    for (std::size_t i = 0; i < plain3.size(); ++i)
        plain3[i] = static_cast<char>(plain3[i] ^ stream[i]);
    EXPECT_EQ(0x0d, static_cast<unsigned char>(plain3[0])); // a table leaf page
}

TEST_F(PageCodecTest, AKeyedDatabaseReopensWithItsKeyAndRefusesAWrongOne) {
    {
        SqlDatabase db;
        Open(db);
        Key(db, "secret");
        Fill(db);
    }
    {
        SqlDatabase db;
        Open(db);
        ASSERT_EQ(SQLITE_OK, Key(db, "secret"));
        EXPECT_EQ(kFilled, Count(db));
    }
    {
        SqlDatabase db;
        Open(db);
        Key(db, "wrong");
        try {
            Count(db);
            FAIL() << "a wrong key read the data";
        } catch (const SqlException& error) {
            // A compile failure carries no detail; the engine's own text tells.
            EXPECT_EQ(SQLITE_NOTADB, error.Code());
            const std::string message = sqlite3_errmsg(db.Connection());
            EXPECT_TRUE(message.find("file is not a database") != std::string::npos ||
                        message.find("malformed") != std::string::npos)
                << message;
        }
    }
    {
        SqlDatabase db; // through the pragma
        Open(db);
        db.RunStatement("PRAGMA key = 'secret'");
        EXPECT_EQ(kFilled, Count(db));
    }
}

TEST_F(PageCodecTest, RekeyTakesAPlainDatabaseToAKeyAndBack) {
    SqlDatabase db;
    Open(db);
    Fill(db);
    ASSERT_EQ(0, testsupport::ReadFileBytes(Path()).compare(0, 15, "SQLite format 3"));
    ASSERT_EQ(SQLITE_OK, Rekey(db, "first"));
    EXPECT_NE(0, testsupport::ReadFileBytes(Path()).compare(0, 15, "SQLite format 3"));
    EXPECT_EQ(kFilled, Count(db));
    db.RunStatement("INSERT INTO t VALUES(0, 'more')"); // goes on working under the new key
    ASSERT_EQ(SQLITE_OK, Rekey(db, "second"));
    db.Close();
    Open(db);
    Key(db, "second");
    EXPECT_EQ(kFilled + 100000, Count(db));
    ASSERT_EQ(SQLITE_OK, Rekey(db, "")); // an empty password removes the encryption
    EXPECT_EQ(0, testsupport::ReadFileBytes(Path()).compare(0, 15, "SQLite format 3"));
    db.Close();
    Open(db);
    EXPECT_EQ(kFilled + 100000, Count(db));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((Path() + L"-journal").c_str()));
}

TEST_F(PageCodecTest, ARekeyThatFailsMidwayLeavesTheOldKeyWorking) {
    SqlDatabase db;
    Open(db);
    Key(db, "old");
    Fill(db);
    const std::string before = testsupport::ReadFileBytes(Path());
    SetCodecRekeyFailureForTesting(3);
    EXPECT_NE(SQLITE_OK, Rekey(db, "new"));
    SetCodecRekeyFailureForTesting(-1);
    EXPECT_EQ(before, testsupport::ReadFileBytes(Path()));
    EXPECT_EQ(kFilled, Count(db));
    db.RunStatement("INSERT INTO t VALUES(0, 'after')");
    db.Close();
    Open(db);
    Key(db, "old");
    EXPECT_EQ(kFilled + 100000, Count(db));
}

// Starts codec_crash_writer on the keyed test database in `mode` and kills it
// once it has made `writes` page writes into the database file. The journal
// it leaves behind must hold its pages encrypted.
void PageCodecTest::KillWriterAfter(const wchar_t* mode, int writes) {
    const std::wstring event = L"codec-crash-" + std::to_wstring(GetCurrentProcessId());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    ASSERT_NE(nullptr, ready);
    std::wstring command = L"\"" + GetModuleFolder(nullptr) + L"\\codec_crash_writer.exe\" \"" +
                           Path() + L"\" " + event + L" " + mode + L" " + std::to_wstring(writes);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &child))
        << GetLastError();
    const HANDLE waits[] = {ready, child.hProcess};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 60000);
    TerminateProcess(child.hProcess, 9);
    WaitForSingleObject(child.hProcess, 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    CloseHandle(ready);
    ASSERT_EQ(WAIT_OBJECT_0, woke) << "the writer ended first, code " << exitCode;
    EXPECT_EQ(9u, exitCode);

    const std::string journal = testsupport::ReadFileBytes(Path() + L"-journal");
    ASSERT_FALSE(journal.empty()) << "no journal left by the kill";
    EXPECT_EQ(std::string::npos, journal.find("with some padding text")); // pages encrypted
}

// Makes the test database, keyed with "secret", and fills it; its bytes.
std::string PageCodecTest::FillKeyedWithSecret() {
    {
        SqlDatabase db;
        Open(db);
        Key(db, "secret");
        Fill(db);
    }
    return testsupport::ReadFileBytes(Path());
}

// Every row of the keyed test database holds its value from Fill.
void PageCodecTest::ExpectEveryRowAsFilled() {
    SqlDatabase recovered;
    Open(recovered);
    Key(recovered, "secret");
    EXPECT_EQ(kFilled, Count(recovered));
    SqlQuery intact = recovered.RunQuery(
        "SELECT COUNT(*) AS n FROM t WHERE b = 'row ' || a || ' with some padding text'");
    EXPECT_EQ(200, intact.IntColumn("n"));
    SqlQuery check = recovered.RunQuery("PRAGMA integrity_check");
    EXPECT_STREQ("ok", check.TextColumn("integrity_check"));
}

TEST_F(PageCodecTest,
       AWriterKilledAfterChangingPagesInPlaceIsRolledBackThroughTheEncryptedJournal) {
    // The update changes every page of t; six of them are in the file when
    // the writer dies.
    const std::string before = FillKeyedWithSecret();
    ASSERT_NO_FATAL_FAILURE(KillWriterAfter(L"update", 6));
    ASSERT_NE(before, testsupport::ReadFileBytes(Path())) << "no page was changed in place";
    ExpectEveryRowAsFilled();
    EXPECT_EQ(before.size(), testsupport::ReadFileBytes(Path()).size());
}

TEST_F(PageCodecTest, ARekeyKilledMidwayIsRolledBackToTheOldKey) {
    const std::string before = FillKeyedWithSecret();
    ASSERT_NO_FATAL_FAILURE(KillWriterAfter(L"rekey", 5));
    ASSERT_NE(before, testsupport::ReadFileBytes(Path())) << "no page was re-encrypted";
    ExpectEveryRowAsFilled();
    EXPECT_EQ(before, testsupport::ReadFileBytes(Path())); // every page under the old key again
}

TEST_F(PageCodecTest, EmptyPasswordsInstallNothingAndAMissingProviderIsReported) {
    SqlDatabase db;
    Open(db);
    EXPECT_EQ(SQLITE_OK, CodecKeyMainDatabase(db.Connection(), nullptr, 0));
    EXPECT_EQ(SQLITE_OK, Key(db, ""));
    Fill(db);
    EXPECT_EQ(0, testsupport::ReadFileBytes(Path()).compare(0, 15, "SQLite format 3"));

    SetCodecProviderUnavailableForTesting(true);
    EXPECT_EQ(SQLITE_ERROR, Key(db, "x"));
    EXPECT_STREQ("Cryptographic provider not available", sqlite3_errmsg(db.Connection()));
    EXPECT_EQ(SQLITE_ERROR, Rekey(db, "x"));
    EXPECT_STREQ("Cryptographic provider not available", sqlite3_errmsg(db.Connection()));
    SetCodecProviderUnavailableForTesting(false);
    EXPECT_EQ(kFilled, Count(db)); // still plain and working
}

TEST_F(PageCodecTest, TheProgramExportsBothKeyFunctionsByTheirNames) {
    HMODULE program = GetModuleHandleW(nullptr);
    const auto key = reinterpret_cast<KeyFn>(
        reinterpret_cast<void*>(GetProcAddress(program, "_sqlite3_key_interop@12")));
    const auto rekey = reinterpret_cast<KeyFn>(
        reinterpret_cast<void*>(GetProcAddress(program, "_sqlite3_rekey_interop@12")));
    ASSERT_NE(nullptr, key);
    ASSERT_NE(nullptr, rekey);
    {
        SqlDatabase db;
        Open(db);
        ASSERT_EQ(SQLITE_OK, key(db.Connection(), "exported", 8));
        Fill(db);
        ASSERT_EQ(SQLITE_OK, rekey(db.Connection(), "again", 5));
    }
    SqlDatabase db;
    Open(db);
    key(db.Connection(), "again", 5);
    EXPECT_EQ(kFilled, Count(db));
}

TEST_F(PageCodecTest, AnAttachedDatabaseTakesItsKeyFromTheFileName) {
    const std::wstring attached = m_dir.File(L"attached.db");
    {
        SqlDatabase db;
        Open(db);
        const std::string attach = "ATTACH 'file:" + WideToUtf8(attached) + "?key=other' AS aux";
        db.RunStatement(attach.c_str());
        db.RunStatement("CREATE TABLE aux.w(x); INSERT INTO aux.w VALUES('attached row')");
        db.RunStatement("DETACH aux");
    }
    const std::string bytes = testsupport::ReadFileBytes(attached);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(0, bytes.compare(0, 15, "SQLite format 3"));
    EXPECT_EQ(std::string::npos, bytes.find("attached row"));
    SqlDatabase reopened;
    reopened.Open(WideToUtf8(attached).c_str());
    Key(reopened, "other");
    SqlQuery rows = reopened.RunQuery("SELECT x FROM w");
    EXPECT_STREQ("attached row", rows.TextColumn("x"));
}

TEST_F(PageCodecTest, AnAttachedDatabaseWithoutAKeyTakesTheMainDatabasesKey) {
    const std::wstring attached = m_dir.File(L"inherits.db");
    {
        SqlDatabase db;
        Open(db);
        Key(db, "mainpw");
        Fill(db);
        db.RunStatement(("ATTACH '" + WideToUtf8(attached) + "' AS aux").c_str());
        db.RunStatement("CREATE TABLE aux.w(x); INSERT INTO aux.w VALUES('inherited row')");
        db.RunStatement("DETACH aux");
    }
    EXPECT_NE(0, testsupport::ReadFileBytes(attached).compare(0, 15, "SQLite format 3"));
    SqlDatabase reopened;
    reopened.Open(WideToUtf8(attached).c_str());
    Key(reopened, "mainpw");
    SqlQuery rows = reopened.RunQuery("SELECT x FROM w");
    EXPECT_STREQ("inherited row", rows.TextColumn("x"));

    // A plain main database attaches plain files.
    const std::wstring plain = m_dir.File(L"plain-attached.db");
    SqlDatabase unkeyed;
    unkeyed.Open(WideToUtf8(m_dir.File(L"plain-main.db")).c_str());
    unkeyed.RunStatement(("ATTACH '" + WideToUtf8(plain) + "' AS aux").c_str());
    unkeyed.RunStatement("CREATE TABLE aux.w(x)");
    unkeyed.RunStatement("DETACH aux");
    EXPECT_EQ(0, testsupport::ReadFileBytes(plain).compare(0, 15, "SQLite format 3"));
}

TEST_F(PageCodecTest, AnEncryptedStoreOfTheReleaseBeforeDetailsIsBroughtForwardAndStaysKeyed) {
    {
        SqlDatabase db;
        Open(db);
        Key(db, "secret");
        db.RunStatement(CreateTableStatement(ListKind::Trusted).c_str());
        db.RunStatement("INSERT INTO UserTrusted(Md5, Path, Time) "
                        "VALUES('0123456789abcdef0123456789abcdef', 'C:\\a.exe', '1700000000')");
        const StoreSchema schema = PrepareStoreSchema(db);
        EXPECT_EQ(SchemaState::Current, schema.state);
        EXPECT_EQ(0, schema.broughtFrom);
    }
    SqlDatabase db;
    Open(db);
    ASSERT_EQ(SQLITE_OK, Key(db, "secret"));
    EXPECT_EQ(kStoreSchemaVersion, db.RunQuery("PRAGMA user_version").Int64Column("user_version"));
    EXPECT_EQ(SchemaState::Current, PrepareStoreSchema(db).state);
    EXPECT_EQ(1, db.RunQuery("SELECT count(*) AS n FROM UserTrusted t LEFT JOIN UserEntryDetail d "
                             "ON d.Md5 = t.Md5")
                     .Int64Column("n"));
    // Without the key the file is no database at all: nothing was written in the clear.
    SqlDatabase plain;
    Open(plain);
    EXPECT_THROW(plain.RunQuery("PRAGMA user_version").Int64Column("user_version"), SqlException);
}
