#pragma once
// How an element's text is measured and painted with its style: the choice
// of font and colours by state, the measuring rectangle, the vertical
// correction the YaHei faces need, and the three ways of drawing (GDI+,
// a shadow through comctl32, DrawText).

#include <string>
#include <vector>

#include <windows.h>

#include "ui/engine/TwStyle.h"

// What an element gives of itself for its text.
struct TextSubject {
    const TwStyle* style = nullptr; // its class (the default style when none)
    HFONT ownFont = nullptr;        // its own font attribute
    COLORREF ownText = kNoColor;    // its own crtext
    COLORREF ownBackground = kNoColor;
    bool disabled = false; // itself or an ancestor
    bool hovered = false;
    bool onHighlight = false; // high contrast: drawn on the highlight colour
    // Nearest ancestor first: each ancestor's own font and style, for measuring.
    std::vector<std::pair<HFONT, const TwStyle*>> ancestors;
};

// The font and colours chosen for painting.
struct TextLook {
    HFONT font = nullptr;
    COLORREF text = kNoColor;
    COLORREF background = kNoColor;
    bool transparent = false; // the style has a skin
};

TextLook ChooseTextLook(const TextSubject& subject);

// Selects a look's background mode or colour, font and text colour into a
// device context for as long as it lives.
class ScopedTextLook {
public:
    ScopedTextLook(HDC dc, const TextLook& look);
    ~ScopedTextLook() { RestoreDC(m_dc, m_saved); }
    ScopedTextLook(const ScopedTextLook&) = delete;
    ScopedTextLook& operator=(const ScopedTextLook&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
// The font for measuring, walking up through the ancestors; font code 0 when
// nothing gives one.
HFONT MeasuringFont(const TextSubject& subject);

// The text's size in `available` (shrunk by the style margins, alignment bits
// dropped, word-wrapped text unbounded below) plus twice the margins.
SIZE MeasureElementText(const std::wstring& text, const TextSubject& subject,
                        const RECT& available);

// The rectangle moved for the YaHei faces (d = base height - font height).
RECT YaHeiCorrected(const RECT& rect, unsigned textMode, int baseHeight, int fontHeight);

// Paints the text into the element rectangle with the element's text mode
// (0: the style's). The device context is restored afterwards.
void PaintElementText(HDC dc, const std::wstring& text, const RECT& elementRect,
                      const TextSubject& subject, unsigned textMode);
