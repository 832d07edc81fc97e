// The slicing arithmetic of the picture skins.

#include "ui/skin/SkinSlicing.h"

#include <string>
#include <vector>

#include "tests/support/GTest.h"

namespace {

std::string Text(const Box& b) {
    return std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.w) + "x" +
           std::to_string(b.h);
}

// "dst<-src; ..." for a list of blits.
std::string Text(const std::vector<Blit>& blits) {
    std::string text;
    for (const Blit& blit : blits)
        text += Text(blit.dst) + "<-" + Text(blit.src) + "; ";
    return text;
}

} // namespace

TEST(SkinSlicing, SubImagesWrapTheStateModuloTheirCount) {
    const TwRect r = {3, 4, 100, 50};
    EXPECT_EQ("3,4 16x8<-16,0 16x8", Text(SubImageBlit(r, 64, 8, 16, 5, true).dst) + "<-" +
                                         Text(SubImageBlit(r, 64, 8, 16, 5, true).src));
    EXPECT_EQ("0,0 16x8", Text(SubImageBlit(r, 64, 8, 16, 0, true).src));
    // jpg keeps the state as it is.
    EXPECT_EQ("80,0 16x8", Text(SubImageBlit(r, 64, 8, 16, 5, false).src));
    EXPECT_EQ("3,4 10x8", Text(SubImageBlit(r, 10, 8, 0, 0, true).dst));
}

TEST(SkinSlicing, ClippingCutsTheSourceToTheImage) {
    EXPECT_EQ("4,0 6x5", Text(ClipSource(Box{4, 0, 40, 5}, 10, 5)));
    EXPECT_EQ("12,0 0x5", Text(ClipSource(Box{12, 0, 4, 5}, 10, 5)));
    EXPECT_EQ("0,3 3x2", Text(ClipSource(Box{0, 3, 3, 9}, 10, 5)));
}

TEST(SkinSlicing, ThreePiecesWithSideMarginsForPngAndTheOtherKinds) {
    PictureSlices s;
    s.marginLeft = 2;
    s.marginRight = 2;
    const TwRect r = {0, 0, 30, 10};
    EXPECT_EQ("0,0 2x4<-0,0 2x10; 2,0 26x4<-2,0 6x10; 28,0 2x4<-8,0 2x10; ",
              Text(ThreePieceBlits(r, 10, 4, s, true)));
    EXPECT_EQ("0,0 2x10<-0,0 2x10; 2,0 26x10<-2,0 6x4; 28,0 2x10<-8,0 2x10; ",
              Text(ThreePieceBlits(r, 10, 4, s, false)));
}

TEST(SkinSlicing, TopAndBottomMarginsAndLeftTopOffsets) {
    PictureSlices s;
    s.marginTop = 3;
    s.marginBottom = 2;
    s.left = 5;
    s.top = 1;
    const TwRect r = {10, 20, 50, 40};
    EXPECT_EQ("10,20 40x3<-5,1 40x3; 10,23 40x15<-5,4 20x13; 10,38 40x2<-5,16 40x2; ",
              Text(ThreePieceBlits(r, 20, 18, s, false)));
}

TEST(SkinSlicing, AMiddleTileLaysWholeTilesThenTheRest) {
    PictureSlices s;
    s.marginLeft = 2;
    s.marginRight = 2;
    s.middleTile = true;
    EXPECT_EQ("0,0 2x4<-0,0 2x4; 2,0 6x4<-2,0 6x4; 8,0 6x4<-2,0 6x4; 14,0 6x4<-2,0 6x4; "
              "20,0 6x4<-2,0 6x4; 26,0 2x4<-2,0 2x4; 28,0 2x4<-8,0 2x4; ",
              Text(ThreePieceBlits(TwRect{0, 0, 30, 4}, 10, 4, s, false)));
}

TEST(SkinSlicing, JpgPanelsSliceOneLargePictureByLeftAndTop) {
    PictureSlices s;
    s.top = 65;
    EXPECT_EQ("0,35 640x375<-0,65 640x375; ", Text(JpgPieceBlits(TwRect{0, 35, 640, 410}, 640, s)));
    s.marginLeft = 4;
    s.marginRight = 6;
    EXPECT_EQ("0,0 4x10<-0,65 4x10; 4,0 90x10<-4,65 90x10; 94,0 6x10<-634,65 6x10; ",
              Text(JpgPieceBlits(TwRect{0, 0, 100, 10}, 640, s)));
}

TEST(SkinSlicing, FramesDrawCornersOnlyWhereBothEdgesAreDrawn) {
    const FrameLayout all = FrameBlits(TwRect{0, 0, 12, 12}, 5, 5, 2, 2, FramePartMask("all"));
    EXPECT_EQ("0,0 2x2<-0,0 2x2; 10,0 2x2<-3,0 2x2; 0,10 2x2<-0,3 2x2; 10,10 2x2<-3,3 2x2; ",
              Text(all.corners));
    EXPECT_EQ("2,0 8x2<-2,0 1x2; 0,2 2x8<-0,2 2x1; 2,10 8x2<-2,3 1x2; 10,2 2x8<-3,2 2x1; ",
              Text(all.edges));
    EXPECT_EQ(2, all.centre.left);
    EXPECT_EQ(10, all.centre.bottom);

    const FrameLayout center =
        FrameBlits(TwRect{0, 0, 12, 12}, 5, 5, 2, 2, FramePartMask("center"));
    EXPECT_TRUE(center.corners.empty());
    EXPECT_EQ("0,0 12x2<-2,0 1x2; 0,10 12x2<-2,3 1x2; ", Text(center.edges));

    EXPECT_EQ(47, FramePartMask("all"));
    EXPECT_EQ(43, FramePartMask("top"));
    EXPECT_EQ(42, FramePartMask("middle"));
    EXPECT_EQ(46, FramePartMask("bottom"));
    EXPECT_EQ(15, FramePartMask("left"));
    EXPECT_EQ(7, FramePartMask("center"));
    EXPECT_EQ(39, FramePartMask("right"));
    EXPECT_EQ(-1, FramePartMask("All"));
}

TEST(SkinSlicing, HorizontalExtensionsPickTheStateAndWidenNarrowRectangles) {
    EXPECT_EQ(-1, HorzExtendSubImage(-1));
    EXPECT_EQ(0, HorzExtendSubImage(0));
    EXPECT_EQ(1, HorzExtendSubImage(0x01));
    EXPECT_EQ(2, HorzExtendSubImage(0x03));
    EXPECT_EQ(3, HorzExtendSubImage(0x13));
    EXPECT_EQ("0,0 2x3<-5,0 2x3; 2,0 26x3<-7,0 1x3; 28,0 2x3<-8,0 2x3; ",
              Text(HorzExtendBlits(TwRect{0, 0, 30, 3}, 20, 3, 5, 2, 1)));
    // Narrower than the whole strip: widened to 20.
    EXPECT_EQ("0,0 2x3<-0,0 2x3; 2,0 16x3<-2,0 1x3; 18,0 2x3<-3,0 2x3; ",
              Text(HorzExtendBlits(TwRect{0, 0, 3, 3}, 20, 3, 5, 2, 0)));
}

TEST(SkinSlicing, GradationBandsAndButtonGradients) {
    const TwRect band = GradationBand(TwRect{0, 0, 40, 30}, 10, true);
    EXPECT_EQ(10, band.bottom);
    EXPECT_EQ(40, band.right);
    EXPECT_EQ(10, GradationBand(TwRect{0, 0, 40, 30}, 10, false).right);
    EXPECT_EQ(30, GradationBand(TwRect{0, 0, 40, 30}, 0, true).bottom);
    const TwRect inner = ButtonGradientRect(TwRect{0, 0, 80, 26}, true);
    EXPECT_EQ(2, inner.left);
    EXPECT_EQ(24, inner.bottom);
    EXPECT_EQ(26, ButtonGradientRect(TwRect{0, 0, 80, 26}, false).bottom);
}
