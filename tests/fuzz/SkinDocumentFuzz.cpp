// Skins documents in up to four copies: each name is taken once, with a kind
// the factory knows; the picture kinds' slicing attributes are read as the
// kinds read them and the pieces they give are computed for a window-sized
// rectangle.

#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzDocuments.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/core/TwNotation.h"
#include "ui/core/TwXml.h"
#include "ui/skin/SkinAttributes.h"
#include "ui/skin/SkinDocument.h"
#include "ui/skin/SkinSlicing.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::vector<std::string> copies = DocumentCopies(data, size);
    std::set<std::string> names;
    ReadSkinDefinitions(
        copies, [](const std::string& name) { return name == "held"; },
        [&](int kind, const std::string& name, const TiXmlElement& element) {
            FUZZ_CHECK(kind >= 0 && kind < kSkinKindCount);
            FUZZ_CHECK(SkinKindOf(element.Value()) == kind);
            FUZZ_CHECK(name != "held" && names.insert(name).second);
            const PictureAttributeSet set =
                std::string(element.Value()) == "jpg" ? kJpgAttributes : kFullPictureAttributes;
            PictureAttributes picture;
            for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute;
                 attribute = attribute->Next()) {
                const long result =
                    ApplyPictureAttribute(picture, set, attribute->Name(), attribute->Value());
                FUZZ_CHECK(result == kAttributeTaken || result == kAttributeUnknown);
                FramePartMask(attribute->Value());
                ReadColor(attribute->Value());
            }
            const TwRect rect{0, 0, 640, 410};
            ThreePieceBlits(rect, 200, 40, picture.slices, set == kFullPictureAttributes);
            JpgPieceBlits(rect, 640, picture.slices);
            SubImageBlit(rect, 200, 40, picture.slices.subwidth, 3, true);
        });
    return 0;
}
