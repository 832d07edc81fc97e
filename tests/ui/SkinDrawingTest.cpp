// Every skin kind drawn into a memory surface and checked by pixels, with
// the skins document and pictures of the test program's resources.

#include "ui/skin/SkinDocument.h"
#include "ui/skin/TwSkinRegistry.h"

#include "tests/support/DibSurface.h"
#include "tests/support/GTest.h"

using testsupport::DibSurface;
using testsupport::Near;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class SkinDrawingTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(TwSkinRegistry::Instance().LoadSkins(60000)); }
    CTwSkinBase* Skin(const char* name) {
        CTwSkinBase* skin = GetSkin(name);
        EXPECT_NE(nullptr, skin) << name;
        return skin;
    }
    void Draw(const char* name, RECT rect, int state) {
        if (CTwSkinBase* skin = Skin(name))
            skin->Draw(m_surface.Dc(), rect, state);
    }
    DibSurface m_surface{64, 40};
};

} // namespace

TEST_F(SkinDrawingTest, TheRegistryKeepsFirstDefinitionsAndSkipsWhatItCannotMake) {
    const SIZE states = Skin("states")->GetSkinSize();
    EXPECT_EQ(16, states.cx); // the first "states", not the second
    EXPECT_EQ(4, states.cy);
    EXPECT_FALSE(Skin("states")->IgnoreState());
    EXPECT_TRUE(Skin("pieces")->IgnoreState());
    EXPECT_EQ(nullptr, GetSkin("ignored"));
    EXPECT_EQ(nullptr, GetSkin("upper"));
    EXPECT_EQ(nullptr, GetSkin("no such skin"));
    EXPECT_EQ(std::string("png"), Skin("pieces")->TagName());
    EXPECT_EQ(std::unique_ptr<CTwSkinBase>(), TwSkinRegistry::CreateSkin("Png"));
    EXPECT_EQ(std::string("skinjpg"), TwSkinRegistry::CreateSkin("skinjpg")->TagName());
    // The kinds' table of tags names each kind's own.
    for (int kind = 0; kind < kSkinKindCount; ++kind)
        EXPECT_STREQ(kSkinKindTags[kind], TwSkinRegistry::CreateSkinOfKind(kind)->TagName());
    EXPECT_EQ(nullptr, TwSkinRegistry::CreateSkinOfKind(kSkinKindCount));
}

TEST_F(SkinDrawingTest, PngSubImagesFollowTheStateModuloTheirCount) {
    Draw("states", RECT{0, 0, 40, 10}, 0);
    EXPECT_EQ(kRed, m_surface.At(15, 3));
    EXPECT_EQ(kWhite, m_surface.At(16, 0));
    EXPECT_EQ(kWhite, m_surface.At(0, 4));
    Draw("states", RECT{0, 10, 40, 20}, 5); // 5 mod 4 = 1
    EXPECT_EQ(kGreen, m_surface.At(0, 10));
    Draw("states", RECT{0, 20, 40, 30}, 2);
    EXPECT_EQ(kBlue, m_surface.At(8, 21));
}

TEST_F(SkinDrawingTest, PngThreePiecesKeepTheirMarginsAndTheImageHeight) {
    Draw("pieces", RECT{0, 0, 30, 10}, 0);
    EXPECT_EQ(kRed, m_surface.At(1, 0));
    EXPECT_EQ(kGreen, m_surface.At(2, 0));
    EXPECT_EQ(kGreen, m_surface.At(27, 3));
    EXPECT_EQ(kBlue, m_surface.At(28, 3));
    EXPECT_EQ(kBlue, m_surface.At(29, 0));
    EXPECT_EQ(kWhite, m_surface.At(30, 0));
    EXPECT_EQ(kWhite, m_surface.At(1, 6)); // png pieces are at most the image's height
    Draw("tiled", RECT{0, 20, 30, 24}, 0);
    EXPECT_EQ(kGreen, m_surface.At(26, 20));
    EXPECT_EQ(kBlue, m_surface.At(28, 20));
}

TEST_F(SkinDrawingTest, FlipMirrorsThePictureAndAnAbsentPictureDrawsNothing) {
    Draw("flipped", RECT{0, 0, 10, 4}, 0);
    EXPECT_EQ(kBlue, m_surface.At(0, 0));
    EXPECT_EQ(kRed, m_surface.At(9, 0));
    CTwSkinBase* absent = Skin("absent");
    EXPECT_FALSE(absent->IsPrepared());
    EXPECT_EQ(0, absent->GetSkinSize().cx);
    absent->Draw(m_surface.Dc(), RECT{0, 10, 64, 40}, 0);
    EXPECT_EQ(kWhite, m_surface.At(5, 20));
}

TEST_F(SkinDrawingTest, GreyCopiesUseThe30To59To11Weights) {
    Skin("pieces")->DrawGray(m_surface.Dc(), POINT{0, 0});
    const std::uint32_t red = (30 * 255) / 100, green = (59 * 255) / 100;
    EXPECT_EQ(red * 0x010101u, m_surface.At(0, 0));
    EXPECT_EQ(green * 0x010101u, m_surface.At(4, 0));
    Skin("panel_top")->DrawGray(m_surface.Dc(), POINT{20, 0});
    const std::uint32_t jpegRed = m_surface.At(25, 5);
    EXPECT_EQ(jpegRed & 0xff, (jpegRed >> 8) & 0xff); // grey
    EXPECT_TRUE(Near(jpegRed, ((30 * 230 + 59 * 20 + 11 * 20) / 100) * 0x010101u, 12))
        << std::hex << jpegRed;
}

TEST_F(SkinDrawingTest, JpgPanelsAreSlicesOfOneLargePicture) {
    Draw("panel_top", RECT{0, 0, 20, 10}, 0);
    Draw("panel_middle", RECT{20, 0, 40, 10}, 0);
    EXPECT_TRUE(Near(0xE61414, m_surface.At(5, 5), 30)) << std::hex << m_surface.At(5, 5);
    EXPECT_TRUE(Near(0x14C814, m_surface.At(25, 5), 30)) << std::hex << m_surface.At(25, 5);
    // A subwidth wider than the picture draws the part that exists only.
    Draw("panel_wide", RECT{0, 10, 64, 40}, 0);
    EXPECT_TRUE(Near(0xE61414, m_surface.At(19, 12), 30));
    EXPECT_EQ(kWhite, m_surface.At(30, 12));
}

TEST_F(SkinDrawingTest, SkinPngDrawsWithItsOpacityAndPrefersAFileBesideTheProgram) {
    Draw("half", RECT{0, 0, 10, 4}, 0);
    EXPECT_TRUE(Near(0xFF7F7F, m_surface.At(0, 0), 2)) << std::hex << m_surface.At(0, 0);
    // The pool caches by id: the file counts for an id not yet cached.
    const SIZE fromFile = Skin("fromfile")->GetSkinSize();
    EXPECT_EQ(2, fromFile.cx);
    EXPECT_EQ(1, fromFile.cy);
}

TEST_F(SkinDrawingTest, ImageListsDrawSubImagesAndTheWholeStripOnlyForMinusOne) {
    Draw("frames", RECT{0, 0, 10, 3}, 1);
    EXPECT_EQ(0x000000u, m_surface.At(0, 0));
    EXPECT_EQ(kGreen, m_surface.At(2, 0));
    EXPECT_EQ(kWhite, m_surface.At(4, 0));
    EXPECT_EQ(5, Skin("frames")->GetSkinSize().cx);
    Draw("whole", RECT{0, 10, 30, 13}, 0); // no subwidth: only state -1 draws
    EXPECT_EQ(kWhite, m_surface.At(0, 10));
    Draw("whole", RECT{0, 10, 30, 13}, -1);
    EXPECT_EQ(kBlue, m_surface.At(12, 10));
    EXPECT_EQ(20, Skin("whole")->GetSkinSize().cx);
}

TEST_F(SkinDrawingTest, FramesStretchEdgesCopyCornersAndFillTheCentre) {
    Draw("frame", RECT{0, 0, 12, 12}, 0);
    EXPECT_EQ(kRed, m_surface.At(1, 1));
    EXPECT_EQ(kGreen, m_surface.At(5, 1));
    EXPECT_EQ(kGreen, m_surface.At(1, 5));
    EXPECT_EQ(kBlue, m_surface.At(5, 5));
    EXPECT_EQ(kRed, m_surface.At(11, 11));
    EXPECT_EQ(kRed, m_surface.At(11, 0));

    Draw("frame_center", RECT{20, 0, 32, 12}, 0); // top and bottom only: no corner
    EXPECT_EQ(kGreen, m_surface.At(20, 0));
    EXPECT_EQ(kGreen, m_surface.At(31, 11));
    EXPECT_EQ(kWhite, m_surface.At(25, 5));

    Draw("badpart", RECT{40, 0, 52, 12}, 0); // the bad part is ignored: all parts
    EXPECT_EQ(kRed, m_surface.At(40, 0));
}

TEST_F(SkinDrawingTest, HorizontalExtensionsFollowTheElementState) {
    Draw("horz", RECT{0, 0, 30, 3}, 0x01); // hover: sub-image 1
    EXPECT_EQ(0x000000u, m_surface.At(0, 0));
    EXPECT_EQ(kGreen, m_surface.At(5, 0));
    EXPECT_EQ(kGreen, m_surface.At(27, 0));
    EXPECT_EQ(kWhite, m_surface.At(28, 0));
    Draw("horz", RECT{0, 10, 3, 13}, 0x10); // disabled: sub-image 3, widened to 20
    EXPECT_EQ(0x808080u, m_surface.At(15, 10));
    EXPECT_EQ(0, Skin("horz")->GetSkinSize().cx);
    EXPECT_EQ(3, Skin("horz")->GetSkinSize().cy);
}

TEST_F(SkinDrawingTest, ButtonsShowStateGradientsButOnlyBackgroundAndBorderWhenDisabled) {
    Draw("btn", RECT{0, 0, 20, 10}, 0x10);
    EXPECT_EQ(0x405060u, m_surface.At(0, 0));
    EXPECT_EQ(0x102030u, m_surface.At(1, 1));
    EXPECT_EQ(0x102030u, m_surface.At(10, 5));
    Draw("btn", RECT{20, 0, 40, 10}, 0x01);
    EXPECT_EQ(kRed, m_surface.At(30, 5));
    EXPECT_EQ(0x102030u, m_surface.At(21, 1)); // the 2-pixel ring keeps the background
    Draw("btn", RECT{40, 0, 60, 10}, 0x03);
    EXPECT_EQ(kBlue, m_surface.At(50, 5));
    EXPECT_FALSE(Skin("btn")->IgnoreState());
}

TEST_F(SkinDrawingTest, AVerticalGradationOfSizeTenLeavesTheRestInItsEndColour) {
    Draw("grad", RECT{0, 0, 40, 30}, 0);
    EXPECT_TRUE(Near(0x000000, m_surface.At(5, 0), 16));
    const std::uint32_t middle = m_surface.At(5, 5);
    EXPECT_TRUE(Near(0x808080, middle, 40)) << std::hex << middle;
    EXPECT_EQ(kWhite, m_surface.At(5, 12));
    EXPECT_EQ(kWhite, m_surface.At(5, 29));
    EXPECT_EQ(kWhite, m_surface.At(45, 5)); // clipped to the rectangle
    EXPECT_TRUE(Skin("grad")->IgnoreState());
}
