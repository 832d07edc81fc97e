// The component's lists on real files.

#include "vmrdetect/SignatureList.h"

#include <cstdio>
#include <string>

#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

const char kA[] = "0123456789abcdef0123456789abcdef";
const char kB[] = "fedcba9876543210fedcba9876543210";

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string text(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    return text;
}

class SignatureListTest : public testing::Test {
protected:
    std::wstring ListPath() const { return m_dir.File(L"vmrdetect.lists"); }
    // The object as the component hands it out: owned by its reference count.
    ISignatureList* Make() { return new SignatureList(ListPath()); }
    testsupport::TempDir m_dir;
};

// Through the lookup the component offers beside its contract.
int KindOf(ISignatureList* list, const char* md5) {
    ISignatureLookup* lookup = nullptr;
    if (FAILED(list->QueryInterface(IID_ISignatureLookup, reinterpret_cast<void**>(&lookup))))
        return -2;
    int kind = -1;
    lookup->Lookup(md5, &kind);
    lookup->Release();
    return kind;
}

} // namespace

TEST_F(SignatureListTest, ChangesHappenOnlyInsideABracketAndSurviveARestart) {
    ISignatureList* list = Make();
    EXPECT_EQ(E_UNEXPECTED, list->AddTrusted(kA));
    ASSERT_EQ(S_OK, list->BeginUpdate());
    EXPECT_EQ(S_OK, list->AddTrusted(kA));
    EXPECT_EQ(S_OK, list->AddBlack(kB));
    EXPECT_EQ(E_INVALIDARG, list->AddBlack("not an md5"));
    EXPECT_EQ(S_OK, list->EndUpdate());
    EXPECT_EQ(E_UNEXPECTED, list->EndUpdate());
    list->Release();

    ISignatureList* restarted = Make();
    EXPECT_EQ(kSignatureTrusted, KindOf(restarted, kA));
    EXPECT_EQ(kSignatureBlack, KindOf(restarted, kB));
    // Moving to the other list and removing.
    ASSERT_EQ(S_OK, restarted->BeginUpdate());
    restarted->AddBlack(kA);
    EXPECT_EQ(S_FALSE, restarted->RemoveTrusted(kA)); // it is on the blacklist now
    restarted->RemoveBlack(kB);
    restarted->EndUpdate();
    restarted->Release();
    EXPECT_EQ(std::string("vmrdetect-lists 1\nB ") + kA + "\n", ReadAll(ListPath()));
}

TEST_F(SignatureListTest, NestedBracketsWriteOnceAtTheOutermostEnd) {
    ISignatureList* list = Make();
    list->BeginUpdate();
    list->BeginUpdate();
    list->AddTrusted(kA);
    list->EndUpdate();
    EXPECT_EQ("(missing)", ReadAll(ListPath()));
    list->EndUpdate();
    EXPECT_NE(std::string::npos, ReadAll(ListPath()).find(kA));
    list->Release();
}

TEST_F(SignatureListTest, BeginUpdateFailsWhenTheListCannotBeWritten) {
    // A folder where the list file should be: it cannot be replaced.
    ASSERT_TRUE(CreateDirectoryW(ListPath().c_str(), nullptr));
    ISignatureList* list = Make();
    EXPECT_LT(list->BeginUpdate(), 0);
    list->Release();

    ISignatureList* nowhere = new SignatureList(m_dir.File(L"missing\\folder\\vmrdetect.lists"));
    EXPECT_LT(nowhere->BeginUpdate(), 0);
    nowhere->Release();
}

TEST_F(SignatureListTest, OneProcessAtATimeHoldsABracket) {
    ISignatureList* first = Make();
    ISignatureList* second = Make();
    ASSERT_EQ(S_OK, first->BeginUpdate());
    EXPECT_LT(second->BeginUpdate(), 0); // the lock file is taken
    first->AddTrusted(kA);
    first->EndUpdate();
    // The second object sees the first one's change when it begins.
    ASSERT_EQ(S_OK, second->BeginUpdate());
    EXPECT_EQ(kSignatureTrusted, KindOf(second, kA));
    second->AddBlack(kB);
    second->EndUpdate();
    first->Release();
    second->Release();
    const std::string text = ReadAll(ListPath());
    EXPECT_NE(std::string::npos, text.find(kA));
    EXPECT_NE(std::string::npos, text.find(kB));
}

TEST_F(SignatureListTest, AFailedWriteLeavesTheOldFileWhole) {
    ISignatureList* list = Make();
    list->BeginUpdate();
    list->AddTrusted(kA);
    list->EndUpdate();
    const std::string before = ReadAll(ListPath());
    // The temporary file cannot be made: the write fails, the file stays.
    ASSERT_TRUE(CreateDirectoryW((ListPath() + L".tmp").c_str(), nullptr));
    list->BeginUpdate();
    list->AddBlack(kB);
    EXPECT_LT(list->EndUpdate(), 0);
    list->Release();
    EXPECT_EQ(before, ReadAll(ListPath()));
}

TEST_F(SignatureListTest, ADamagedListFileLoadsEmptyAndIsRewrittenWhole) {
    const char damaged[] = "garbage\x01\x02";
    ASSERT_TRUE(testsupport::WriteFileBytes(ListPath(), damaged, sizeof damaged - 1));
    ISignatureList* list = Make();
    EXPECT_EQ(kSignatureNone, KindOf(list, kA));
    list->BeginUpdate();
    list->AddTrusted(kA);
    list->EndUpdate();
    list->Release();
    EXPECT_EQ(std::string("vmrdetect-lists 1\nT ") + kA + "\n", ReadAll(ListPath()));
}

// A large list takes a removal as a block at the end of its file, which
// another process reads; a block left cut short by an interrupted update is
// written over by the next one.
TEST_F(SignatureListTest, ALargeListAppendsEachUpdateAndWritesOverABlockCutShort) {
    std::string whole = "vmrdetect-lists 1\n";
    for (unsigned i = 0; i < SignatureTable::kAppendFrom + 10; ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "T %032x\n", i);
        whole += line;
    }
    ASSERT_TRUE(
        testsupport::WriteFileBytes(ListPath(), whole.data(), static_cast<unsigned>(whole.size())));
    const std::string first = std::string(31, '0') + "1";

    ISignatureList* list = Make();
    ASSERT_EQ(S_OK, list->BeginUpdate());
    EXPECT_EQ(S_OK, list->RemoveTrusted(first.c_str()));
    EXPECT_EQ(S_OK, list->EndUpdate());
    const std::string removed = testsupport::ReadFileBytes(ListPath());
    ASSERT_EQ(whole.size() + 47, removed.size());
    EXPECT_TRUE(removed.compare(0, whole.size(), whole) == 0);
    EXPECT_EQ("changes\n- " + first + "\nend\n", removed.substr(whole.size()));

    // Another process reads the block and appends its own.
    ISignatureList* other = Make();
    EXPECT_EQ(kSignatureNone, KindOf(other, first.c_str()));
    ASSERT_EQ(S_OK, other->BeginUpdate());
    EXPECT_EQ(S_OK, other->AddBlack(kA));
    EXPECT_EQ(S_OK, other->EndUpdate());
    other->Release();

    // Cut short: the first object reads the file again when it begins.
    const std::string appended = testsupport::ReadFileBytes(ListPath());
    const std::string cut = appended + "changes\nB " + std::string(kB, 10);
    ASSERT_TRUE(
        testsupport::WriteFileBytes(ListPath(), cut.data(), static_cast<unsigned>(cut.size())));
    ASSERT_EQ(S_OK, list->BeginUpdate());
    EXPECT_EQ(kSignatureBlack, KindOf(list, kA));
    EXPECT_EQ(kSignatureNone, KindOf(list, kB));
    EXPECT_EQ(S_OK, list->AddTrusted(kB));
    EXPECT_EQ(S_OK, list->EndUpdate());
    list->Release();
    const std::string updated = testsupport::ReadFileBytes(ListPath());
    ASSERT_EQ(appended.size() + 47, updated.size());
    EXPECT_TRUE(updated.compare(0, appended.size(), appended) == 0);
    EXPECT_EQ("changes\nT " + std::string(kB) + "\nend\n", updated.substr(appended.size()));
}
