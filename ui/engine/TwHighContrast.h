#pragma once
// Windows' high-contrast mode. While it is on, the engine draws with the
// system colours the user chose instead of the skins' pictures and colours:
// surfaces in the window colour, text in the window-text colour, buttons as
// frames, the hovered, pressed and selected parts in the highlight colours,
// links in the hot-light colour, what is unavailable in the grey-text
// colour, and pictures as marks of one colour (see InkPixels).

#include <cstdint>
#include <functional>
#include <optional>

#include <windows.h>

// Whether the mode is on: SPI_GETHIGHCONTRAST, read at first use.
bool HighContrastOn();
// Reads the setting again (on WM_SETTINGCHANGE); true when it changed.
bool RefreshHighContrast();
// The mode as given whatever Windows says (tests, the layout tool);
// nullopt follows Windows again.
void OverrideHighContrast(std::optional<bool> on);

// The parts drawn in the mode, each with its system colour.
enum class TwContrastInk {
    Surface,       // COLOR_WINDOW
    Text,          // COLOR_WINDOWTEXT
    Unavailable,   // COLOR_GRAYTEXT
    Highlight,     // COLOR_HIGHLIGHT
    HighlightText, // COLOR_HIGHLIGHTTEXT
    Link,          // COLOR_HOTLIGHT
    ButtonFace,    // COLOR_BTNFACE
    ButtonText,    // COLOR_BTNTEXT
    Frame,         // COLOR_WINDOWFRAME
};
int SystemColorIndex(TwContrastInk ink);
COLORREF ContrastColor(TwContrastInk ink);

// The ink of a text by its element's state: unavailable, on a highlight
// (hovered or pressed button, selected header), a link, or plain.
TwContrastInk TextInk(bool unavailable, bool onHighlight, bool link);

// A picture as one colour's marks. `pixels` are premultiplied blue, green,
// red, alpha words as a DIB holds them after the picture was drawn on
// nothing; a picture that left every alpha at 0 (a bitmap copied without
// blending) counts as opaque. The marks are the pixels clearly darker than
// white (text, borders, a filled box, a disc), so a white sign in a disc
// stays a hole; a picture with no such pixel (a white cross) is marked by
// its shape. Marks take `ink` with their coverage; the rest is cleared.
void InkPixels(std::uint32_t* pixels, std::size_t count, COLORREF ink);

// Draws what `draw` paints into `rect` as marks of `ink`.
void DrawAsInk(HDC dc, const RECT& rect, COLORREF ink,
               const std::function<void(HDC, const RECT&)>& draw);

// A frame `thickness` pixels wide inside `rect` in the ink's colour.
void FrameInContrast(HDC dc, const RECT& rect, TwContrastInk ink, int thickness = 1);

// A button is lit while hovered or pressed, unless it is unavailable.
bool ButtonLit(unsigned state);

// A push button in the mode: the face (the highlight when hovered or
// pressed), a frame in the button-text colour (grey when unavailable, two
// pixels when hovered). `state` holds the element state bits.
void PaintContrastButton(HDC dc, const RECT& rect, unsigned state);
