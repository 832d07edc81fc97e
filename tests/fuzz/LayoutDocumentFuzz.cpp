// Layout documents: the nesting guard never counts fewer levels than the
// parser goes down (it is what keeps a deep document from being parsed);
// a document it lets through is read into its window style, whose flags
// follow the child/popup rule, and every position in it reads, writes back
// and reads again to the same items.

#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "ui/core/TwXml.h"
#include "ui/engine/TwLayoutDocument.h"
#include "ui/engine/TwPosition.h"

namespace {

int TreeDepth(const TiXmlElement& element) {
    int deepest = 0;
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        const int depth = TreeDepth(*child);
        deepest = depth > deepest ? depth : deepest;
    }
    return deepest + 1;
}

void CheckPositions(const TiXmlElement& element) {
    if (const char* text = element.Attribute("pos")) {
        Position position;
        ParsePosition(text, position);
        if (position.count != 0) {
            Position again;
            ParsePosition(FormatPosition(position).c_str(), again);
            FUZZ_CHECK(FormatPosition(again) == FormatPosition(position));
        }
    }
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement())
        CheckPositions(*child);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int depth = XmlNestingDepth(text);
    if (depth > kMaxDocumentDepth)
        return 0;
    TiXmlDocument document;
    const bool parsed = ParseXmlText(document, text);
    const TiXmlElement* root = document.RootElement();
    if (!parsed || !root)
        return 0;
    FUZZ_CHECK(TreeDepth(*root) <= depth);

    const TwWindowStyle style = ReadWindowStyle(*root);
    if (style.IsChild())
        FUZZ_CHECK((style.style & (kWsPopup | kWsSysMenu)) == 0 && !style.resizable &&
                   style.headerDrag);
    else
        FUZZ_CHECK((style.style & kWsPopup) != 0);
    for (const TwSection section : {TwSection::Header, TwSection::Body, TwSection::Footer}) {
        Position position;
        ParsePosition(SectionPosition(section, style.height).c_str(), position);
        FUZZ_CHECK(position.count == 4);
    }
    CheckPositions(*root);
    return 0;
}
