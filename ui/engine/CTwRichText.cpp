#include "ui/engine/CTwRichText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/GdiObjects.h"
#include "common/TextConvert.h"
#include "ui/core/TwGeometryWin32.h"
#include "ui/engine/TwFontPool.h"
#include "ui/core/TwNotation.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/core/TwXml.h"

namespace {

bool SameTag(const char* tag, const char* known) {
    return tag && lstrcmpiA(tag, known) == 0;
}

int TextWidth(HDC dc, const wchar_t* text, int length) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &size);
    return size.cx;
}

} // namespace

std::vector<RichPiece> WrapRun(int count, RichPen& pen, const RichMeasure& width) {
    std::vector<RichPiece> pieces;
    int start = 0;
    while (start < count) {
        int length = count - start;
        while (length > 1 && pen.x + width(start, length) > pen.right)
            --length;
        pieces.push_back(RichPiece{start, length, pen.x, pen.y});
        if (start + length == count) {
            pen.x += width(start, length) + pen.spacing;
            break;
        }
        pen.NewLine();
        start += length;
    }
    return pieces;
}

void AdvanceByOffset(RichPen& pen, int offset) {
    pen.x += offset;
    const int line = pen.right - pen.left;
    while (pen.x > pen.right && line > 0) {
        const int beyond = pen.x - pen.right;
        pen.NewLine();
        pen.x = pen.left + beyond;
    }
}

// One pass over the markup: drawing (with a device context that shows) or
// measuring only.
struct CTwRichText::Walk {
    HDC dc;
    bool draw;
    RichPen pen;
    int widest = 0; // the paragraph's extent from the left margin
};

CTwRichText::CTwRichText() = default;
CTwRichText::~CTwRichText() = default;

int CTwRichText::LoadFromXml(const TiXmlElement* element) {
    if (!CTwWindow::LoadFromXml(element))
        return 0;
    m_markup.reset(static_cast<TiXmlElement*>(element->Clone()));
    return 1;
}

HRESULT CTwRichText::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "defaultfont") == 0) {
        m_defaultFont = ReadHex(value);
        return S_OK;
    }
    if (std::strcmp(name, "linkclass") == 0) {
        const TwStyle& style = GetStyle(value);
        m_linkLook.font = style.font;
        m_linkLook.hoverFont = style.hoverFont;
        m_linkLook.colors.crtext = style.colors.crtext;
        m_linkLook.colors.crhover = style.colors.crhover;
        m_linkLook.colors.crdisabled = style.colors.crdisabled;
        return S_OK;
    }
    int adjusted = 0;
    const HRESULT own = ApplyIntAttribute(name, value,
                                          {{"forcecursor", &m_forceCursor},
                                           {"autoadjustyahei", &m_autoAdjustYaHei},
                                           {"adjustpos", &adjusted}});
    if (own == S_OK && std::strcmp(name, "adjustpos") == 0)
        m_yaheiApplied = adjusted != 0;
    return own;
}

void CTwRichText::ReplaceMarkup(const TiXmlElement& markup) {
    m_markup.reset(static_cast<TiXmlElement*>(markup.Clone()));
    m_links.clear();
    m_laidOut = false;
    m_hover = -1;
}

void CTwRichText::ResetLayout() {
    m_links.clear();
    m_laidOut = false;
    m_hover = -1;
    m_pressed = -1;
    m_yaheiApplied = false;
}

void CTwRichText::OnWindowPosChanged(const WINDOWPOS& pos) {
    CTwWindow::OnWindowPosChanged(pos);
    ResetLayout();
}

RichPen CTwRichText::StartPen() const {
    const TwStyle& style = Style();
    RichPen pen;
    pen.left = pen.x = Rect().left + style.xMargin;
    pen.y = Rect().top + style.yMargin;
    pen.right = Rect().right - style.xMargin;
    pen.lineHeight = style.lineSpacing;
    pen.spacing = style.spacing;
    return pen;
}

void CTwRichText::TextRun(Walk& walk, const std::wstring& text) {
    const wchar_t* chars = text.c_str();
    const RichMeasure width = [&](int start, int length) {
        return TextWidth(walk.dc, chars + start, length);
    };
    for (const RichPiece& piece : WrapRun(static_cast<int>(text.size()), walk.pen, width)) {
        if (walk.draw)
            TextOutW(walk.dc, piece.x, piece.y, chars + piece.start, piece.length);
        walk.widest =
            std::max(walk.widest, piece.x + width(piece.start, piece.length) - walk.pen.left);
    }
}

void CTwRichText::LinkRun(Walk& walk, const std::wstring& text, int id) {
    HFONT font = m_linkLook.font ? m_linkLook.font : TwFontPool::Instance().GetFont(0);
    ScopedSelect selected(walk.dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(walk.dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (walk.pen.x + size.cx > walk.pen.right)
        walk.pen.NewLine();
    const RECT rect = {walk.pen.x, walk.pen.y, walk.pen.x + size.cx, walk.pen.y + size.cy};
    if (walk.draw && !m_laidOut)
        m_links.push_back(Link{text, rect, id});
    walk.widest = std::max(walk.widest, static_cast<int>(rect.right - walk.pen.left));
    walk.pen.x = rect.right + walk.pen.spacing;
}

namespace {

void AppendText(const TiXmlNode& parent, std::wstring& text) {
    for (const TiXmlNode* node = parent.FirstChild(); node; node = node->NextSibling()) {
        if (const TiXmlText* run = node->ToText())
            text += Utf8ToWide(run->Value());
        else if (node->ToElement())
            AppendText(*node, text);
    }
}

} // namespace

std::wstring CTwRichText::PlainText() const {
    std::wstring text;
    if (m_markup)
        AppendText(*m_markup, text);
    return text;
}

void CTwRichText::WalkNodes(Walk& walk, const TiXmlElement& parent, unsigned fontCode) {
    for (const TiXmlNode* node = parent.FirstChild(); node; node = node->NextSibling()) {
        if (const TiXmlText* text = node->ToText()) {
            TextRun(walk, Utf8ToWide(text->Value()));
            continue;
        }
        const TiXmlElement* element = node->ToElement();
        if (!element)
            continue;
        const char* tag = element->Value();
        if (SameTag(tag, "br")) {
            walk.pen.NewLine();
        } else if (SameTag(tag, "b") || SameTag(tag, "i") || SameTag(tag, "u")) {
            const unsigned flag = SameTag(tag, "b")   ? kFontBold
                                  : SameTag(tag, "i") ? kFontItalic
                                                      : kFontUnderline;
            const unsigned code = fontCode | flag;
            ScopedSelect font(walk.dc, TwFontPool::Instance().GetFont(code));
            WalkNodes(walk, *element, code);
        } else if (SameTag(tag, "c")) {
            const char* color = element->Attribute("color");
            // High contrast keeps one text colour: the user's.
            const COLORREF previous = color && !HighContrastOn()
                                          ? SetTextColor(walk.dc, ReadColor(color))
                                          : GetTextColor(walk.dc);
            WalkNodes(walk, *element, fontCode);
            SetTextColor(walk.dc, previous);
        } else if (SameTag(tag, "o")) {
            const char* offset = element->Attribute("offset");
            AdvanceByOffset(walk.pen, offset ? static_cast<int>(ReadHex(offset)) : 0);
        } else if (SameTag(tag, "a")) {
            const TiXmlNode* first = element->FirstChild();
            const TiXmlText* text = first ? first->ToText() : nullptr;
            const char* id = element->Attribute("id");
            LinkRun(walk, text ? Utf8ToWide(text->Value()) : std::wstring(),
                    id ? ReadDecimal(id) : 0);
        } else {
            WalkNodes(walk, *element, fontCode);
        }
    }
}

void CTwRichText::ApplyYaHeiCorrection(HDC dc) {
    TwFontPool& pool = TwFontPool::Instance();
    if (!m_autoAdjustYaHei || m_yaheiApplied || !pool.BaseIsYaHei())
        return;
    LOGFONTW font = {};
    GetObjectW(pool.GetFont(m_defaultFont), sizeof font, &font);
    (void)dc;
    const int d = pool.BaseHeight() - font.lfHeight;
    const unsigned mode = Style().textMode;
    RECT rect = Rect();
    if (mode & DT_BOTTOM) {
        OffsetRect(&rect, 0, -(3 * d + 3));
        const int need = std::abs(pool.BaseHeight()) + 3 * d + 4;
        if (rect.bottom - rect.top < need)
            rect.bottom += need - (rect.bottom - rect.top);
    } else if (!(mode & DT_VCENTER)) {
        OffsetRect(&rect, 0, -(3 * d + 3));
    }
    SetRect(rect);
    m_yaheiApplied = true;
}

void CTwRichText::OnPaint(HDC dc) {
    if (!m_markup)
        return;
    const int saved = SaveDC(dc);
    SelectObject(dc, TwFontPool::Instance().GetFont(m_defaultFont));
    SetBkMode(dc, TRANSPARENT);
    const TextLook look = ChooseTextLook(MakeTextSubject());
    if (look.text != kNoColor)
        SetTextColor(dc, look.text);
    ApplyYaHeiCorrection(dc);
    const TwStyle& style = Style();
    const TwRect inner = InnerRect(ToTwRect(Rect()), style.xMargin, style.yMargin);
    IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);

    Walk walk{dc, true, StartPen()};
    if (style.textMode & DT_CENTER) {
        Walk measure{dc, false, StartPen()};
        WalkNodes(measure, *m_markup, m_defaultFont);
        walk.pen.x += std::max(0, (walk.pen.right - walk.pen.left - measure.widest) / 2);
    }
    WalkNodes(walk, *m_markup, m_defaultFont);
    m_laidOut = true;

    for (std::size_t i = 0; i < m_links.size(); ++i) {
        const bool hovered = static_cast<int>(i) == m_hover;
        HFONT font = hovered && m_linkLook.hoverFont ? m_linkLook.hoverFont : m_linkLook.font;
        COLORREF color = m_linkLook.colors.crtext;
        if (IsDisabled())
            color = m_linkLook.colors.crdisabled;
        else if (hovered && m_linkLook.colors.crhover != kNoColor)
            color = m_linkLook.colors.crhover;
        if (HighContrastOn())
            color = ContrastColor(TextInk(IsDisabled(), false, true));
        ScopedSelect selected(dc, font ? font : TwFontPool::Instance().GetFont(0));
        if (color != kNoColor)
            SetTextColor(dc, color);
        const Link& link = m_links[i];
        TextOutW(dc, link.rect.left, link.rect.top, link.text.c_str(),
                 static_cast<int>(link.text.size()));
    }
    RestoreDC(dc, saved);
}

int CTwRichText::LinkAt(POINT point) const {
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        if (PtInRect(&m_links[i].rect, point))
            return static_cast<int>(i);
    }
    return -1;
}

void CTwRichText::SetHover(int index) {
    if (index == m_hover)
        return;
    if (m_hover >= 0 && m_hover < static_cast<int>(m_links.size()))
        RequestRepaintRect(m_links[static_cast<std::size_t>(m_hover)].rect);
    m_hover = index;
    if (index >= 0)
        RequestRepaintRect(m_links[static_cast<std::size_t>(index)].rect);
}

void CTwRichText::OnMouseMove(WPARAM keys, POINT point) {
    CTwWindow::OnMouseMove(keys, point);
    SetHover(LinkAt(point));
}

void CTwRichText::OnMouseLeave() {
    CTwWindow::OnMouseLeave();
    SetHover(-1);
}

void CTwRichText::OnLButtonDown(WPARAM keys, POINT point) {
    CTwWindow::OnLButtonDown(keys, point);
    m_pressed = m_hover;
}

void CTwRichText::OnLButtonUp(WPARAM keys, POINT point) {
    CTwWindow::OnLButtonUp(keys, point);
    const int pressed = m_pressed;
    m_pressed = -1;
    if (pressed >= 0 && pressed == m_hover)
        ActivateStop(pressed);
}

void CTwRichText::ApplyCursor() {
    const bool hand = m_forceCursor || m_hover >= 0;
    SetCursor(LoadCursorW(nullptr, hand ? IDC_HAND : IDC_ARROW));
}

RECT CTwRichText::StopRect(int part) const {
    if (part < 0 || part >= static_cast<int>(m_links.size()))
        return Rect();
    return m_links[static_cast<std::size_t>(part)].rect;
}

bool CTwRichText::ActivateStop(int part) {
    if (part < 0 || part >= static_cast<int>(m_links.size()))
        return false;
    // From the view, which hands it on to its parent as its own click.
    TwItemNotify record = {};
    record.itemId = m_links[static_cast<std::size_t>(part)].id;
    record.tag = "richtext";
    SendToHost(record, kTwClick);
    return true;
}
