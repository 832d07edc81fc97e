// Choosing, measuring and painting an element's text.

#include "ui/engine/TwElementText.h"

#include "tests/support/DibSurface.h"
#include "tests/support/GTest.h"
#include "ui/engine/TwFontPool.h"

using testsupport::DibSurface;

namespace {

// Counts the pixels of a rectangle that are not white, and those of a colour.
struct Ink {
    int dark = 0;
    int matching = 0;
};
Ink InkIn(const DibSurface& surface, RECT r, std::uint32_t colour) {
    Ink ink;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const std::uint32_t p = surface.At(x, y);
            ink.dark += p != 0xFFFFFF;
            ink.matching += p == colour;
        }
    }
    return ink;
}

TwStyle MakeStyle() {
    TwStyle style;
    style.ApplyAttribute("crtext", "102030", true);
    style.ApplyAttribute("crhover", "FF0000", true);
    style.ApplyAttribute("font", "0000", true);
    style.ApplyAttribute("hoverfont", "0104", true);
    return style;
}

} // namespace

TEST(ElementText, OwnValuesWinThenTheStyleThenTheStateColours) {
    const TwStyle style = MakeStyle();
    TextSubject subject;
    subject.style = &style;
    TextLook look = ChooseTextLook(subject);
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), look.text);
    EXPECT_EQ(TwFontPool::Instance().GetFont(0), look.font);
    EXPECT_FALSE(look.transparent);

    subject.ownText = RGB(1, 2, 3);
    EXPECT_EQ(RGB(1, 2, 3), ChooseTextLook(subject).text);
    subject.hovered = true;
    look = ChooseTextLook(subject);
    EXPECT_EQ(RGB(0xFF, 0, 0), look.text);
    EXPECT_EQ(TwFontPool::Instance().GetFont(0x0104), look.font);
    subject.disabled = true; // disabled wins over hover
    look = ChooseTextLook(subject);
    EXPECT_EQ(0xCCCCCCu, look.text);
    EXPECT_EQ(TwFontPool::Instance().GetFont(0), look.font);
}

TEST(ElementText, MeasuringFontsComeFromTheNearestAncestorThatHasOne) {
    TwStyle plain;
    const TwStyle styled = MakeStyle();
    TextSubject subject;
    subject.style = &plain;
    EXPECT_EQ(TwFontPool::Instance().GetFont(0), MeasuringFont(subject));
    const HFONT bold = TwFontPool::Instance().GetFont(0x0004);
    subject.ancestors = {{nullptr, &plain}, {bold, nullptr}, {nullptr, &styled}};
    EXPECT_EQ(bold, MeasuringFont(subject));
    subject.hovered = true; // the nearest hover font of a style
    EXPECT_EQ(TwFontPool::Instance().GetFont(0x0104), MeasuringFont(subject));
}

TEST(ElementText, MeasuredTextAddsTwiceTheMarginsAndEmptyTextIsOnlyTheMargins) {
    TwStyle style;
    style.ApplyAttribute("margin", "3", true);
    TextSubject subject;
    subject.style = &style;
    const SIZE empty = MeasureElementText(std::wstring(), subject, RECT{0, 0, 200, 100});
    EXPECT_EQ(6, empty.cx);
    EXPECT_EQ(6, empty.cy);
    const SIZE one = MeasureElementText(L"W", subject, RECT{0, 0, 200, 100});
    const SIZE three = MeasureElementText(L"WWW", subject, RECT{0, 0, 200, 100});
    EXPECT_GT(one.cx, 6);
    EXPECT_GT(three.cx, one.cx);
    EXPECT_EQ(one.cy, three.cy);

    TwStyle wrapping;
    wrapping.ApplyAttribute("textmode", "A210", true);
    subject.style = &wrapping;
    const SIZE wrapped =
        MeasureElementText(L"word word word word word word word word", subject, RECT{0, 0, 60, 10});
    EXPECT_LE(wrapped.cx, 60);
    EXPECT_GT(wrapped.cy, 2 * one.cy); // several lines, not cut at the offered height
}

TEST(ElementText, TheYaHeiCorrectionMovesBottomAlignedTextUp) {
    // Base -12, a font one step larger (-13): d = 1.
    RECT r = YaHeiCorrected(RECT{0, 0, 100, 20}, DT_BOTTOM | DT_SINGLELINE, -12, -13);
    EXPECT_EQ(-4, r.top);
    EXPECT_EQ(16, r.bottom);
    r = YaHeiCorrected(RECT{0, 0, 100, 10}, DT_BOTTOM, -12, -13);
    EXPECT_EQ(-4, r.top);
    EXPECT_EQ(16, r.bottom);
    r = YaHeiCorrected(RECT{0, 0, 100, 10}, DT_VCENTER | DT_SINGLELINE, -12, -13);
    EXPECT_EQ(0, r.top);
    r = YaHeiCorrected(RECT{0, 10, 100, 30}, DT_TOP, -12, -12);
    EXPECT_EQ(7, r.top);
    EXPECT_EQ(27, r.bottom);
}

TEST(ElementText, PaintedTextLandsInsideTheMarginsInItsColour) {
    DibSurface surface(200, 40);
    TwStyle style;
    style.ApplyAttribute("crtext", "000000", true);
    style.ApplyAttribute("margin", "4", true);
    style.ApplyAttribute("textmode", "24", true); // DT_SINGLELINE | DT_VCENTER
    TextSubject subject;
    subject.style = &style;
    PaintElementText(surface.Dc(), L"\x6587\x4EF6 test", RECT{0, 0, 200, 40}, subject, 0);
    const Ink inside = InkIn(surface, RECT{4, 4, 196, 36}, 0x000000);
    EXPECT_GT(inside.dark, 20);
    EXPECT_GT(inside.matching, 0);
    EXPECT_EQ(0, InkIn(surface, RECT{0, 0, 200, 4}, 0).dark);
    EXPECT_EQ(0, InkIn(surface, RECT{0, 0, 4, 40}, 0).dark);

    // Disabled text uses the disabled colour; nothing is pure black.
    surface.Fill(0xFFFFFF);
    subject.disabled = true;
    PaintElementText(surface.Dc(), L"\x6587\x4EF6 test", RECT{0, 0, 200, 40}, subject, 0);
    EXPECT_EQ(0, InkIn(surface, RECT{0, 0, 200, 40}, 0x000000).matching);
    EXPECT_GT(InkIn(surface, RECT{0, 0, 200, 40}, 0xCCCCCC).matching, 0);
}

TEST(ElementText, GdiplusAndShadowStylesDrawToo) {
    DibSurface surface(200, 40);
    TwStyle gdiplus;
    gdiplus.ApplyAttribute("gdiplus", "1", true);
    gdiplus.ApplyAttribute("crtext", "0000FF", true);
    gdiplus.ApplyAttribute("textmode", "25", true);
    TextSubject subject;
    subject.style = &gdiplus;
    PaintElementText(surface.Dc(), L"GDI+ text", RECT{0, 0, 200, 40}, subject, 0);
    EXPECT_GT(InkIn(surface, RECT{0, 0, 200, 40}, 0).dark, 20);

    surface.Fill(0xFFFFFF);
    TwStyle shadow;
    shadow.ApplyAttribute("shadow", "1", true);
    shadow.ApplyAttribute("crtext", "FFFFFF", true);
    subject.style = &shadow;
    PaintElementText(surface.Dc(), L"shadowed", RECT{0, 0, 200, 40}, subject, 0x25);
    EXPECT_GT(InkIn(surface, RECT{0, 0, 200, 40}, 0).dark, 5); // white text shows by its shadow
    // Nothing is painted for an empty text.
    surface.Fill(0xFFFFFF);
    PaintElementText(surface.Dc(), std::wstring(), RECT{0, 0, 200, 40}, subject, 0);
    EXPECT_EQ(0, InkIn(surface, RECT{0, 0, 200, 40}, 0).dark);
}
