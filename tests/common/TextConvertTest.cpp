#include "common/TextConvert.h"

#include "tests/support/GTest.h"

TEST(TextConvert, Utf8RoundTripsChineseAndAstralCharacters) {
    const std::wstring text = L"C:\\\x6587\x4EF6\\\xD83D\xDE00.exe";
    const std::string utf8 = WideToUtf8(text);
    EXPECT_EQ("C:\\\xE6\x96\x87\xE4\xBB\xB6\\\xF0\x9F\x98\x80.exe", utf8);
    EXPECT_EQ(text, Utf8ToWide(utf8));
    EXPECT_EQ("", WideToUtf8(L""));
    EXPECT_TRUE(Utf8ToWide("").empty());
}

TEST(TextConvert, CodePage936CarriesChineseAndReportsWhatItCannot) {
    bool lossy = true;
    const std::string gbk = WideToCodePage(L"\x4E2D\x6587", 936, &lossy);
    EXPECT_FALSE(lossy);
    EXPECT_EQ("\xD6\xD0\xCE\xC4", gbk);
    EXPECT_EQ(L"\x4E2D\x6587", CodePageToWide(gbk, 936));

    // A character outside the code page comes back as the default character.
    WideToCodePage(L"a\x0E01"
                   L"b",
                   936, &lossy); // Thai letter
    EXPECT_TRUE(lossy);
}

TEST(TextConvert, TheSystemCodePageIsTheChineseOneInTheProjectsWine) {
    // scripts/test starts Wine in a Chinese locale, as the product's users run.
    EXPECT_EQ(936u, GetACP());
    bool lossy = true;
    EXPECT_EQ("\xD6\xD0", WideToAnsi(L"\x4E2D", &lossy));
    EXPECT_FALSE(lossy);
}
