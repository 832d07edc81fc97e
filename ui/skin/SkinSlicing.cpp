#include "ui/skin/SkinSlicing.h"

#include <algorithm>
#include <cstring>

namespace {

// Documents give slicing values of any size, while pictures and window
// coordinates are 16-bit. Every value is bounded far beyond both, so that
// the sums below cannot overflow and nothing a real document gives changes.
constexpr int kSliceLimit = 1 << 24;

int Bound(int value) {
    return std::clamp(value, -kSliceLimit, kSliceLimit);
}

TwRect Bound(const TwRect& r) {
    return TwRect{Bound(r.left), Bound(r.top), Bound(r.right), Bound(r.bottom)};
}

PictureSlices Bound(const PictureSlices& s) {
    PictureSlices bounded = s;
    for (int* value : {&bounded.subwidth, &bounded.left, &bounded.top, &bounded.marginLeft,
                       &bounded.marginRight, &bounded.marginTop, &bounded.marginBottom})
        *value = Bound(*value);
    return bounded;
}

Box Bound(const Box& b) {
    return Box{Bound(b.x), Bound(b.y), Bound(b.w), Bound(b.h)};
}

} // namespace

Box ClipSource(const Box& givenSource, int givenWidth, int givenHeight) {
    const Box source = Bound(givenSource);
    const int width = Bound(givenWidth), height = Bound(givenHeight);
    Box clipped = source;
    clipped.w = std::max(0, std::min(source.w, width - source.x));
    clipped.h = std::max(0, std::min(source.h, height - source.y));
    return clipped;
}

Blit SubImageBlit(const TwRect& givenRect, int givenWidth, int givenHeight, int givenSubwidth,
                  int state, bool wrapState) {
    const TwRect r = Bound(givenRect);
    const int imageWidth = Bound(givenWidth), imageHeight = Bound(givenHeight);
    const int subwidth = Bound(givenSubwidth);
    const int w = subwidth != 0 ? subwidth : imageWidth;
    unsigned index = static_cast<unsigned>(state);
    if (wrapState && subwidth > 0) {
        const int count = imageWidth / subwidth;
        if (count > 0)
            index %= static_cast<unsigned>(count);
    }
    const int sourceX = SaturateToInt(static_cast<long long>(static_cast<int>(index)) * subwidth);
    return Blit{Box{r.left, r.top, w, imageHeight}, Box{sourceX, 0, w, imageHeight}};
}

std::vector<Blit> ThreePieceBlits(const TwRect& givenRect, int givenWidth, int givenHeight,
                                  const PictureSlices& givenSlices, bool pngRules) {
    const TwRect r = Bound(givenRect);
    const int imageWidth = Bound(givenWidth), imageHeight = Bound(givenHeight);
    const PictureSlices s = Bound(givenSlices);
    std::vector<Blit> blits;
    const int rw = RectWidth(r);
    const int rh = RectHeight(r);
    const int w = s.subwidth != 0 ? s.subwidth : imageWidth;
    const int sideHeight = pngRules ? std::min(rh, imageHeight) : rh;
    const int ml = s.marginLeft, mr = s.marginRight, mt = s.marginTop, mb = s.marginBottom;

    if (ml > 0)
        blits.push_back({Box{r.left, r.top, ml, sideHeight}, Box{s.left, s.top, ml, rh}});
    else if (mt > 0)
        blits.push_back({Box{r.left, r.top, rw, mt}, Box{s.left, s.top, rw, mt}});

    if (mt != 0 || mb != 0) {
        blits.push_back({Box{r.left + ml, r.top + mt, rw - ml - mr, rh - mt - mb},
                         Box{s.left + ml, s.top + mt, std::min(w, rw) - ml - mr,
                             std::min(imageHeight, rh) - mt - mb}});
    } else if (s.middleTile) {
        int span = rw - ml - mr;
        const int tile = imageWidth - ml - mr;
        if (span > 0 && tile > 0) {
            int x = r.left + ml;
            for (; span >= tile; span -= tile, x += tile)
                blits.push_back({Box{x, r.top, tile, rh}, Box{s.left + ml, s.top, tile, rh}});
            if (span > 0)
                blits.push_back({Box{x, r.top, span, rh}, Box{s.left + ml, s.top, span, rh}});
        }
    } else if (pngRules) {
        blits.push_back({Box{r.left + ml, r.top, rw - ml - mr, std::min(rh, imageHeight)},
                         Box{s.left + ml, s.top, std::min(w, rw) - ml - mr, rh}});
    } else {
        blits.push_back({Box{r.left + ml, r.top, rw - ml - mr, rh},
                         Box{s.left + ml, s.top, std::min(rw, w - ml - mr),
                             std::min(rh, imageHeight - s.top)}});
    }

    if (mr > 0)
        blits.push_back({Box{r.right - mr, r.top, mr, sideHeight}, Box{w - mr, s.top, mr, rh}});
    else if (mb > 0)
        blits.push_back(
            {Box{r.left, r.bottom - mb, rw, mb}, Box{s.left, imageHeight - mb, rw, mb}});
    return blits;
}

std::vector<Blit> JpgPieceBlits(const TwRect& givenRect, int givenWidth,
                                const PictureSlices& givenSlices) {
    const TwRect r = Bound(givenRect);
    const int imageWidth = Bound(givenWidth);
    const PictureSlices s = Bound(givenSlices);
    std::vector<Blit> blits;
    const int rw = RectWidth(r);
    const int rh = RectHeight(r);
    const int w = s.subwidth != 0 ? s.subwidth : imageWidth;
    const int ml = s.marginLeft, mr = s.marginRight;
    if (ml > 0)
        blits.push_back({Box{r.left, r.top, ml, rh}, Box{s.left, s.top, ml, rh}});
    blits.push_back({Box{r.left + ml, r.top, rw - ml - mr, rh},
                     Box{s.left + ml, s.top, std::min(w, rw) - ml - mr, rh}});
    if (mr > 0)
        blits.push_back({Box{r.right - mr, r.top, mr, rh}, Box{w - mr, s.top, mr, rh}});
    return blits;
}

FrameLayout FrameBlits(const TwRect& givenRect, int givenWidth, int givenHeight, int givenA,
                       int givenB, int parts) {
    const TwRect r = Bound(givenRect);
    const int bw = Bound(givenWidth), bh = Bound(givenHeight);
    const int a = Bound(givenA), b = Bound(givenB);
    const bool top = parts & kFrameTop, bottom = parts & kFrameBottom;
    const bool left = parts & kFrameLeft, right = parts & kFrameRight;
    const int rightWidth = bw - a - 1;
    const int bottomHeight = bh - b - 1;
    TwRect inner = r;
    if (left)
        inner.left += a;
    if (top)
        inner.top += b;
    if (right)
        inner.right -= rightWidth;
    if (bottom)
        inner.bottom -= bottomHeight;
    const int iw = RectWidth(inner);
    const int ih = RectHeight(inner);

    FrameLayout layout;
    layout.centre = inner;
    if (top && left)
        layout.corners.push_back({Box{r.left, r.top, a, b}, Box{0, 0, a, b}});
    if (top && right)
        layout.corners.push_back(
            {Box{inner.right, r.top, rightWidth, b}, Box{a + 1, 0, rightWidth, b}});
    if (bottom && left)
        layout.corners.push_back(
            {Box{r.left, inner.bottom, a, bottomHeight}, Box{0, b + 1, a, bottomHeight}});
    if (bottom && right)
        layout.corners.push_back({Box{inner.right, inner.bottom, rightWidth, bottomHeight},
                                  Box{a + 1, b + 1, rightWidth, bottomHeight}});
    if (top)
        layout.edges.push_back({Box{inner.left, r.top, iw, b}, Box{a, 0, 1, b}});
    if (left)
        layout.edges.push_back({Box{r.left, inner.top, a, ih}, Box{0, b, a, 1}});
    if (bottom)
        layout.edges.push_back(
            {Box{inner.left, inner.bottom, iw, bottomHeight}, Box{a, b + 1, 1, bottomHeight}});
    if (right)
        layout.edges.push_back(
            {Box{inner.right, inner.top, rightWidth, ih}, Box{a + 1, b, rightWidth, 1}});
    return layout;
}

int FramePartMask(const char* part) {
    struct Entry {
        const char* name;
        int mask;
    };
    static const Entry kParts[] = {{"all", 47},  {"top", 43},   {"middle", 42}, {"bottom", 46},
                                   {"left", 15}, {"center", 7}, {"right", 39}};
    for (const Entry& entry : kParts) {
        if (part && std::strcmp(part, entry.name) == 0)
            return entry.mask;
    }
    return -1;
}

int HorzExtendSubImage(int state) {
    if (state == -1)
        return -1;
    if (state & 0x10)
        return 3;
    if (state & 0x02)
        return 2;
    if (state & 0x01)
        return 1;
    return 0;
}

std::vector<Blit> HorzExtendBlits(const TwRect& givenRect, int givenWidth, int givenHeight,
                                  int givenSubwidth, int givenA, int subImage) {
    TwRect r = Bound(givenRect);
    const int bw = Bound(givenWidth), bh = Bound(givenHeight);
    const int subwidth = Bound(givenSubwidth), a = Bound(givenA);
    if (RectWidth(r) < bw)
        r.right = r.left + bw;
    const int rw = RectWidth(r);
    const int w = subwidth > 0 ? subwidth : bw;
    const int origin =
        subImage > 0 ? SaturateToInt(static_cast<long long>(subImage) * subwidth) : 0;
    return {
        {Box{r.left, r.top, a, bh}, Box{origin, 0, a, bh}},
        {Box{r.left + a, r.top, rw - w + 1, bh}, Box{origin + a, 0, 1, bh}},
        {Box{r.right - w + a + 1, r.top, w - a - 1, bh}, Box{origin + a + 1, 0, w - a - 1, bh}},
    };
}

TwRect GradationBand(const TwRect& r, int givenSize, bool vertical) {
    TwRect band = Bound(r);
    const int size = Bound(givenSize);
    if (size > 0) {
        if (vertical)
            band.bottom = std::min(band.bottom, band.top + size);
        else
            band.right = std::min(band.right, band.left + size);
    }
    return band;
}

TwRect ButtonGradientRect(const TwRect& r, bool useBorder) {
    if (!useBorder)
        return r;
    const TwRect b = Bound(r);
    return TwRect{b.left + 2, b.top + 2, b.right - 2, b.bottom - 2};
}
