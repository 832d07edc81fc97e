// High contrast: what of a picture becomes a mark, and a layout painted in
// the system colours instead of its skins and colours, state by state.

#include <cstdint>
#include <vector>

#include "tests/support/GTest.h"
#include "tests/support/HighContrastOverride.h"
#include "tests/ui/tree/ViewHarness.h"
#include "ui/engine/TwHighContrast.h"

using testsupport::ForcedHighContrast;
using testsupport::InkRgb;
using testsupport::ViewHarness;

namespace {

constexpr COLORREF kInk = RGB(0x10, 0x20, 0x30);
constexpr std::uint32_t kOpaqueInk = 0xFF102030u;

std::vector<std::uint32_t> Inked(std::vector<std::uint32_t> pixels) {
    InkPixels(pixels.data(), pixels.size(), kInk);
    return pixels;
}

const char* const kLayout = R"(<layer>
  <header height="40" class="red_bg"/>
  <body class="blue_bg">
    <img id="1" pos="10,10" skin="four" sub="1"/>
    <skinbtn id="3" pos="40,10,120,40"/>
    <skinbtn id="6" pos="130,10,210,40"/>
    <dlg id="4" pos="10,50,60,70" contrast="highlight"><img pos="0,0" skin="four" sub="1"/></dlg>
    <tabctrl id="20" pos="0,80,300,150" tabwidth="60" tabheight="24"><tab title="甲"/><tab title="乙"/></tabctrl>
  </body>
  <footer height="30"/>
</layer>)";

} // namespace

TEST(HighContrastInk, MarksAreThePartsDarkerThanWhiteElseTheShape) {
    // A white cross on nothing (the close button): marked by its shape, a
    // half-covered edge with half the ink.
    EXPECT_EQ((std::vector<std::uint32_t>{0, kOpaqueInk, 0x80081018u}),
              Inked({0, 0xFFFFFFFFu, 0x80808080u}));
    // A blue disc with a white sign: the sign stays a hole.
    EXPECT_EQ((std::vector<std::uint32_t>{kOpaqueInk, 0, 0}), Inked({0xFF1F6FD8u, 0xFFFFFFFFu, 0}));
    // A bitmap copied without alpha: the near-white paper is no mark, the
    // accent and grey text are; a faint speck is none.
    EXPECT_EQ((std::vector<std::uint32_t>{0, kOpaqueInk, kOpaqueInk}),
              Inked({0x00FBFDFDu, 0x001F6FD8u, 0x00789CB4u}));
    EXPECT_EQ((std::vector<std::uint32_t>{kOpaqueInk, 0}), Inked({0xFF000000u, 0x04000000u}));
}

TEST(HighContrastPaint, SystemColoursReplaceSkinsAndColoursInEveryState) {
    ASSERT_NE(InkRgb(TwContrastInk::Surface), InkRgb(TwContrastInk::Text));
    ASSERT_NE(InkRgb(TwContrastInk::ButtonFace), InkRgb(TwContrastInk::Highlight));
    {
        // Off, the layout's own colours (so the checks below can fail).
        ViewHarness host(kLayout);
        ASSERT_EQ(0xFF0000u, host.Pixel(5, 35));
        ASSERT_EQ(0x00FF00u, host.Pixel(12, 51));
    }
    ForcedHighContrast contrast;
    ViewHarness host(kLayout);
    EXPECT_EQ(InkRgb(TwContrastInk::Surface), host.Pixel(5, 35));    // the header's colour
    EXPECT_EQ(InkRgb(TwContrastInk::Surface), host.Pixel(250, 110)); // the body's
    EXPECT_EQ(InkRgb(TwContrastInk::Text), host.Pixel(12, 51));      // a picture's mark
    EXPECT_EQ(InkRgb(TwContrastInk::Highlight), host.Pixel(12, 91)); // in a highlight area

    // A button: framed face; hovered, lit and framed twice; unavailable, grey.
    EXPECT_EQ(InkRgb(TwContrastInk::ButtonText), host.Pixel(40, 50));
    EXPECT_EQ(InkRgb(TwContrastInk::ButtonFace), host.Pixel(45, 75));
    host.Move(60, 60);
    EXPECT_EQ(InkRgb(TwContrastInk::Highlight), host.Pixel(45, 75));
    EXPECT_EQ(InkRgb(TwContrastInk::ButtonText), host.Pixel(41, 51));
    host.Leave();
    host.Element(6)->ChangeStateWithRepaint(kTwDisabled, 0);
    EXPECT_EQ(InkRgb(TwContrastInk::Unavailable), host.Pixel(130, 50));

    // The selected tab header in the highlight colour, the other framed, and
    // the page under them.
    EXPECT_EQ(InkRgb(TwContrastInk::Highlight), host.Pixel(5, 125));
    EXPECT_EQ(InkRgb(TwContrastInk::Text), host.Pixel(70, 120));
    EXPECT_EQ(InkRgb(TwContrastInk::Text), host.Pixel(150, 144));
}
