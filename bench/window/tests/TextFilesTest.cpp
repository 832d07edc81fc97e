// The files through which driver and script hand over points and instants.

#include "bench/window/TextFiles.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

TEST(TextFiles, WrittenWholeAndReadBack) {
    const testsupport::TempDir folder;
    const std::wstring path = folder.File(L"ready");
    ASSERT_TRUE(WriteTextFile(path, "640 522"));
    EXPECT_EQ("640 522", ReadTextFile(path).value_or(""));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((path + L".part").c_str()));
    ASSERT_TRUE(WriteTextFile(path, "1"));
    EXPECT_EQ("1", ReadTextFile(path).value_or(""));
    EXPECT_FALSE(ReadTextFile(folder.File(L"missing")));
}

TEST(TextFiles, NumbersAtTheStartOfAFile) {
    const testsupport::TempDir folder;
    ASSERT_TRUE(WriteTextFile(folder.File(L"start"), "1765201234.125000\n"));
    EXPECT_DOUBLE_EQ(1765201234.125, ReadNumberFile(folder.File(L"start")).value_or(0));
    ASSERT_TRUE(WriteTextFile(folder.File(L"text"), "soon"));
    EXPECT_FALSE(ReadNumberFile(folder.File(L"text")));
    EXPECT_FALSE(ReadNumberFile(folder.File(L"missing")));
}
