#include "common/LongPath.h"

#include "tests/support/GTest.h"

TEST(LongPath, FullPathsTakeTheLongFormAndComeBack) {
    const std::wstring cases[][2] = {
        {L"C:\\a\\b.exe", L"\\\\?\\C:\\a\\b.exe"},
        {L"z:\\", L"\\\\?\\z:\\"},
        {L"\\\\server\\share\\a", L"\\\\?\\UNC\\server\\share\\a"},
    };
    for (const auto& [ordinary, longForm] : cases) {
        EXPECT_EQ(longForm, LongFormPath(ordinary));
        EXPECT_EQ(ordinary, OrdinaryFormPath(longForm));
        EXPECT_EQ(longForm, LongFormPath(longForm)); // once only
    }
}

TEST(LongPath, PathsTheLongFormWouldReadDifferentlyStayAsTheyAre) {
    for (const std::wstring path :
         {L"relative\\a.exe", L"C:a.exe", L"C:/a/b.exe", L"C:\\a\\..\\b.exe", L"C:\\a\\.\\b",
          L"\\\\.\\pipe\\x", L"\\a\\b", L""}) {
        EXPECT_EQ(path, LongFormPath(path));
        EXPECT_EQ(path, OrdinaryFormPath(path));
    }
    // A name that only begins with dots is an ordinary name.
    EXPECT_EQ(L"\\\\?\\C:\\a\\..b\\.c", LongFormPath(L"C:\\a\\..b\\.c"));
}
