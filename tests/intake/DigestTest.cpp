#include "intake/Digest.h"

#include "intake/StorePath.h"
#include "tests/support/GTest.h"

TEST(Digest, BytesRenderAsLowerCaseHexHighNibbleFirst) {
    const unsigned char bytes[] = {0x00, 0xff, 0x1a};
    char text[7];
    BytesToHex(bytes, 3, text);
    EXPECT_STREQ("00ff1a", text);
    unsigned char zero[16] = {};
    char zeroText[33];
    BytesToHex(zero, 16, zeroText);
    EXPECT_STREQ(ZeroDigest, zeroText);
}

TEST(Digest, Md5TextsAreThirtyTwoHexDigits) {
    EXPECT_TRUE(IsMd5Text("0123456789abcdefABCDEF0123456789"));
    EXPECT_FALSE(IsMd5Text("0123456789abcdef0123456789abcde"));
    EXPECT_FALSE(IsMd5Text("0123456789abcdef0123456789abcdefa"));
    EXPECT_FALSE(IsMd5Text("0123456789abcdef0123456789abcdeg"));
    EXPECT_EQ("abcdef", LowerMd5("ABCdef"));
}

TEST(StorePath, PathsThatDoNotFitOrCannotBeCarriedAreRefused) {
    std::string narrow;
    EXPECT_EQ(StorePathResult::Ok, ToStorePath(L"C:\\\x6587\x4EF6.exe", narrow));
    EXPECT_EQ("C:\\\xCE\xC4\xBC\xFE.exe", narrow);
    // 130 Chinese characters: 130 wide units but 260 bytes in code page 936.
    std::wstring wide = L"C:\\";
    for (int i = 0; i < 130; ++i)
        wide += L'\x6587';
    EXPECT_EQ(StorePathResult::TooLong, ToStorePath(wide, narrow));
    EXPECT_EQ(StorePathResult::NotRepresentable, ToStorePath(L"C:\\\x0E01.exe", narrow));
}
