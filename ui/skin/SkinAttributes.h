#pragma once
// Attribute readers shared by the skin kinds.

#include <string>

#include "ui/core/CTwObject.h"
#include "ui/skin/SkinSlicing.h"

// The slicing attributes of the picture kinds: src, subwidth, left, top,
// margin_left/right/top/bottom, middle_tile, flip. `allowed` limits the
// names (jpg takes fewer). kAttributeUnknown (E_FAIL) for other names.
struct PictureAttributes {
    int src = 0;
    PictureSlices slices;
    bool flip = false;
};
enum PictureAttributeSet { kJpgAttributes, kFullPictureAttributes };
long ApplyPictureAttribute(PictureAttributes& picture, PictureAttributeSet set, const char* name,
                           const char* value);
