#pragma once
// The position language of the layouts: "4,8", "-20,8", "|0,|0,|20,|20",
// "0,35,-0,-0". Each value is measured from the left/top edge, from the
// right/bottom edge (leading "-") or from the centre (leading "|") of the
// parent's inner rectangle; two values give the top-left corner, four the
// whole rectangle. Plain data and pure functions: the element tree calls them.

#include <string>

#include "ui/core/TwGeometry.h"

struct PositionItem {
    bool center = false;
    bool minus = false;
    int n = 0;
};

// How a dimension is sized when the position does not give it.
enum class SizeMode { Content, Fixed, Full };

struct Position {
    int count = 0; // 0 (no valid position), 2 or 4
    PositionItem items[4];
    SizeMode widthMode = SizeMode::Content;
    SizeMode heightMode = SizeMode::Content;
    int fixedWidth = 0;
    int fixedHeight = 0;
};

// Parses a position text into `position`; an empty text changes nothing.
// A valid 2- or 4-value position sets both size modes to content; any other
// number of values leaves count 0 (the items read stay stored). Returns 1.
int ParsePosition(const char* text, Position& position);

// The offset of one item against an extent (integer arithmetic, division
// truncating toward zero): N, E - N, E / 2 + N or E / 2 - N.
int ResolveItem(const PositionItem& item, int extent);

// Writes a position back as text ("0,35,-0,-0").
std::string FormatPosition(const Position& position);

// `rect` shrunk by the margins on both sides.
TwRect InnerRect(const TwRect& rect, int xMargin, int yMargin);

// Where a container places a child: the child's top-left corner from items
// 0 and 1, and the offered size (the inner size).
struct ChildPlacement {
    int x;
    int y;
    int cx;
    int cy;
};
ChildPlacement PlaceInInner(const Position& position, const TwRect& inner);

// The size a four-value position gives for an offered size.
TwSize FourValueSize(const Position& position, int cx, int cy);

// The element's final rectangle: at (x, y) with the measured size, then the
// full and fixed size modes applied against the offered cx, cy; each
// coordinate clamped to the window coordinate range.
TwRect FinalRect(const Position& position, const ChildPlacement& placement, TwSize measured);
inline constexpr int kMinCoordinate = -32768;
inline constexpr int kMaxCoordinate = 32767;
