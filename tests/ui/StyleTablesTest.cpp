// Style classes, colour sets and strings loaded from the test program's
// resources (and from more sources where the order matters).

#include "ui/engine/TwStyleTables.h"

#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"
#include "ui/engine/TwFontPool.h"
#include "ui/skin/TwResourceLocator.h"

namespace {

class StyleTablesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadColors(60003, 1));
        ASSERT_TRUE(LoadStyles(60001));
        ASSERT_TRUE(LoadStrings(60002));
    }
};

} // namespace

TEST_F(StyleTablesTest, TheFirstDefinitionOfAClassWinsAndUnknownAttributesAreIgnored) {
    const TwStyle& first = GetStyle("first");
    EXPECT_EQ("first", first.name);
    EXPECT_EQ(RGB(0xFD, 0xFD, 0xFD), first.colors.crtext);
    EXPECT_EQ(TwFontPool::Instance().GetFont(0x0104), first.font);
    EXPECT_EQ(0x25u, first.textMode);
    EXPECT_EQ(IDC_HAND, first.cursor);
    EXPECT_EQ(first.colors.crtext, GetStyle("lower").colors.crtext);
    EXPECT_EQ(RGB(0x12, 0x34, 0x05), GetStyle("short").colors.crtext);
    EXPECT_EQ(RGB(0, 0x50, 0x50), GetStyle("hash").colors.crtext);
}

TEST_F(StyleTablesTest, DefaultsMarginsCursorsAndFonts) {
    const TwStyle& none = GetStyle("no such class");
    EXPECT_EQ("", none.name);
    EXPECT_EQ(0x28u, none.textMode);
    EXPECT_EQ(kNoColor, none.colors.crtext);
    EXPECT_EQ(0xCCCCCCu, none.colors.crdisabled);
    EXPECT_EQ(RGB(1, 1, 1), none.colors.crshadow);
    EXPECT_EQ(20, none.lineSpacing);
    EXPECT_EQ(IDC_ARROW, none.cursor);
    EXPECT_EQ(nullptr, none.font);

    const TwStyle& margins = GetStyle("margins");
    EXPECT_EQ(2, margins.xMargin);
    EXPECT_EQ(4, margins.yMargin);
    const TwStyle& bad = GetStyle("badcursor");
    EXPECT_EQ(IDC_ARROW, bad.cursor); // "wait" rejected, the rest applied
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), bad.colors.crbg);
    const TwStyle& xfont = GetStyle("xfont");
    EXPECT_EQ(TwFontPool::Instance().GetFont(0), xfont.font); // "0x04" reads as 0
    EXPECT_EQ(TwFontPool::Instance().GetFont(0xff00), xfont.hoverFont);
    const TwStyle& wrapping = GetStyle("wrapping");
    EXPECT_EQ(0xA210u, wrapping.textMode);
    EXPECT_TRUE(wrapping.gdiplus);
    EXPECT_TRUE(wrapping.shadow);
    EXPECT_EQ(3, wrapping.spacing);
    EXPECT_EQ(18, wrapping.lineSpacing);
    EXPECT_EQ("some_skin", wrapping.skin);
    // Tags are case-sensitive: "CLASS" defines nothing.
    EXPECT_FALSE(TwStyleTable::Instance().Contains("uppercase"));
}

TEST_F(StyleTablesTest, AStyleTakesTheColourSetOfItsNameForTheCurrentLevelOnly) {
    const TwColor* set = GetColorSet("colored");
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(RGB(0x11, 0x22, 0x33), set->colors.crtext); // level 1, first definition
    EXPECT_NE(nullptr, GetColorSet(""));
    EXPECT_EQ(nullptr, GetColorSet("absent"));
    const TwStyle& colored = GetStyle("colored");
    EXPECT_EQ(RGB(0x11, 0x22, 0x33), colored.colors.crtext);
    EXPECT_EQ(RGB(1, 2, 3), colored.colors.crbg);
    EXPECT_EQ(RGB(0x0A, 0x0B, 0x0C), colored.colors.crshadow);

    ASSERT_TRUE(LoadColors(60003, 2));
    EXPECT_EQ(RGB(0x44, 0x55, 0x66), GetColorSet("colored")->colors.crtext);
    ASSERT_TRUE(LoadColors(60003, 1));
}

TEST_F(StyleTablesTest, StringsKeepTheirFirstTextAndSkipElementsWithoutId) {
    EXPECT_STREQ(L"\x6587\x4EF6\x540D", GetString(100));
    EXPECT_STREQ(L"\x64CD \x4F5C", GetString(102));
    EXPECT_EQ(nullptr, GetString(101));
    EXPECT_FALSE(LoadStrings(59999)); // absent: the table is empty then
    EXPECT_EQ(nullptr, GetString(100));
}

TEST_F(StyleTablesTest, AnEarlierSourceOverridesALaterOne) {
    // The directory source comes after the program's own resources.
    testsupport::TempDir dir;
    const char later[] = "<style><class name=\"first\" crtext=\"010101\"/>"
                         "<class name=\"onlyindir\" crtext=\"020202\"/></style>";
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File(L"60001.xml"), later, sizeof later - 1));
    std::wstring folder = dir.Path();
    folder.pop_back();
    TwResourceLocator::Instance().SetDirectory(folder);
    EXPECT_EQ(2u, TwResourceLocator::Instance().GatherDocument(60001).size());
    LoadStyles(60001);
    TwResourceLocator::Instance().SetDirectory(std::wstring());
    EXPECT_EQ(RGB(0xFD, 0xFD, 0xFD), GetStyle("first").colors.crtext);
    EXPECT_EQ(RGB(2, 2, 2), GetStyle("onlyindir").colors.crtext);
}

TEST(StyleDocuments, DocumentsThatDoNotParseOrHaveAnotherRootAddNothing) {
    TwStyleTable& table = TwStyleTable::Instance();
    table.Clear();
    table.LoadDocuments({"<style><class name=\"a\"", "<notstyle><class name=\"b\"/></notstyle>",
                         "<style><class name=\"c\"/></style>"});
    EXPECT_FALSE(table.Contains("a"));
    EXPECT_FALSE(table.Contains("b"));
    EXPECT_TRUE(table.Contains("c"));
    EXPECT_TRUE(table.Contains(""));
}
