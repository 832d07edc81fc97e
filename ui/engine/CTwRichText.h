#pragma once
// "richtext": a short paragraph of runs written as the element's own XML
// markup (text, br, b, i, u, c color=, o offset=, a id=) walked at every
// paint, wrapped at character granularity inside the element, with links
// that are never split and report clicks to the view's parent.

#include <functional>
#include <memory>
#include <vector>

#include "ui/engine/CTwWindow.h"

class TiXmlElement;

// The pen of a paragraph: where the next run starts and where lines end.
struct RichPen {
    int x = 0;
    int y = 0;
    int left = 0;
    int right = 0;
    int lineHeight = 20;
    int spacing = 0;
    void NewLine() {
        x = left;
        y += lineHeight;
    }
};

// One line's share of a text run.
struct RichPiece {
    int start;
    int length;
    int x;
    int y;
};

// Width of `length` characters of a text from `start`.
using RichMeasure = std::function<int(int start, int length)>;

// Splits a run of `count` characters into line pieces, moving the pen: each
// piece is the longest that fits between the pen and the right limit (at
// least one character), and the pen ends after the last piece plus spacing.
std::vector<RichPiece> WrapRun(int count, RichPen& pen, const RichMeasure& width);
// Moves the pen right by `offset`, down by whole lines while past the limit.
void AdvanceByOffset(RichPen& pen, int offset);

class CTwRichText : public CTwWindow {
public:
    CTwRichText();
    ~CTwRichText() override;
    const char* TagName() const override { return "richtext"; }
    int LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    void ApplyCursor() override;

    // Takes a parsed "richtext" element as the new content.
    void ReplaceMarkup(const TiXmlElement& markup);
    // The content's text as it reads, links included, without the markup.
    std::wstring PlainText() const;

    struct Link {
        std::wstring text;
        RECT rect;
        int id;
    };
    const std::vector<Link>& Links() const { return m_links; }
    // One keyboard stop per link.
    int KeyboardStops() const override { return static_cast<int>(m_links.size()); }
    RECT StopRect(int part) const override;
    bool ActivateStop(int part) override;
    long AccessibleRole() const override;
    std::wstring AccessibleName() const override { return PlainText(); }
    int HoveredLink() const { return m_hover; }

protected:
    void OnPaint(HDC dc) override;
    void OnWindowPosChanged(const WINDOWPOS& pos) override;
    void OnMouseMove(WPARAM keys, POINT point) override;
    void OnMouseLeave() override;
    void OnLButtonDown(WPARAM keys, POINT point) override;
    void OnLButtonUp(WPARAM keys, POINT point) override;

private:
    struct Walk;
    void WalkNodes(Walk& walk, const TiXmlElement& parent, unsigned fontCode);
    void TextRun(Walk& walk, const std::wstring& text);
    void LinkRun(Walk& walk, const std::wstring& text, int id);
    RichPen StartPen() const;
    void ApplyYaHeiCorrection(HDC dc);
    void ResetLayout();
    void SetHover(int index);
    int LinkAt(POINT point) const;

    std::unique_ptr<TiXmlElement> m_markup;
    std::vector<Link> m_links;
    bool m_laidOut = false;
    int m_hover = -1;
    int m_pressed = -1;
    bool m_yaheiApplied = false;
    unsigned m_defaultFont = 0;
    TwStyle m_linkLook; // font, hover font and colours of the link class
    int m_forceCursor = 0;
    int m_autoAdjustYaHei = 1;
};
