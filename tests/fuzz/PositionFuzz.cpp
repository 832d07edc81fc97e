// The position language: any text parsed, written back and parsed again to
// the same items, then placed in a rectangle of window coordinates with any
// margins; the final rectangle stays in the window coordinate range.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "ui/engine/TwPosition.h"

namespace {

bool SameItems(const Position& a, const Position& b) {
    if (a.count != b.count)
        return false;
    for (int i = 0; i < a.count; ++i) {
        if (a.items[i].center != b.items[i].center || a.items[i].minus != b.items[i].minus ||
            a.items[i].n != b.items[i].n)
            return false;
    }
    return true;
}

int Coordinate(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange<int>(kMinCoordinate, kMaxCoordinate);
}

bool InRange(int value) {
    return value >= kMinCoordinate && value <= kMaxCoordinate;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const TwRect rect{Coordinate(input), Coordinate(input), Coordinate(input), Coordinate(input)};
    const int xMargin = input.ConsumeIntegral<int>();
    const int yMargin = input.ConsumeIntegral<int>();
    const TwSize measured{input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>()};
    const int mode = input.ConsumeIntegralInRange<int>(0, 8);
    const int fixedWidth = input.ConsumeIntegral<int>();
    const int fixedHeight = input.ConsumeIntegral<int>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    Position position;
    FUZZ_CHECK(ParsePosition(text.c_str(), position) == 1);
    FUZZ_CHECK(position.count == 0 || position.count == 2 || position.count == 4);
    if (position.count != 0) {
        Position again;
        ParsePosition(FormatPosition(position).c_str(), again);
        FUZZ_CHECK(SameItems(position, again));
    }

    position.widthMode = static_cast<SizeMode>(mode % 3);
    position.heightMode = static_cast<SizeMode>(mode / 3);
    position.fixedWidth = fixedWidth;
    position.fixedHeight = fixedHeight;
    const ChildPlacement placement = PlaceInInner(position, InnerRect(rect, xMargin, yMargin));
    const TwSize given =
        position.count == 4 ? FourValueSize(position, placement.cx, placement.cy) : measured;
    const TwRect final = FinalRect(position, placement, given);
    FUZZ_CHECK(InRange(final.left) && InRange(final.top) && InRange(final.right) &&
               InRange(final.bottom));
    return 0;
}
