#include "common/WideString.h"

#include "common/ModulePath.h"
#include "tests/support/GTest.h"

TEST(WideString, LengthCompareAndFindWorkOnSixteenBitUnits) {
    static_assert(sizeof(wchar_t) == 2, "Win32 wide characters are UTF-16 units");
    const WString text = L"abc\x4E2D\x6587";
    EXPECT_EQ(5u, text.size());
    EXPECT_EQ(3u, text.find(L'\x4E2D'));
    EXPECT_EQ(WString::npos, text.find(L'z'));
    EXPECT_LT(WString(L"abc").compare(L"abd"), 0);
    EXPECT_GT(WString(L"\xFFFF").compare(L"a"), 0); // units compare unsigned
    EXPECT_EQ(0, WString(L"same").compare(L"same"));
}

TEST(WideString, GrowsCopiesAndSubstringsLikeAnyString) {
    WString text;
    for (int i = 0; i < 1000; ++i)
        text += L'x';
    text.insert(0, L"head");
    text.replace(4, 996, L"-");
    EXPECT_WSTR_EQ(L"head-xxxx", text);
    EXPECT_WSTR_EQ(L"ad-x", text.substr(2, 4));
    WString copy = text;
    copy.erase(0, 5);
    EXPECT_WSTR_EQ(L"xxxx", copy);
    EXPECT_WSTR_EQ(L"head-xxxx", text);
}

TEST(ModulePath, FolderOfPathDropsTheLastComponent) {
    EXPECT_WSTR_EQ(L"C:\\a\\", FolderOfPath(L"C:\\a\\b.exe"));
    EXPECT_WSTR_EQ(L"C:\\", FolderOfPath(L"C:\\b.exe"));
    EXPECT_WSTR_EQ(L"C:\\a\\b\\", FolderOfPath(L"C:\\a\\b\\"));
    EXPECT_WSTR_EQ(L"", FolderOfPath(L"name.exe"));
}

TEST(ModulePath, TheMainModulePathNamesThisTestProgram) {
    const WString path = GetModulePath(nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_NE(WString::npos, path.find(L"common_tests.exe"));
    EXPECT_WSTR_EQ(FolderOfPath(path), GetModuleFolder(nullptr));
}
