#include "ui/skin/SkinAttributes.h"

#include <cstring>

#include "ui/core/TwNotation.h"

long ApplyPictureAttribute(PictureAttributes& picture, PictureAttributeSet set, const char* name,
                           const char* value) {
    struct Field {
        const char* name;
        int* target;
        bool jpg;
    };
    int flip = picture.flip ? 1 : 0;
    int tile = picture.slices.middleTile ? 1 : 0;
    PictureSlices& s = picture.slices;
    const Field fields[] = {
        {"src", &picture.src, true},
        {"subwidth", &s.subwidth, true},
        {"left", &s.left, true},
        {"top", &s.top, true},
        {"margin_left", &s.marginLeft, true},
        {"margin_right", &s.marginRight, true},
        {"margin_top", &s.marginTop, false},
        {"margin_bottom", &s.marginBottom, false},
        {"flip", &flip, false},
        {"middle_tile", &tile, false},
    };
    for (const Field& field : fields) {
        if (std::strcmp(name, field.name) != 0 || (set == kJpgAttributes && !field.jpg))
            continue;
        *field.target = ReadDecimal(value);
        picture.flip = flip != 0;
        s.middleTile = tile != 0;
        return kAttributeTaken;
    }
    return kAttributeUnknown;
}
