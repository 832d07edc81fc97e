#include <string>

#include "common/ModulePath.h"

#include "tests/support/GTest.h"

TEST(ModulePath, FolderOfPathDropsTheLastComponent) {
    EXPECT_EQ(L"C:\\a\\", FolderOfPath(L"C:\\a\\b.exe"));
    EXPECT_EQ(L"C:\\", FolderOfPath(L"C:\\b.exe"));
    EXPECT_EQ(L"C:\\a\\b\\", FolderOfPath(L"C:\\a\\b\\"));
    EXPECT_EQ(L"", FolderOfPath(L"name.exe"));
}

TEST(ModulePath, TheMainModulePathNamesThisTestProgram) {
    const std::wstring path = GetModulePath(nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_NE(std::wstring::npos, path.find(L"common_tests.exe"));
    EXPECT_EQ(FolderOfPath(path), GetModuleFolder(nullptr));
}
