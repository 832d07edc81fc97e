// The style, colour and string documents read into plain records, and the
// guard that keeps a document nested too deeply from being parsed.

#include "ui/engine/TwTableDocuments.h"

#include <string>
#include <vector>

#include "tests/support/GTest.h"
#include "ui/core/TwXml.h"

TEST(TableDocuments, StylesInOrderTheFirstOfANameWinningAcrossCopies) {
    const std::vector<TwStyleRecord> styles = ReadStyleClasses(
        {"<style><class name='a' margin='3' font='0104' cursor='hand'/><class name='a' "
         "margin='9'/><klass name='k'/><class name='b' cursor='wait' crbg='102030'/></style>",
         "<style><class name='b' margin='7'/><class name='c'/></style>",
         "<style><class name='broken'></style>", "<notstyle><class name='d'/></notstyle>"});
    ASSERT_EQ(3u, styles.size());
    EXPECT_EQ("a", styles[0].name);
    EXPECT_EQ(3, styles[0].xMargin);
    EXPECT_EQ(3, styles[0].yMargin);
    EXPECT_EQ(0x0104u, styles[0].fontCode.value_or(0));
    EXPECT_FALSE(styles[0].hoverFontCode);
    EXPECT_TRUE(styles[0].handCursor);
    EXPECT_EQ("b", styles[1].name);
    EXPECT_FALSE(styles[1].handCursor); // "wait" refused, the rest taken
    EXPECT_EQ(TwRgb(0x10, 0x20, 0x30), styles[1].colors.crbg);
    EXPECT_EQ(0, styles[1].xMargin);
    EXPECT_EQ("c", styles[2].name);
    EXPECT_EQ(TwRgb(1, 1, 1), styles[2].colors.crshadow);
    EXPECT_EQ(kDefaultDisabledColor, styles[2].colors.crdisabled);
}

TEST(TableDocuments, ColourSetsOfTheChosenLevelAndStringsById) {
    const std::vector<std::string> colors = {
        "<colors><level level='1'><color name='x' crtext='445566'/><other name='y'/></level>"
        "<level level='2'><color name='z'/></level></colors>",
        "<colors><level level='1'><color name='x' crtext='000000'/><color name='w'/>"
        "</level></colors>"};
    const std::vector<TwColorSetRecord> first = ReadColorSets(colors, 1);
    ASSERT_EQ(2u, first.size());
    EXPECT_EQ("x", first[0].name);
    EXPECT_EQ(TwRgb(0x44, 0x55, 0x66), first[0].colors.crtext);
    EXPECT_EQ("w", first[1].name);
    ASSERT_EQ(1u, ReadColorSets(colors, 2).size());
    EXPECT_TRUE(ReadColorSets(colors, 3).empty());

    const auto strings = ReadStrings({"<string><s id='7'>abc</s><s>no id</s><s id='8'/>"
                                      "<t id='9'>x</t><s id='7'>again</s></string>",
                                      "<string><s id='8'>later</s></string>"});
    ASSERT_EQ(2u, strings.size());
    EXPECT_EQ(7, strings[0].first);
    EXPECT_EQ("abc", strings[0].second);
    EXPECT_EQ(8, strings[1].first);
    EXPECT_EQ("", strings[1].second);
}

TEST(TableDocuments, ADocumentNestedPastTheLimitIsLeftOutUnparsed) {
    // The parser goes down one call per level: a million levels would use up
    // the stack before it could say the text is wrong.
    std::string deep = "<string>";
    for (int i = 0; i < 1000000; ++i)
        deep += "<a>";
    std::string atLimit = "<string><s id='1'>x</s>";
    for (int i = 2; i < kMaxDocumentDepth; ++i)
        atLimit += "<a>";
    for (int i = 2; i < kMaxDocumentDepth; ++i)
        atLimit += "</a>";
    atLimit += "</string>";
    EXPECT_EQ(kMaxDocumentDepth - 1, XmlNestingDepth(atLimit));
    const auto strings = ReadStrings({deep, atLimit});
    ASSERT_EQ(1u, strings.size());
    EXPECT_EQ(1, strings[0].first);
}

TEST(TableDocuments, ATextThatStopsInsideACharacterIsNotReadPastItsEnd) {
    // The first byte of a three-byte character, then one byte, then the end:
    // the parser steps over three bytes from the first.
    const std::string cut = "<string><s id='1'>a long enough text to live on the heap \xE0x";
    const std::string whole = "<string><s id='2'>\xE5\xB7\xA5</s></string>";
    const auto strings = ReadStrings({cut, whole});
    ASSERT_EQ(1u, strings.size());
    EXPECT_EQ(2, strings[0].first);
    EXPECT_EQ("\xE5\xB7\xA5", strings[0].second);
}

TEST(TableDocuments, TheDepthGuardReadsTheTextAsTheParserDoes) {
    // Each way of hiding levels from a guard that reads the text otherwise
    // than the parser: a quote in a construct the parser skips to its ">"
    // (an "unknown" and a declaration), and the first byte of a three-byte
    // character right before "</", which the parser steps over with it.
    const std::string levels = [] {
        std::string text;
        for (int i = 0; i < 100000; ++i)
            text += "<a>\xE0</a>";
        return text;
    }();
    const std::string nested = [] {
        std::string text;
        for (int i = 0; i < 100000; ++i)
            text += "<a>";
        return text;
    }();
    EXPECT_GT(XmlNestingDepth("<string>" + levels), kMaxDocumentDepth);
    EXPECT_GT(XmlNestingDepth("<string><6\">" + nested), kMaxDocumentDepth);
    EXPECT_GT(XmlNestingDepth("<?xml \"><string>" + nested), kMaxDocumentDepth);
    // A character reference runs to the next ';', past a closing quote or a
    // '<': in a declaration's value, an attribute's value and in text.
    EXPECT_GT(XmlNestingDepth("<?xml encoding=\"&#x\">x;<t\"><string>" + nested),
              kMaxDocumentDepth);
    EXPECT_GT(XmlNestingDepth("<string a=\"&#x\">x;<t\">" + nested), kMaxDocumentDepth);
    EXPECT_GT(XmlNestingDepth("<string>&#x<t\"x;" + nested), kMaxDocumentDepth);
    EXPECT_GT(XmlNestingDepth("<string>&#<t'#1;" + nested), kMaxDocumentDepth);
    EXPECT_EQ(1, XmlNestingDepth("<a/>"));
    EXPECT_EQ(2, XmlNestingDepth("<a x='>'><b/><c>t</c></a>"));
    EXPECT_EQ(1, XmlNestingDepth("<?xml version='1.0>'?><!-- <x><y> --><a><![CDATA[<z>]]></a>"));
    EXPECT_TRUE(ReadStrings({"<string>" + levels}).empty());
}
