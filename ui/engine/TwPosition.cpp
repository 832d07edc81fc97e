#include "ui/engine/TwPosition.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "ui/core/TwNotation.h"

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

namespace {

// Rectangles are kept within the 16-bit range of window coordinates, so
// that no drawing loops over an absurd rectangle a layout may give.
int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, kMinCoordinate, kMaxCoordinate));
}

} // namespace

int ResolveItem(const PositionItem& item, int extent) {
    const long long base = item.center ? extent / 2 : (item.minus ? extent : 0);
    return SaturateToInt(item.minus ? base - item.n : base + item.n);
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
        // A negative value without the minus mark (the text gave it past the
        // int range) is written as the number that reads back to it: the
        // reader wraps as the platform's does.
        if (item.n < 0 && !item.minus)
            text += std::to_string(static_cast<unsigned>(item.n));
        else
            text += std::to_string(item.n);
    }
    return text;
}

TwRect InnerRect(const TwRect& rect, int xMargin, int yMargin) {
    const long long x = xMargin;
    const long long y = yMargin;
    return TwRect{SaturateToInt(rect.left + x), SaturateToInt(rect.top + y),
                  SaturateToInt(rect.right - x), SaturateToInt(rect.bottom - y)};
}

ChildPlacement PlaceInInner(const Position& position, const TwRect& inner) {
    const int width = SaturateToInt(static_cast<long long>(inner.right) - inner.left);
    const int height = SaturateToInt(static_cast<long long>(inner.bottom) - inner.top);
    return ChildPlacement{
        SaturateToInt(static_cast<long long>(inner.left) + ResolveItem(position.items[0], width)),
        SaturateToInt(static_cast<long long>(inner.top) + ResolveItem(position.items[1], height)),
        width, height};
}

TwSize FourValueSize(const Position& position, int cx, int cy) {
    return TwSize{SaturateToInt(static_cast<long long>(ResolveItem(position.items[2], cx)) -
                                ResolveItem(position.items[0], cx)),
                  SaturateToInt(static_cast<long long>(ResolveItem(position.items[3], cy)) -
                                ResolveItem(position.items[1], cy))};
}

TwRect FinalRect(const Position& position, const ChildPlacement& placement, TwSize measured) {
    const long long left = placement.x;
    const long long top = placement.y;
    long long right = left + measured.cx;
    long long bottom = top + measured.cy;
    if (position.widthMode == SizeMode::Full)
        right = std::max(left, left + placement.cx);
    else if (position.widthMode == SizeMode::Fixed)
        right = left + position.fixedWidth;
    if (position.heightMode == SizeMode::Full)
        bottom = std::max(top, top + placement.cy);
    else if (position.heightMode == SizeMode::Fixed)
        bottom = top + position.fixedHeight;
    return TwRect{Clamped(left), Clamped(top), Clamped(right), Clamped(bottom)};
}
