#include "ui/engine/CWHRoundRectFrameHelper.h"

#include "common/GdiObjects.h"

HRGN CreateCutCornerRegion(int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    HRGN region = CreateRectRgn(0, 0, width, height);
    // Row r from the corner loses 3 - r pixels.
    for (int row = 0; row < 3; ++row) {
        const int cut = 3 - row;
        const RECT pieces[] = {{0, row, cut, row + 1},
                               {width - cut, row, width, row + 1},
                               {0, height - 1 - row, cut, height - row},
                               {width - cut, height - 1 - row, width, height - row}};
        for (const RECT& piece : pieces) {
            UniqueRegion cutOut(CreateRectRgnIndirect(&piece));
            CombineRgn(region, region, cutOut.Get(), RGN_DIFF);
        }
    }
    return region;
}
