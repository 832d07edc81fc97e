#include "ui/engine/TwLayoutDocument.h"

#include <cstdio>
#include <cstring>

#include "common/TextConvert.h"
#include "ui/core/TwNotation.h"
#include "ui/core/TwXml.h"

namespace {

int IntAttribute(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value ? ReadDecimal(value) : 0;
}

} // namespace

TwWindowStyle ReadWindowStyle(const TiXmlElement& layer) {
    TwWindowStyle record;
    if (const char* frame = layer.Attribute("frame"))
        record.frame = frame;
    if (const char* title = layer.Attribute("title"))
        record.title = Utf8ToWide(title);
    record.width = IntAttribute(layer, "width");
    record.height = IntAttribute(layer, "height");
    record.minWidth = IntAttribute(layer, "min_width");
    record.minHeight = IntAttribute(layer, "min_height");
    if (IntAttribute(layer, "appwin"))
        record.exStyle |= WS_EX_APPWINDOW;
    if (IntAttribute(layer, "child")) {
        // A child window never resizes, never holds its size and keeps
        // header dragging on.
        record.style &= ~static_cast<DWORD>(WS_POPUP | WS_SYSMENU);
        record.style |= WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        return record;
    }
    record.holdSize = IntAttribute(layer, "holdsize") != 0;
    record.resizable = IntAttribute(layer, "resize") != 0;
    record.style |=
        record.resizable ? (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME) : WS_MINIMIZEBOX;
    record.exStyle |= IntAttribute(layer, "noborder") ? (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)
                                                      : (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE);
    if (IntAttribute(layer, "nomove"))
        record.headerDrag = false;
    return record;
}

std::string SectionPosition(TwSection section, int height) {
    char text[48];
    switch (section) {
    case TwSection::Header:
        std::snprintf(text, sizeof text, "0,0,-0,%d", height);
        break;
    case TwSection::Footer:
        std::snprintf(text, sizeof text, "0,-%d,-0,-0", height);
        break;
    case TwSection::Body:
        return "0,0,-0,-0";
    }
    return text;
}

int XmlNestingDepth(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    std::size_t i = 0;
    const auto skipPast = [&](const char* end) {
        const std::size_t found = text.find(end, i);
        i = found == std::string::npos ? text.size() : found + std::strlen(end);
    };
    while (i < text.size()) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            skipPast("-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            skipPast("]]>");
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            skipPast(">");
        } else if (text.compare(i, 2, "</") == 0) {
            depth = depth > 0 ? depth - 1 : 0;
            skipPast(">");
        } else {
            // An opening tag: find its end outside quoted values.
            char quote = 0;
            std::size_t j = i + 1;
            for (; j < text.size(); ++j) {
                const char c = text[j];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            const bool selfClosing = j < text.size() && j > i + 1 && text[j - 1] == '/';
            if (!selfClosing && ++depth > deepest)
                deepest = depth;
            i = j + 1;
        }
    }
    return deepest;
}
