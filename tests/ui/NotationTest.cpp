#include "ui/core/TwNotation.h"

#include "tests/support/GTest.h"

#ifdef _WIN32
#include <shlwapi.h>
#endif

TEST(Notation, DecimalsFollowThePlatformsIntegerReader) {
    EXPECT_EQ(42, ReadDecimal("42"));
    EXPECT_EQ(-7, ReadDecimal("-7px"));
    EXPECT_EQ(0, ReadDecimal("px"));
    EXPECT_EQ(0, ReadDecimal(""));
    EXPECT_EQ(0, ReadDecimal(nullptr));
}

#ifdef _WIN32
// The documents' integers are read as the platform's StrToIntA reads them:
// white space, signs, digits, and what a number past the int range becomes.
TEST(Notation, DecimalsReadAsThePlatformReadsThem) {
    const char* const texts[] = {"42",
                                 " 42",
                                 "\t\n\v\f\r 7",
                                 "+42",
                                 "-42",
                                 "--4",
                                 "+-4",
                                 "- 4",
                                 "4 2",
                                 "007",
                                 "0x10",
                                 "2147483647",
                                 "2147483648",
                                 "-2147483648",
                                 "-2147483649",
                                 "4294967297",
                                 "99999999999",
                                 "\xA0"
                                 "5",
                                 "\x85"
                                 "5",
                                 "\xFF"
                                 "5",
                                 "\x1C"
                                 "5",
                                 "\x7F"
                                 "5",
                                 "",
                                 "-",
                                 "+",
                                 " ",
                                 "12px",
                                 "1e3",
                                 "\xEF\xBC\x91"};
    for (const char* text : texts)
        EXPECT_EQ(StrToIntA(text), ReadDecimal(text)) << "text: " << text;
}
#endif

TEST(Notation, HexNumbersAreZeroWhenAnyCharacterIsNotADigit) {
    EXPECT_EQ(0x25u, ReadHex("25"));
    EXPECT_EQ(0xA210u, ReadHex("A210"));
    EXPECT_EQ(0xa210u, ReadHex("a210"));
    EXPECT_EQ(0u, ReadHex("0x04"));
    EXPECT_EQ(0u, ReadHex("12 "));
}

TEST(Notation, ColoursReadEachPairOnItsOwn) {
    EXPECT_EQ(TwRgb(0xFD, 0xFD, 0xFD), ReadColor("FDFDFD"));
    EXPECT_EQ(ReadColor("FDFDFD"), ReadColor("fdfdfd"));
    EXPECT_EQ(TwRgb(0x12, 0x34, 0x05), ReadColor("12345"));
    EXPECT_EQ(TwRgb(0x00, 0x50, 0x50), ReadColor("#050505"));
    EXPECT_EQ(TwRgb(0x00, 0x64, 0xC8), ReadColor("0064C8"));
    EXPECT_EQ(TwRgb(0, 0, 0), ReadColor(""));
}

TEST(Notation, FontCodesCarryStyleBitsAndASignedSizeStep) {
    const FontCode bold = DecodeFontCode(ReadHex("0104"));
    EXPECT_TRUE(bold.bold);
    EXPECT_FALSE(bold.italic);
    EXPECT_EQ(1, bold.sizeStep);
    EXPECT_EQ(-13, FontHeightFor(ReadHex("0104"), -12));
    EXPECT_EQ(-14, FontHeightFor(ReadHex("0200"), -12));
    EXPECT_EQ(-11, FontHeightFor(ReadHex("ff00"), -12));
    EXPECT_TRUE(DecodeFontCode(ReadHex("0002")).underline);
    EXPECT_TRUE(DecodeFontCode(0x01).italic);
    const FontCode zero = DecodeFontCode(ReadHex("0x04"));
    EXPECT_FALSE(zero.bold);
    EXPECT_EQ(0, zero.sizeStep);
}
