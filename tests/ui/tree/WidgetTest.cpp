// Widget behaviour: picture choice by state, sizes from skins, check and
// radio boxes, grouped image buttons, hosted real windows, and the small
// arithmetic they share.

#include "tests/support/GTest.h"
#include "tests/ui/tree/ViewHarness.h"
#include "ui/engine/TwPictureWidgets.h"
#include "ui/engine/TwProgressWidgets.h"
#include "ui/engine/TwShapeWidgets.h"
#include "ui/engine/TwWidgetStates.h"
#include "ui/engine/TwWindowOutline.h"

using testsupport::ViewHarness;

namespace {

std::string InBody(const std::string& body) {
    return "<layer><header height=\"40\"/><body>" + body + "</body></layer>";
}

SIZE SizeOf(const CTwWindow* element) {
    const RECT& r = element->Rect();
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

TEST(WidgetStates, PicturesAndBoxStatesByStateBits) {
    EXPECT_EQ(0, ButtonPicture(0));
    EXPECT_EQ(1, ButtonPicture(kTwHover));
    EXPECT_EQ(2, ButtonPicture(kTwHover | kTwPushed));
    EXPECT_EQ(3, ButtonPicture(kTwDisabled | kTwHover | kTwPushed));
    EXPECT_EQ(2, GroupedButtonPicture(kTwChecked | kTwDisabled));
    EXPECT_EQ(1, GroupedButtonPicture(kTwHover | kTwDisabled));
    EXPECT_EQ(1, ThemedBoxState(0, false));
    EXPECT_EQ(3, ThemedBoxState(kTwPushed | kTwHover, false));
    EXPECT_EQ(8, ThemedBoxState(kTwChecked | kTwHover, true));
    EXPECT_EQ(UINT(DFCS_BUTTONRADIO | DFCS_TRANSPARENT | DFCS_INACTIVE | DFCS_CHECKED),
              FrameBoxFlags(kTwChecked, true, true));
    EXPECT_EQ(UINT(DFCS_BUTTONCHECK | DFCS_TRANSPARENT | DFCS_HOT | DFCS_PUSHED),
              FrameBoxFlags(kTwHover | kTwPushed, false, false));
}

TEST(WidgetStates, ValuesOnBarsAndTracks) {
    EXPECT_EQ(50, PercentOf(5, 0, 10));
    EXPECT_EQ(0, PercentOf(-5, 0, 10));
    EXPECT_EQ(100, PercentOf(50, 0, 10));
    EXPECT_EQ(0, PercentOf(5, 10, 10)); // empty range
    EXPECT_EQ(100, PercentOf(2000000000, -2000000000, 2000000000));
    EXPECT_EQ(37, FilledWidth(75, 50));
    EXPECT_EQ(0, FilledWidth(-3, 50));
    EXPECT_EQ(25, SliderPosAt(RECT{100, 0, 200, 10}, 125));
    EXPECT_EQ(0, SliderPosAt(RECT{100, 0, 100, 10}, 125));
    EXPECT_EQ(3, LinePenStyle("dashdot"));
    EXPECT_EQ(-1, LinePenStyle("Dash"));
    POINT corners[3];
    RotatedCorners(RECT{0, 0, 20, 10}, 20, 10, 0, corners);
    EXPECT_EQ(0, corners[0].x);
    EXPECT_EQ(20, corners[1].x);
    EXPECT_EQ(10, corners[2].y);
    RotatedCorners(RECT{0, 0, 20, 20}, 20, 10, 90, corners);
    EXPECT_EQ(15, corners[0].x); // upper-left goes to the right side
    EXPECT_EQ(0, corners[0].y);
}

TEST(WindowOutline, EveryPixelOnceAroundTheCutCorners) {
    const std::vector<POINT> pixels = OutlinePixels(20, 10);
    // Straight runs 13 + 3 + 13 + 3 (top, right, bottom, left) and four
    // diagonals of 3.
    EXPECT_EQ(13u + 3 + 13 + 3 + 12, pixels.size());
    for (const POINT& p : pixels) {
        EXPECT_FALSE(p.x + p.y < 3) << p.x << "," << p.y;
        EXPECT_FALSE((19 - p.x) + (9 - p.y) < 3) << p.x << "," << p.y;
    }
    EXPECT_TRUE(OutlinePixels(5, 5).empty());
}

TEST(Widgets, ImagesTakeTheirSkinsSize) {
    ViewHarness host(InBody(R"(<img id="1" pos="5,5" skin="nosuch"/>
        <img id="2" pos="0,0,13,13" skin="four"/><img id="3" pos="0,0,13,13"/>
        <img id="4" pos="0,0" skin="strip"/><skinbtn id="5" pos="0,0" class="skinned">OK</skinbtn>)"));
    EXPECT_EQ(0, SizeOf(host.Element(1)).cx);
    EXPECT_EQ(0, SizeOf(host.Element(1)).cy);
    EXPECT_EQ(16, SizeOf(host.Element(2)).cx); // the skin's size beats four values
    EXPECT_EQ(4, SizeOf(host.Element(2)).cy);
    EXPECT_EQ(13, SizeOf(host.Element(3)).cx);
    EXPECT_EQ(64, SizeOf(host.Element(4)).cx);
    EXPECT_EQ(16, SizeOf(host.Element(5)).cx); // the style's skin
}

TEST(Widgets, CheckBoxesAndRadioGroups) {
    ViewHarness host(InBody(R"(<check id="1" pos="0,0">remember</check>
        <radio id="2" pos="0,20,60,35" group="g" check="1"/><radio id="3" pos="0,40,60,55" group="g"/>
        <radio id="4" pos="0,60,60,75" group="other" check="1"/>)"));
    const SIZE box = SizeOf(host.Element(1));
    EXPECT_GT(box.cx, 17);
    EXPECT_GE(box.cy, 13);
    host.Click(5, 45);
    EXPECT_TRUE(host.Element(1)->Has(kTwChecked));
    host.Click(5, 45);
    EXPECT_FALSE(host.Element(1)->Has(kTwChecked));
    host.Click(5, 85);
    EXPECT_TRUE(host.Element(3)->Has(kTwChecked));
    EXPECT_FALSE(host.Element(2)->Has(kTwChecked));
    EXPECT_TRUE(host.Element(4)->Has(kTwChecked)); // another group
}

TEST(Widgets, GroupedImageButtonsToggleOneAtATime) {
    ViewHarness host(InBody(R"(<imgbtn id="1" pos="0,0" skin="four" group="tabs"/>
        <imgbtn id="2" pos="20,0" skin="four" group="tabs"/>)"));
    host.Click(5, 41);
    EXPECT_TRUE(host.Element(1)->Has(kTwChecked));
    host.Click(25, 41);
    EXPECT_TRUE(host.Element(2)->Has(kTwChecked));
    EXPECT_FALSE(host.Element(1)->Has(kTwChecked));
    host.Click(25, 41);
    EXPECT_FALSE(host.Element(2)->Has(kTwChecked));
    host.Element(1)->ChangeState(kTwDisabled, 0);
    host.Element(2)->ChangeState(kTwChecked, 0);
    host.View().RequestFullRedraw();
    EXPECT_EQ(0xFF0000u, host.Pixel(2, 41)); // grouped: no disabled picture
}

TEST(Widgets, RealWindowFollowsItsElement) {
    ViewHarness host(
        InBody(R"(<dlg id="7" pos="0,0,-0,-0"><realwnd id="401" pos="10,10,-10,60"/></dlg>)"));
    HWND real = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5,
                                host.View().Hwnd(), reinterpret_cast<HMENU>(401), nullptr, nullptr);
    // Moved when its element's rectangle changes: the view grows narrower.
    MoveWindow(host.View().Hwnd(), 0, 0, 250, 200, FALSE);
    RECT placed = {};
    GetWindowRect(real, &placed);
    MapWindowPoints(nullptr, host.View().Hwnd(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(10, placed.left);
    EXPECT_EQ(50, placed.top);
    EXPECT_EQ(230, placed.right - placed.left);
    bool moved = false;
    for (const auto& notice : host.Notices())
        moved = moved || notice.code == kTwRealWindowMoved;
    EXPECT_TRUE(moved);
    host.View().ShowElement(7, false);
    EXPECT_FALSE(IsWindowVisible(real));
    host.View().ShowElement(7, true);
    EXPECT_TRUE(GetWindowLongW(real, GWL_STYLE) & WS_VISIBLE);
    host.Move(20, 60);
    EXPECT_EQ(FALSE, SendMessageW(host.View().Hwnd(), WM_SETCURSOR,
                                  reinterpret_cast<WPARAM>(host.View().Hwnd()), HTCLIENT));
}
