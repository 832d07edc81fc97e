// The slicing arithmetic of the picture skins, for any rectangle of window
// coordinates, any picture size and any slicing values a skins document can
// give: every piece handed to the drawing code is computed without overflow,
// and a sub-image stays inside its strip.

#include <fuzzer/FuzzedDataProvider.h>

#include "tests/fuzz/FuzzSupport.h"
#include "ui/engine/TwPosition.h"
#include "ui/skin/SkinSlicing.h"

namespace {

int Coordinate(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange<int>(kMinCoordinate, kMaxCoordinate);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const TwRect rect{Coordinate(input), Coordinate(input), Coordinate(input), Coordinate(input)};
    // Pictures are at most 16-bit in each dimension.
    const int width = input.ConsumeIntegralInRange<int>(0, 65535);
    const int height = input.ConsumeIntegralInRange<int>(0, 65535);
    PictureSlices slices;
    slices.subwidth = input.ConsumeIntegral<int>();
    slices.left = input.ConsumeIntegral<int>();
    slices.top = input.ConsumeIntegral<int>();
    slices.marginLeft = input.ConsumeIntegral<int>();
    slices.marginRight = input.ConsumeIntegral<int>();
    slices.marginTop = input.ConsumeIntegral<int>();
    slices.marginBottom = input.ConsumeIntegral<int>();
    slices.middleTile = input.ConsumeBool();
    const int state = input.ConsumeIntegral<int>();
    const int a = input.ConsumeIntegral<int>();
    const int b = input.ConsumeIntegral<int>();
    const int parts = input.ConsumeIntegral<int>();
    const int extent = input.ConsumeIntegral<int>();

    const Blit sub = SubImageBlit(rect, width, height, slices.subwidth, state, true);
    if (slices.subwidth > 0 && width / slices.subwidth > 0) {
        FUZZ_CHECK(sub.src.x >= 0);
        FUZZ_CHECK(sub.src.x + sub.src.w <= width);
    }
    SubImageBlit(rect, width, height, slices.subwidth, state, false);
    ThreePieceBlits(rect, width, height, slices, true);
    ThreePieceBlits(rect, width, height, slices, false);
    JpgPieceBlits(rect, width, slices);
    FrameBlits(rect, width, height, a, b, parts);
    HorzExtendBlits(rect, width, height, slices.subwidth, a, HorzExtendSubImage(state));
    const Box clipped = ClipSource(Box{slices.left, slices.top, a, b}, width, height);
    FUZZ_CHECK(clipped.w >= 0 && clipped.h >= 0);
    const TwRect band = GradationBand(rect, extent, input.ConsumeBool());
    FUZZ_CHECK(band.left == rect.left && band.top == rect.top);
    ButtonGradientRect(rect, true);
    return 0;
}
