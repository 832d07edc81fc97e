#include "ui/engine/TwLayoutDocument.h"

#include <cstdio>
#include <cstring>

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
        record.title = title;
    if (const char* focus = layer.Attribute("focuscolor"))
        record.focusColor = ReadColor(focus);
    record.width = IntAttribute(layer, "width");
    record.height = IntAttribute(layer, "height");
    record.minWidth = IntAttribute(layer, "min_width");
    record.minHeight = IntAttribute(layer, "min_height");
    if (IntAttribute(layer, "appwin"))
        record.exStyle |= kWsExAppWindow;
    if (IntAttribute(layer, "child")) {
        // A child window never resizes, never holds its size and keeps
        // header dragging on.
        record.style &= ~static_cast<std::uint32_t>(kWsPopup | kWsSysMenu);
        record.style |= kWsChild | kWsClipSiblings | kWsClipChildren;
        return record;
    }
    record.holdSize = IntAttribute(layer, "holdsize") != 0;
    record.resizable = IntAttribute(layer, "resize") != 0;
    record.style |=
        record.resizable ? (kWsMinimizeBox | kWsMaximizeBox | kWsThickFrame) : kWsMinimizeBox;
    record.exStyle |= IntAttribute(layer, "noborder") ? (kWsExTopmost | kWsExToolWindow)
                                                      : (kWsExWindowEdge | kWsExClientEdge);
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
