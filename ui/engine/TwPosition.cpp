#include "ui/engine/TwPosition.h"

#include <algorithm>
#include <cstring>

#include "ui/engine/TwNotation.h"

int ParsePosition(const char* text, Position& position) {
    if (!text || *text == '\0')
        return 1;
    int count = 0;
    std::size_t start = 0;
    const std::size_t length = std::strlen(text);
    while (count < 4) {
        const char* comma = std::strchr(text + start, ',');
        PositionItem& item = position.items[count];
        item.center = start < length && text[start] == '|';
        if (item.center)
            ++start;
        item.minus = start < length && text[start] == '-';
        if (item.minus)
            ++start;
        item.n = ReadDecimal(text + std::min(start, length));
        ++count;
        if (!comma)
            break;
        start = static_cast<std::size_t>(comma - text) + 1;
    }
    if (count == 2 || count == 4) {
        position.count = count;
        position.widthMode = SizeMode::Content;
        position.heightMode = SizeMode::Content;
    } else {
        position.count = 0;
    }
    return 1;
}

int ResolveItem(const PositionItem& item, int extent) {
    if (item.center)
        return item.minus ? extent / 2 - item.n : extent / 2 + item.n;
    return item.minus ? extent - item.n : item.n;
}

std::string FormatPosition(const Position& position) {
    std::string text;
    for (int i = 0; i < position.count; ++i) {
        if (i != 0)
            text += ',';
        const PositionItem& item = position.items[i];
        if (item.center)
            text += '|';
        if (item.minus)
            text += '-';
        text += std::to_string(item.n);
    }
    return text;
}

RECT InnerRect(const RECT& rect, int xMargin, int yMargin) {
    return RECT{rect.left + xMargin, rect.top + yMargin, rect.right - xMargin,
                rect.bottom - yMargin};
}

ChildPlacement PlaceInInner(const Position& position, const RECT& inner) {
    const int width = inner.right - inner.left;
    const int height = inner.bottom - inner.top;
    return ChildPlacement{inner.left + ResolveItem(position.items[0], width),
                          inner.top + ResolveItem(position.items[1], height), width, height};
}

SIZE FourValueSize(const Position& position, int cx, int cy) {
    return SIZE{ResolveItem(position.items[2], cx) - ResolveItem(position.items[0], cx),
                ResolveItem(position.items[3], cy) - ResolveItem(position.items[1], cy)};
}

RECT FinalRect(const Position& position, const ChildPlacement& placement, SIZE measured) {
    RECT rect{placement.x, placement.y, placement.x + measured.cx, placement.y + measured.cy};
    if (position.widthMode == SizeMode::Full)
        rect.right = std::max(rect.left, placement.x + placement.cx);
    else if (position.widthMode == SizeMode::Fixed)
        rect.right = rect.left + position.fixedWidth;
    if (position.heightMode == SizeMode::Full)
        rect.bottom = std::max(rect.top, placement.y + placement.cy);
    else if (position.heightMode == SizeMode::Fixed)
        rect.bottom = rect.top + position.fixedHeight;
    return rect;
}
