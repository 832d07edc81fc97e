#pragma once
// The slicing arithmetic of the picture skins as plain functions: each gives
// the pieces to copy, destination and source boxes, and the drawing code
// only carries them out.

#include <vector>

#include "ui/core/TwGeometry.h"

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

inline bool operator==(const Box& a, const Box& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

struct Blit {
    Box dst;
    Box src;
};

// A source box cut to an image of width x height (negative sizes become 0).
Box ClipSource(const Box& source, int width, int height);

// Slicing settings of the picture kinds.
struct PictureSlices {
    int subwidth = 0;
    int left = 0;
    int top = 0;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    bool middleTile = false;
};

// One sub-image of a strip at the rectangle's top-left corner, the state taken
// modulo the number of sub-images (png, skinpng, skinjpg) when `wrapState`.
Blit SubImageBlit(const TwRect& r, int imageWidth, int imageHeight, int subwidth, int state,
                  bool wrapState);

// The three pieces (leading, middle, trailing) of png, skinpng and skinjpg;
// `pngRules` selects png's own heights for the left, right and middle pieces.
std::vector<Blit> ThreePieceBlits(const TwRect& r, int imageWidth, int imageHeight,
                                  const PictureSlices& slices, bool pngRules);

// The pieces of a jpg skin without subwidth (left, middle, right).
std::vector<Blit> JpgPieceBlits(const TwRect& r, int imageWidth, const PictureSlices& slices);

// imgframe: the parts to draw for one split column `a` and split row `b`.
inline constexpr int kFrameTop = 0x01;
inline constexpr int kFrameBottom = 0x04;
inline constexpr int kFrameLeft = 0x08;
inline constexpr int kFrameRight = 0x20;
struct FrameLayout {
    std::vector<Blit> corners; // unscaled
    std::vector<Blit> edges;   // stretched
    TwRect centre;
};
FrameLayout FrameBlits(const TwRect& r, int imageWidth, int imageHeight, int a, int b, int parts);
// The part mask of a "part" value; -1 for an unknown one.
int FramePartMask(const char* part);

// imghorzex: the sub-image a state selects (-1 stays -1; disabled 3, pushed 2,
// hover 1, else 0) and the three pieces.
int HorzExtendSubImage(int state);
std::vector<Blit> HorzExtendBlits(const TwRect& r, int imageWidth, int imageHeight, int subwidth,
                                  int a, int subImage);

// A band of a gradation: R limited to `size` along the direction when > 0.
TwRect GradationBand(const TwRect& r, int size, bool vertical);
// The gradient of a button: R less 2 pixels on each side with a border.
TwRect ButtonGradientRect(const TwRect& r, bool useBorder);
