// A layout painted into the view's memory bitmap, checked by pixels where
// the positions put things: backgrounds, skins by state, text, the outline.

#include "tests/support/GTest.h"
#include "tests/support/DibSurface.h"
#include "tests/ui/tree/ViewHarness.h"

using testsupport::Near;
using testsupport::ViewHarness;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080,
                        kYellow = 0xFFFF00, kWhite = 0xFFFFFF;
// Red under the outline's black at alpha 110.
constexpr std::uint32_t kOutlinedRed = 0x910000;

const char* const kLayout = R"(<layer>
  <header height="40" class="red_bg"><text id="9" class="dark_text" pos="0,0,-0,-0">标题 Title</text></header>
  <body class="blue_bg">
    <img id="1" pos="10,10" skin="four" sub="1"/>
    <imgbtn id="2" pos="40,10" skin="four"/>
    <dlg id="4" pos="100,0,200,50" class="padded"><button id="5" class="hover_bg" pos="0,0,-0,-0"/></dlg>
    <hr pos="0,60,-0,60" crbg="FFFF00"/>
    <progress pos="0,80,100,90" value="50" crbg="FFFFFF"/>
    <text pos="250,100" show="0" class="red_bg">hidden</text>
  </body>
  <footer height="30"/>
</layer>)";

} // namespace

TEST(ViewPaint, BackgroundsSkinsAndTextWhereThePositionsPutThem) {
    ViewHarness host(kLayout);
    EXPECT_EQ(kRed, host.Pixel(5, 35));       // header background
    EXPECT_EQ(kBlue, host.Pixel(250, 150));   // body background
    EXPECT_EQ(kWhite, host.Pixel(150, 185));  // footer without a look
    EXPECT_EQ(kGreen, host.Pixel(12, 51));    // img, sub-image 1 of 16 x 4
    EXPECT_EQ(kBlue, host.Pixel(12, 55));     // below the image's 4 rows
    EXPECT_EQ(kRed, host.Pixel(42, 51));      // imgbtn, normal picture
    EXPECT_EQ(kYellow, host.Pixel(105, 42));  // the padded dlg's margin
    EXPECT_EQ(kGreen, host.Pixel(150, 60));   // its button inside the margins
    EXPECT_EQ(kYellow, host.Pixel(150, 100)); // the rule at y 100
    EXPECT_EQ(kBlue, host.Pixel(150, 101));
    EXPECT_NE(kWhite, host.Pixel(20, 125)); // progress: filled half
    EXPECT_EQ(kWhite, host.Pixel(80, 125)); // its empty half
    EXPECT_EQ(kBlue, host.Pixel(255, 145)); // the hidden text draws nothing

    // The title text: dark pixels in the middle of the header.
    int dark = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 100; x < 200; ++x)
            dark += Near(host.Pixel(x, y), 0x000000, 100) ? 1 : 0;
    EXPECT_GT(dark, 20);
}

TEST(ViewPaint, SkinsAndColoursFollowTheState) {
    ViewHarness host(kLayout);
    host.Move(42, 51);
    EXPECT_EQ(kGreen, host.Pixel(42, 51)); // hovered imgbtn
    host.Press(42, 51);
    EXPECT_EQ(kBlue, host.Pixel(42, 51)); // pushed
    host.Release(42, 51);
    host.Element(2)->ChangeStateWithRepaint(kTwDisabled | kTwHover, 0);
    EXPECT_EQ(kGrey, host.Pixel(42, 51)); // disabled, even while hovered
    host.Move(150, 60);
    EXPECT_EQ(kBlue, host.Pixel(150, 60)); // crbghover of the button
    host.Leave();
    EXPECT_EQ(kGreen, host.Pixel(150, 60));
}

TEST(ViewPaint, OutlineOfTopLevelWindowsDrawnOnceAtItsCorners) {
    ViewHarness host(kLayout);
    EXPECT_EQ(kOutlinedRed, host.Pixel(3, 0));
    EXPECT_EQ(kOutlinedRed, host.Pixel(2, 1));
    EXPECT_EQ(kOutlinedRed, host.Pixel(0, 3));
    EXPECT_EQ(kRed, host.Pixel(0, 0));
    EXPECT_EQ(kRed, host.Pixel(1, 1));
    EXPECT_EQ(kRed, host.Pixel(3, 1));
    // Repainting the header (its text changes) darkens nothing twice.
    ASSERT_TRUE(host.View().SetElementAttribute(9, "crtext", "FFFFFF"));
    EXPECT_EQ(kOutlinedRed, host.Pixel(3, 0));
    host.View().RequestFullRedraw();
    EXPECT_EQ(kOutlinedRed, host.Pixel(150, 0));

    ViewHarness inChild(kLayout, 300, 200, WS_CHILD);
    EXPECT_EQ(kRed, inChild.Pixel(3, 0));
}
