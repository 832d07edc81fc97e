// The tab control's headers, selection and veto; rich text wrapping, links,
// colour runs and markup replacement.

#include "tests/support/DibSurface.h"
#include "tests/support/GTest.h"
#include "tests/ui/tree/ViewHarness.h"
#include "ui/engine/CTwRichText.h"
#include "ui/engine/CTwTabCtrl.h"

using testsupport::Near;
using testsupport::ViewHarness;

namespace {

const char* const kTabs = R"(<layer><header height="65">
  <tabctrl id="103" pos="0,35,-0,-0" tabwidth="80" tabheight="30" tabspacing="6" tabpos="10" tabskin="four">
    <tab title="文件加白"/><tab title="文件加黑" HIDE/><tab title="已操作文件"/>
  </tabctrl></header><body/></layer>)";

std::string Tabs(const char* secondTab) {
    std::string text = kTabs;
    text.replace(text.find("HIDE"), 4, secondTab);
    return text;
}

CTwTabCtrl& TabControl(ViewHarness& host) {
    return static_cast<CTwTabCtrl&>(*host.Element(103));
}

} // namespace

TEST(TabControl, HeadersStepByWidthAndSpacingSkippingHiddenTabs) {
    ViewHarness host(Tabs(""));
    CTwTabCtrl& tabs = TabControl(host);
    ASSERT_EQ(3, tabs.TabCount());
    for (int i = 0; i < 3; ++i) {
        const RECT header = tabs.HeaderRect(i);
        EXPECT_EQ(10 + 86 * i, header.left);
        EXPECT_EQ(35, header.top);
        EXPECT_EQ(80, header.right - header.left);
        EXPECT_EQ(30, header.bottom - header.top);
    }
    EXPECT_EQ(65, tabs.PageArea().top);

    ViewHarness hidden(Tabs("hide=\"1\""));
    EXPECT_EQ(96, TabControl(hidden).HeaderRect(2).left);
    EXPECT_EQ(0, TabControl(hidden).HeaderRect(1).right);

    // Without tabwidth the headers take the skin's width and overlap.
    const RECT overlapping =
        TabHeaderRect(TabStrip{SIZE{16, 4}, 0, 0, 3, 2, false}, RECT{5, 5, 0, 0}, 2);
    EXPECT_EQ(5 + 2 * 2 + 3, overlapping.left);
    EXPECT_EQ(16, overlapping.right - overlapping.left);
}

TEST(TabControl, PressSelectsAndTheViewMayVeto) {
    ViewHarness host(Tabs(""));
    CTwTabCtrl& tabs = TabControl(host);
    host.Press(190, 50); // third header
    EXPECT_EQ(2, tabs.CurrentTab());
    EXPECT_FALSE(tabs.Page(0)->IsShown());
    EXPECT_TRUE(tabs.Page(2)->IsShown());
    host.Release(190, 50);
    host.Forget();
    host.vetoTabChange = true;
    host.Press(20, 50);
    EXPECT_EQ(2, tabs.CurrentTab());
    ASSERT_EQ((std::vector<UINT>{kTwTabHover, kTwTabChange, kTwPressed}), host.Codes());
    host.Release(20, 50);
    host.vetoTabChange = false;
    host.Forget();
    EXPECT_TRUE(tabs.SelectTab(2)); // the current one: still announced
    EXPECT_EQ((std::vector<UINT>{kTwTabChange}), host.Codes());
    EXPECT_FALSE(tabs.SelectTab(7));
}

TEST(TabControl, FirstVisibleTabIsSelectedAtLoad) {
    ViewHarness host(R"(<layer><body><tabctrl id="103" pos="0,0,-0,-0" tabwidth="80" tabheight="30">
        <tab title="a" hide="1"/><tab title="b"><text id="7">x</text></tab><tab title="c"/>
        <text id="8">not a tab</text></tabctrl></body></layer>)");
    CTwTabCtrl& tabs = TabControl(host);
    EXPECT_EQ(3, tabs.TabCount());
    EXPECT_EQ(1, tabs.CurrentTab());
    EXPECT_TRUE(tabs.Page(1)->IsShown());
    EXPECT_NE(nullptr, host.Element(7));
    EXPECT_EQ(nullptr, host.Element(8));
}

TEST(RichTextWrap, PiecesFillLinesWithAtLeastOneCharacter) {
    const RichMeasure tenEach = [](int, int length) { return 10 * length; };
    RichPen pen;
    pen.right = 100;
    pen.spacing = 3;
    std::vector<RichPiece> pieces = WrapRun(25, pen, tenEach);
    ASSERT_EQ(3u, pieces.size());
    EXPECT_EQ(10, pieces[0].length);
    EXPECT_EQ(10, pieces[1].length);
    EXPECT_EQ(20, pieces[1].y);
    EXPECT_EQ(5, pieces[2].length);
    EXPECT_EQ(53, pen.x);
    pen.x = 95;
    pieces = WrapRun(2, pen, tenEach);
    ASSERT_EQ(2u, pieces.size());
    EXPECT_EQ(1, pieces[0].length); // does not fit, yet takes one character
    EXPECT_EQ(0, pieces[1].x);
    RichPen offset;
    offset.right = 100;
    AdvanceByOffset(offset, 250);
    EXPECT_EQ(40, offset.y);
    EXPECT_EQ(50, offset.x);
}

TEST(RichText, LinksMoveWholeAndReportClicks) {
    ViewHarness host(
        R"(<layer><body><richtext id="501" pos="0,0,100,80">本次共添加文件<a id="502">格式格式</a></richtext></body></layer>)");
    host.Pixel(0, 0); // paints, which lays out the links
    auto& rich = static_cast<CTwRichText&>(*host.Element(501));
    ASSERT_EQ(1u, rich.Links().size());
    const RECT link = rich.Links()[0].rect;
    EXPECT_EQ(0, link.left); // on the next line, not split
    EXPECT_EQ(20, link.top);
    host.Click((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    bool clicked = false;
    for (const auto& notice : host.Notices())
        clicked = clicked ||
                  (notice.code == kTwClick && notice.itemId == 502 && notice.tag == "richtext");
    EXPECT_TRUE(clicked);

    EXPECT_TRUE(host.View().ReplaceRichMarkup(501, "new <a id=\"504\">x</a>"));
    host.Pixel(0, 0);
    ASSERT_EQ(1u, rich.Links().size());
    EXPECT_EQ(504, rich.Links()[0].id);
    EXPECT_FALSE(host.View().ReplaceRichMarkup(501, "<broken"));
    EXPECT_EQ(504, rich.Links()[0].id);
    EXPECT_FALSE(host.View().ReplaceRichMarkup(999, "x"));
}

TEST(RichText, ColourRunsAndWrappingByCharacter) {
    ViewHarness host(
        R"(<layer><body><richtext id="1" pos="0,0,300,80"><c color="ff2222"><![CDATA[ WWWW ]]></c>WWWW</richtext>
        <richtext id="2" pos="0,100,40,200">中文中文中文abcdefgh</richtext></body></layer>)");
    int red = 0, redOnRight = 0, dark = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 120; ++x) {
            const std::uint32_t pixel = host.Pixel(x, y);
            const bool isRed = Near(pixel, 0xFF2222, 60);
            red += isRed;
            dark += Near(pixel, 0x000000, 60);
            if (isRed && x > 70)
                ++redOnRight;
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(dark, 10);
    EXPECT_EQ(0, redOnRight);
    // 40 pixels take a few characters a line: text reaches the third line.
    int thirdLine = 0;
    for (int y = 140; y < 160; ++y)
        for (int x = 0; x < 40; ++x)
            thirdLine += host.Pixel(x, y) != 0xFFFFFF;
    EXPECT_GT(thirdLine, 5);
}
