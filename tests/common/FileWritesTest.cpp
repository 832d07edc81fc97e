// Files replaced whole: the old content stands until the new one is
// committed, and nothing is left beside it either way.

#include "common/FileWrites.h"

#include <string>

#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(ReplacingFile, TheOldFileStandsUntilTheNewOneIsCommitted) {
    testsupport::TempDir dir;
    const std::wstring path = dir.File(L"lists.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "old", 3));
    const std::string text(3 << 20, 'n'); // written in several pieces
    {
        ReplacingFile file(path);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write(text.data(), text.size()));
        EXPECT_EQ("old", testsupport::ReadFileBytes(path));
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(0u, file.Error());
    }
    EXPECT_EQ(text, testsupport::ReadFileBytes(path));
    EXPECT_FALSE(Exists(path + L".tmp"));

    {
        ReplacingFile dropped(path);
        ASSERT_TRUE(dropped.Open());
        ASSERT_TRUE(dropped.Write("new", 3));
    }
    EXPECT_EQ(text, testsupport::ReadFileBytes(path)); // never committed
    EXPECT_FALSE(Exists(path + L".tmp"));
}

TEST(ReplacingFile, AFileThatCannotBeMadeSaysWhy) {
    testsupport::TempDir dir;
    ReplacingFile file(dir.File(L"missing\\lists.txt"));
    EXPECT_FALSE(file.Open());
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), file.Error());
}
