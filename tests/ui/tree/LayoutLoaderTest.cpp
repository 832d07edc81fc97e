// Layout documents loaded into a view: the window style record, sections,
// the element loader's text, sizes and attributes, and the tag factory.

#include "common/TextConvert.h"
#include "tests/support/GTest.h"
#include "tests/ui/tree/ViewHarness.h"
#include "ui/engine/CTwContainerWnd.h"
#include "ui/engine/TwElementFactory.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/core/TwXml.h"

using testsupport::ViewHarness;

namespace {

TwWindowStyle StyleOf(const char* layer) {
    TiXmlDocument document;
    document.Parse(layer, nullptr, TIXML_ENCODING_UTF8);
    return ReadWindowStyle(*document.RootElement());
}

std::string InBody(const std::string& body) {
    return "<layer><header height=\"40\"/><body>" + body + "</body><footer height=\"30\"/></layer>";
}

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

} // namespace

TEST(WindowStyleRecord, FollowsTheRootAttributesInOrder) {
    const TwWindowStyle plain = StyleOf("<layer/>");
    EXPECT_EQ(0x800B0000u, plain.style);
    EXPECT_EQ(0x00010300u, plain.exStyle);
    EXPECT_TRUE(plain.headerDrag);

    const TwWindowStyle full = StyleOf(
        R"(<layer title="标题" width="640" height="475" min_width="500" min_height="1"
                  appwin="1" holdsize="1" resize="1" noborder="1" nomove="1" frame="f"/>)");
    EXPECT_EQ(0x800F0000u, full.style);
    EXPECT_EQ(0x00050088u, full.exStyle);
    EXPECT_TRUE(full.resizable);
    EXPECT_TRUE(full.holdSize);
    EXPECT_FALSE(full.headerDrag);
    EXPECT_EQ(L"标题", Utf8ToWide(full.title));
    EXPECT_EQ(640, full.width);
    EXPECT_EQ(500, full.minWidth);
    EXPECT_EQ("f", full.frame);

    // A child layout never reads resize, holdsize, noborder or nomove.
    const TwWindowStyle child = StyleOf(R"(<layer child="1" resize="1" holdsize="1" nomove="1"/>)");
    EXPECT_EQ(0x46010000u, child.style);
    EXPECT_EQ(0x00010000u, child.exStyle);
    EXPECT_FALSE(child.resizable);
    EXPECT_FALSE(child.holdSize);
    EXPECT_TRUE(child.headerDrag);
}

TEST(LayoutLoader, RefusesMalformedDocumentsAndOtherRoots) {
    for (const char* text : {"<layer><body>", "<dialog><body/></dialog>", "", "not xml at all"}) {
        ViewHarness host(text);
        EXPECT_FALSE(host.Loaded()) << text;
        EXPECT_FALSE(host.View().WindowStyle().layoutLoaded);
        EXPECT_EQ(0x80090000u, host.View().WindowStyle().style);
        EXPECT_TRUE(host.View().Body().Children().empty());
    }
}

TEST(LayoutLoader, SectionsTakeTheirPlaces) {
    ViewHarness host("<layer><header width=\"full\" height=\"65\" pos=\"5,5,6,6\"/><body/>"
                     "<footer height=\"30\"/></layer>",
                     640, 475);
    ExpectRect({0, 0, 640, 65}, host.View().Header().Rect());
    ExpectRect({0, 445, 640, 475}, host.View().Footer().Rect());
    ExpectRect({0, 65, 640, 445}, host.View().Body().Rect());
}

TEST(LayoutLoader, HiddenDialogKeepsItsRectangleAndChildren) {
    // Body from y 40 to 170 in a 300 x 200 view.
    ViewHarness host(InBody(R"(<dlg id="1104" pos ="252,30,280,44" show="0">
        <text id ="5" pos="1,1">x</text><div id="6"/><tab title="t" hide ="0"/></dlg>)"));
    const CTwWindow* hidden = host.Element(1104);
    ASSERT_NE(nullptr, hidden);
    EXPECT_FALSE(hidden->IsShown());
    ExpectRect({252, 70, 280, 84}, hidden->Rect());
    const auto& children = static_cast<const CTwDialog*>(hidden)->Children();
    ASSERT_EQ(1u, children.size()); // div and tab are not made by the factory
    EXPECT_EQ(253, children[0]->Rect().left);
    EXPECT_EQ(71, children[0]->Rect().top);
}

TEST(LayoutLoader, SizeComesFromTextFullWidthOrFourValues) {
    ViewHarness host(InBody(R"(<text id="1" pos="22,10">Hello</text>
        <text id="2" pos="22,10,200,30">Hello</text>
        <text id="3" width="full" height="12">wide</text>
        <text id="4" pos="1,2,3">three</text>)"));
    const RECT content = host.Element(1)->Rect();
    EXPECT_EQ(22, content.left);
    EXPECT_GT(content.right - content.left, 10);
    EXPECT_GT(content.bottom - content.top, 5);
    ExpectRect({22, 50, 200, 70}, host.Element(2)->Rect());
    ExpectRect({0, 40, 300, 52}, host.Element(3)->Rect());
    // Three values are no position: the corner comes from the stored items.
    EXPECT_EQ(1, host.Element(4)->Rect().left);
    EXPECT_EQ(42, host.Element(4)->Rect().top);
}

TEST(LayoutLoader, StringTokensInTexts) {
    TwStringTable::Instance().LoadDocuments({"<string><s id=\"7\">abc</s></string>"});
    ViewHarness host(InBody(R"(<text id="1">x%str7%y</text><text id="2">%str0%%str7%</text>
        <text id="3">%strx%</text><text id="4">a%str7</text><text id="5">%str9999%z</text>)"));
    EXPECT_EQ(L"xabcy", host.Element(1)->Text());
    EXPECT_EQ(L"%str0%%str7%", host.Element(2)->Text());
    EXPECT_EQ(L"%strx%", host.Element(3)->Text());
    EXPECT_EQ(L"a%str7", host.Element(4)->Text());
    EXPECT_EQ(L"z", host.Element(5)->Text());
}

TEST(LayoutLoader, UnknownTagsAndAttributesAreSkipped) {
    ViewHarness host(InBody(R"(<text bogus="1" id="1" valign="sideways" align="center"
                                    crtext="FF0000" class="nosuch">t</text>
        <widget id="2"><text id="3"/></widget><Text id="4"/><button id="5"/>)"));
    const auto& children = host.View().Body().Children();
    ASSERT_EQ(2u, children.size());
    EXPECT_EQ(1, children[0]->CommandId());
    EXPECT_EQ(0x4000u, children[0]->Align());
    EXPECT_EQ(0u, children[0]->VAlign());
    EXPECT_EQ(nullptr, host.Element(3));
    EXPECT_EQ(5, children[1]->CommandId());

    std::unique_ptr<CTwWindow> text = CreateElement("text");
    EXPECT_EQ(E_FAIL, text->ApplyAttribute("bogus", "1", true));
    EXPECT_EQ(E_FAIL, text->ApplyAttribute("valign", "sideways", true));
    EXPECT_EQ(S_OK, text->ApplyAttribute("valign", "bottom", true));
    EXPECT_EQ(0x2000u, text->VAlign());
    EXPECT_EQ(nullptr, CreateElement("div"));
    EXPECT_EQ(nullptr, CreateElement("tab"));
    EXPECT_EQ(nullptr, CreateElement("DLG"));
}

TEST(LayoutLoader, FindByIdLooksAtDirectChildrenFirst) {
    ViewHarness host(
        InBody(R"(<dlg><dlg><text id="5">deep</text></dlg></dlg><text id="5">near</text>)"));
    EXPECT_EQ(L"near", host.Element(5)->Text());
}

TEST(LayoutLoader, NestingDepthGuard) {
    EXPECT_EQ(0, XmlNestingDepth("plain"));
    EXPECT_EQ(2, XmlNestingDepth("<a x='>'><b/><c>t</c></a>"));
    EXPECT_EQ(1, XmlNestingDepth("<?xml version='1.0'?><!-- <x><y> --><a><![CDATA[<z>]]></a>"));
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<dlg>";
    ViewHarness host("<layer><body>" + deep + "</body></layer>");
    EXPECT_FALSE(host.Loaded());
}
