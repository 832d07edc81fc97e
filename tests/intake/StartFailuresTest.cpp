// What the processor finds when the component or the store cannot be used,
// and files that cannot be read: each failure made to happen, as Windows
// makes it (a DLL of the other architecture, a file held without sharing, a
// read-only store, a folder that is not there).

#include <cstring>

#include "common/Handles.h"
#include "common/ModulePath.h"
#include "common/PeMachine.h"
#include "intake/ComponentModule.h"
#include "intake/Digest.h"
#include "intake/FileProcessor.h"
#include "store/ORBDBSqliteConn.h"
#include "tests/intake/IntakeTestSupport.h"

using testsupport::Entries;
using testsupport::ProcessorTest;
using testsupport::TempDir;

namespace {

const char kA[] = "0123456789abcdef0123456789abcdef";

std::wstring OtherArchComponent() {
    return GetModuleFolder(nullptr) + L"other-arch\\vmrdetect.dll";
}

std::uint16_t OtherMachine() {
    return OwnPeMachine() == IMAGE_FILE_MACHINE_AMD64 ? IMAGE_FILE_MACHINE_I386
                                                      : IMAGE_FILE_MACHINE_AMD64;
}

// A file opened by the test as another program holds it.
UniqueFile Hold(const std::wstring& path, DWORD access, DWORD sharing) {
    return UniqueFile(CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The analysis reports: path -> (md5, read error).
class AnalysisRecorder : public WardenCallbackBase {
public:
    int OnFileAnalysed(const FileAnalysisRecord* record) override {
        md5s.push_back(record->md5);
        errors.push_back(record->readError);
        return 0;
    }
    std::vector<std::string> md5s;
    std::vector<unsigned long> errors;
};

} // namespace

TEST(ComponentLoadFailure, SaysWhatWasFoundWhereAndWhyItWouldNotLoad) {
    ComponentModule module;
    ComponentLoadFailure failure;
    EXPECT_EQ(kComponentNotLoaded, LoadComponentModule(module, L"no-such-component.dll", &failure));
    EXPECT_EQ(L"no-such-component.dll", failure.name);
    EXPECT_EQ(GetModuleFolder(nullptr), failure.folder);
    EXPECT_TRUE(failure.path.empty()); // found nowhere
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), failure.error);

    // The other architecture: found, and its machine type read from the file.
    failure = ComponentLoadFailure();
    ASSERT_NE(0u, GetFileAttributesW(OtherArchComponent().c_str()) + 1);
    EXPECT_EQ(kComponentNotLoaded,
              LoadComponentModule(module, OtherArchComponent().c_str(), &failure));
    EXPECT_EQ(OtherArchComponent(), failure.path);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), failure.error);
    EXPECT_EQ(OtherMachine(), failure.machine);
    EXPECT_EQ(OtherMachine(), ReadPeMachine(OtherArchComponent()));
    EXPECT_EQ(OwnPeMachine(), ReadPeMachine(GetModulePath(nullptr)));

    // A file of the name that is no image at all.
    TempDir dir;
    const std::wstring text = dir.File(L"vmrdetect.dll");
    ASSERT_TRUE(testsupport::WriteFileBytes(text, "not a library", 13));
    failure = ComponentLoadFailure();
    EXPECT_EQ(kComponentNotLoaded, LoadComponentModule(module, text.c_str(), &failure));
    EXPECT_EQ(text, failure.path);
    EXPECT_NE(0u, failure.error);
    EXPECT_EQ(0, failure.machine);

    // A library without the exports names the first one missing.
    failure = ComponentLoadFailure();
    EXPECT_EQ(kComponentExportMissing, LoadComponentModule(module, L"version.dll", &failure));
    EXPECT_EQ("VxDllGetClassObject", failure.missing);
    EXPECT_FALSE(failure.path.empty());
    FreeComponentModule(module);
}

TEST(ComponentLoadFailure, TheStoreStillOpensAndListsButNothingIsAnalysedOrCommitted) {
    TempDir dir;
    const std::wstring store = dir.File(L"UserSign.dat");
    {
        ORBDBSqliteConn conn(store);
        conn.Open();
        conn.InitUserTrustedTable();
        const UserListRecord record = MakeUserListRecord(kA, "1700000000", "C:\\a.exe");
        ASSERT_NE(-1, conn.AddUserTrustedData(&record));
    }
    FileProcessor processor;
    testsupport::RecordingCallback callback;
    processor.SetCallback(&callback);
    processor.SetComponentLibrary(OtherArchComponent());
    EXPECT_EQ(-1, processor.Initialize(store));
    EXPECT_FALSE(processor.HasComponent());
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), processor.ComponentFailure().error);
    EXPECT_TRUE(processor.StoreState().Ok());

    UserListRecords records;
    processor.LoadTrustedEntries(records);
    ASSERT_EQ(1u, records.size());
    EXPECT_STREQ(kA, records[0].Md5);

    EXPECT_EQ(-1, processor.ExpandPath(store.c_str()));
    EXPECT_EQ(-1, processor.CommitBlack(Entries({kA})));
    EXPECT_EQ(-1, processor.RemoveTrustedEntry(kA));
    EXPECT_EQ((std::vector<std::string>(2, "error " + std::to_string(kComponentMissing))),
              callback.Events());
    EXPECT_EQ(kSignatureTrusted, processor.StoredListOf(kA)); // untouched
}

TEST(StoreAccess, ASoundStoreIsWritableAndTheWriteTestLeavesNoTrace) {
    TempDir dir;
    ORBDBSqliteConn conn(dir.File(L"UserSign.dat"));
    conn.Open();
    conn.InitUserBlackTable();
    const std::string before = testsupport::ReadFileBytes(dir.File(L"UserSign.dat"));
    EXPECT_TRUE(conn.CheckAccess().Ok());
    EXPECT_TRUE(conn.CheckAccess().Ok());
    EXPECT_EQ(before, testsupport::ReadFileBytes(dir.File(L"UserSign.dat")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(dir.File(L"UserSign.dat-journal").c_str()));
    // A store another connection holds locked for writing is waited for
    // when written, not refused.
    ORBDBSqliteConn other(dir.File(L"UserSign.dat"));
    other.Open();
    ASSERT_EQ(0, other.ExecSql("BEGIN IMMEDIATE"));
    EXPECT_TRUE(conn.CheckAccess().Ok());
    other.ExecSql("ROLLBACK");
}

TEST(StoreAccess, AStoreThatCannotBeOpenedOrWrittenSaysWhy) {
    TempDir dir;
    {
        // Its folder is not there.
        ORBDBSqliteConn conn(dir.File(L"missing\\UserSign.dat"));
        conn.Open();
        const StoreAccess access = conn.CheckAccess();
        EXPECT_EQ(StoreProblem::CannotOpen, access.problem);
        EXPECT_EQ(StoreCause::FolderMissing, access.cause);
        EXPECT_FALSE(access.engineMessage.empty());
    }
    const std::wstring path = dir.File(L"UserSign.dat");
    {
        ORBDBSqliteConn conn(path);
        conn.Open();
        conn.InitUserBlackTable();
    }
    {
        // Another program holds the file without sharing it.
        UniqueFile held = Hold(path, GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(held.IsValid());
        ORBDBSqliteConn conn(path);
        conn.Open();
        const StoreAccess access = conn.CheckAccess();
        EXPECT_NE(StoreProblem::None, access.problem);
        EXPECT_EQ(StoreCause::FileInUse, access.cause);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), access.error);
    }
    {
        // Another program holds it open sharing reading only: the engine
        // opens it for reading, and a write fails.
        UniqueFile held = Hold(path, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(held.IsValid());
        FileProcessor processor;
        processor.Initialize(path);
        const StoreAccess& access = processor.StoreState();
        EXPECT_EQ(StoreProblem::CannotWrite, access.problem);
        EXPECT_EQ(StoreCause::FileInUse, access.cause);
        EXPECT_FALSE(access.engineMessage.empty());
        EXPECT_EQ(path, processor.StorePath());
    }
    {
        // A file that is no database opens (the engine reads lazily) and is
        // told by its first read.
        const std::wstring junkPath = dir.File(L"junk.dat");
        const std::string junk(4096, 'j');
        ASSERT_TRUE(testsupport::WriteFileBytes(junkPath, junk.data(), 4096));
        FileProcessor processor;
        processor.Initialize(junkPath);
        EXPECT_EQ(StoreProblem::CannotOpen, processor.StoreState().problem);
        EXPECT_EQ(StoreCause::NotADatabase, processor.StoreState().cause);
        EXPECT_EQ(junk, testsupport::ReadFileBytes(junkPath)); // left as it was
    }
    // The read-only attribute is told as such. (Wine, run as root, writes
    // such a file all the same, so only the diagnosis is tried here.)
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD error = 0;
    EXPECT_EQ(StoreCause::FileReadOnly, DiagnoseStoreFile(path, error));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(StoreCause::Unknown, DiagnoseStoreFile(path, error));
    EXPECT_EQ(0u, error);
}

TEST(StoreAccess, NetworkSharesAreTold) {
    EXPECT_TRUE(IsOnNetworkShare(L"\\\\server\\share\\tools\\UserSign.dat"));
    EXPECT_TRUE(IsOnNetworkShare(L"\\\\?\\UNC\\server\\share\\UserSign.dat"));
    EXPECT_FALSE(IsOnNetworkShare(L"\\\\?\\C:\\tools\\UserSign.dat"));
    EXPECT_FALSE(IsOnNetworkShare(L"\\\\.\\pipe\\x"));
    EXPECT_FALSE(IsOnNetworkShare(GetModuleFolder(nullptr) + L"UserSign.dat"));
}

TEST_F(ProcessorTest, AFileThatCannotBeReadIsToldApartFromOneThatIsNoImage) {
    const std::wstring image = TreeFile(L"image.exe");
    const std::wstring held = TreeFile(L"held.exe");
    const std::wstring text = TreeFile(L"notes.txt");
    const std::wstring deleting = TreeFile(L"deleting.exe");
    testsupport::WritePeFile(image, "image");
    testsupport::WritePeFile(held, "held");
    testsupport::WritePeFile(deleting, "deleting");
    ASSERT_TRUE(testsupport::WriteFileBytes(text, "plain", 5));
    // One file is held without any sharing; another by a program that may
    // delete it and shares everything, which a reader must share in turn.
    UniqueFile exclusive = Hold(held, GENERIC_READ, 0);
    UniqueFile shared = Hold(deleting, GENERIC_READ | DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(exclusive.IsValid() && shared.IsValid());

    AnalysisRecorder recorder;
    m_processor.SetCallback(&recorder);
    m_processor.ExpandPaths({image, held, text, deleting, TreeFile(L"gone.exe")});
    ASSERT_EQ(5u, recorder.md5s.size());
    EXPECT_NE(ZeroDigest, recorder.md5s[0]);
    EXPECT_EQ(0u, recorder.errors[0]);
    EXPECT_EQ(ZeroDigest, recorder.md5s[1]);
    EXPECT_EQ(static_cast<unsigned long>(ERROR_SHARING_VIOLATION), recorder.errors[1]);
    EXPECT_EQ(ZeroDigest, recorder.md5s[2]); // readable, no image: refused
    EXPECT_EQ(0u, recorder.errors[2]);
    EXPECT_NE(ZeroDigest, recorder.md5s[3]);
    EXPECT_EQ(0u, recorder.errors[3]);
    EXPECT_EQ(static_cast<unsigned long>(ERROR_FILE_NOT_FOUND), recorder.errors[4]);
}
