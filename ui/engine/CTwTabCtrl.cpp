#include "ui/engine/CTwTabCtrl.h"

#include <cstring>

#include "common/GdiObjects.h"
#include "common/TextConvert.h"
#include "ui/core/TwGeometryWin32.h"
#include "ui/engine/CTwSkinnedElement.h"
#include "ui/engine/TwFontPool.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/core/TwNotation.h"
#include "ui/core/TwXml.h"

namespace {

constexpr UINT kTitleMode =
    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_TABSTOP | DT_NOPREFIX | DT_END_ELLIPSIS; // 0x88A5

} // namespace

HRESULT CTwTab::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwDialog::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "title") == 0) {
        m_title = Utf8ToWide(value);
        return S_OK;
    }
    return ApplyIntAttribute(name, value, {{"hide", &m_hide}});
}

RECT TabHeaderRect(const TabStrip& strip, const RECT& control, int slot) {
    const int width = strip.tabWidth != 0 ? strip.tabWidth : strip.skin.cx;
    const int height = strip.tabHeight != 0 ? strip.tabHeight : strip.skin.cy;
    RECT rect = {control.left, control.top, control.left + width, control.top + height};
    if (strip.vertical)
        OffsetRect(&rect, 0, (strip.tabHeight + strip.spacing) * slot + strip.tabPos);
    else
        OffsetRect(&rect, (strip.tabWidth + strip.spacing) * slot + strip.tabPos, 0);
    return rect;
}

HRESULT CTwTabCtrl::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwContainerWnd::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    const auto is = [name](const char* known) { return std::strcmp(name, known) == 0; };
    if (is("tabskin"))
        m_tabSkin = value;
    else if (is("frameskin"))
        m_frameSkin = value;
    else if (is("iconskin"))
        m_iconSkin = value;
    else if (is("splitterskin"))
        m_splitterSkin = value;
    else if (is("tabtext"))
        m_tabText = ReadColor(value);
    else if (is("Selfont"))
        m_selFont = TwFontPool::Instance().GetFont(ReadHex(value));
    else if (is("tabalign")) {
        if (std::strcmp(value, "top") != 0 && std::strcmp(value, "left") != 0)
            return E_FAIL;
        m_strip.vertical = std::strcmp(value, "left") == 0;
    } else {
        return ApplyIntAttribute(name, value,
                                 {{"cursel", &m_current},
                                  {"tabwidth", &m_strip.tabWidth},
                                  {"tabheight", &m_strip.tabHeight},
                                  {"tabpos", &m_strip.tabPos},
                                  {"tabspacing", &m_strip.spacing},
                                  {"framepos", &m_framePos},
                                  {"vertfont", &m_vertFont},
                                  {"icon-x", &m_iconX},
                                  {"icon-y", &m_iconY},
                                  {"text-x", &m_textX},
                                  {"text-y", &m_textY}});
    }
    return S_OK;
}

int CTwTabCtrl::LoadFromXml(const TiXmlElement* element) {
    if (!CTwWindow::LoadFromXml(element))
        return 0;
    DestroyChildren();
    int firstShown = -1;
    for (const TiXmlElement* child = element->FirstChildElement("tab"); child;
         child = child->NextSiblingElement("tab")) {
        auto page = std::make_unique<CTwTab>();
        page->SetParentHandle(Handle());
        page->AttachHostWindow(HostWindow());
        page->LoadFromXml(child);
        page->ApplyAttribute("pos", "0,0,-0,-0", true);
        const bool first = firstShown < 0 && !page->IsHidden();
        if (first) {
            firstShown = TabCount();
            if (m_current == 0)
                m_current = firstShown;
        }
        page->Send(WM_SHOWWINDOW, first);
        AppendChild(std::move(page));
    }
    const CTwTab* selected = Page(m_current);
    if (selected && selected->IsHidden() && m_current > 0 && firstShown >= 0)
        m_current = firstShown;
    return 1;
}

CTwTab* CTwTabCtrl::Page(int index) const {
    if (index < 0 || index >= TabCount())
        return nullptr;
    return static_cast<CTwTab*>(Children()[static_cast<std::size_t>(index)].get());
}

TabStrip CTwTabCtrl::Strip() const {
    TabStrip strip = m_strip;
    if (CTwSkinBase* skin = SkinNamed(m_tabSkin))
        strip.skin = skin->GetSkinSize();
    return strip;
}

SIZE CTwTabCtrl::HeaderSize() const {
    const RECT header = TabHeaderRect(Strip(), RECT{}, 0);
    return SIZE{header.right - header.left, header.bottom - header.top};
}

RECT CTwTabCtrl::HeaderRect(int index) const {
    const CTwTab* page = Page(index);
    if (!page || page->IsHidden())
        return RECT{};
    int slot = 0;
    for (int i = 0; i < index; ++i)
        slot += Page(i)->IsHidden() ? 0 : 1;
    return TabHeaderRect(Strip(), Rect(), slot);
}

int CTwTabCtrl::TabAt(POINT point) const {
    for (int i = 0; i < TabCount(); ++i) {
        const RECT header = HeaderRect(i);
        if (PtInRect(&header, point))
            return i;
    }
    return -1;
}

void CTwTabCtrl::PlacePage(CTwTab& page) {
    WINDOWPOS pos = {};
    pos.x = m_pageArea.left;
    pos.y = m_pageArea.top;
    pos.cx = m_pageArea.right - m_pageArea.left;
    pos.cy = m_pageArea.bottom - m_pageArea.top;
    page.Send(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void CTwTabCtrl::OnWindowPosChanged(const WINDOWPOS& pos) {
    CTwContainerWnd::OnWindowPosChanged(pos);
    const SIZE header = HeaderSize();
    RECT area = Rect();
    if (m_strip.vertical)
        area.left += header.cx + m_framePos;
    else
        area.top += header.cy + m_framePos;
    const TwStyle& style = Style();
    m_pageArea = ToRect(InnerRect(ToTwRect(area), style.xMargin, style.yMargin));
    for (int i = 0; i < TabCount(); ++i)
        PlacePage(*Page(i));
}

TwHandle CTwTabCtrl::ElementAt(int x, int y, bool mouse) {
    const POINT point = {x, y};
    if (!PtInRect(&Rect(), point))
        return 0;
    if (!PtInRect(&m_pageArea, point))
        return Handle();
    CTwTab* page = Page(m_current);
    const TwHandle hit = page ? page->ElementAt(x, y, mouse) : 0;
    return hit ? hit : Handle();
}

bool CTwTabCtrl::SelectTab(int index) {
    const int old = m_current;
    TwTabChangeNotify record = {};
    record.itemId = CommandId();
    record.newIndex = index;
    record.oldIndex = old;
    if (SendToHost(record, kTwTabChange) && record.cancel)
        return false;
    if (index == m_current)
        return true;
    if (index < 0 || index >= TabCount())
        return false;
    RequestRepaintRect(HeaderRect(old));
    RequestRepaintRect(HeaderRect(index));
    if (CTwTab* page = Page(old))
        page->Send(WM_SHOWWINDOW, FALSE);
    m_current = index;
    CTwTab* page = Page(index);
    page->Send(WM_SHOWWINDOW, TRUE);
    PlacePage(*page);
    RequestRepaintRect(m_pageArea);
    return true;
}

void CTwTabCtrl::SetHover(int index) {
    if (index == m_hover)
        return;
    const int old = m_hover;
    m_hover = index;
    RequestRepaintRect(HeaderRect(old));
    RequestRepaintRect(HeaderRect(index));
    TwTabHoverNotify record = {};
    record.itemId = CommandId();
    record.oldHover = old;
    record.newHover = index;
    SendToHost(record, kTwTabHover);
}

void CTwTabCtrl::OnMouseMove(WPARAM keys, POINT point) {
    CTwContainerWnd::OnMouseMove(keys, point);
    const int index = TabAt(point);
    SetHover(index == m_current ? -1 : index);
}

void CTwTabCtrl::OnMouseLeave() {
    CTwContainerWnd::OnMouseLeave();
    SetHover(-1);
}

void CTwTabCtrl::OnLButtonDown(WPARAM keys, POINT point) {
    CTwContainerWnd::OnLButtonDown(keys, point);
    const int index = TabAt(point);
    if (index >= 0 && index != m_current)
        SelectTab(index);
}

void CTwTabCtrl::ApplyCursor() {
    SetCursor(LoadCursorW(nullptr, m_hover >= 0 ? IDC_HAND : IDC_ARROW));
}

void CTwTabCtrl::ShowRealWindows(bool visible) {
    for (int i = 0; i < TabCount(); ++i)
        Page(i)->ShowRealWindows(visible && i == m_current);
}

CTwWindow* CTwTabCtrl::FindById(int id) {
    for (int i = 0; i < TabCount(); ++i) {
        CTwTab* page = Page(i);
        if (page->CommandId() == id)
            return page;
        if (CTwWindow* found = page->FindById(id))
            return found;
    }
    return nullptr;
}

void CTwTabCtrl::DrawTitle(HDC dc, const std::wstring& title, RECT rect) const {
    OffsetRect(&rect, m_textX, m_textY);
    if (!m_vertFont) {
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &rect, kTitleMode);
        return;
    }
    // One character per line, the column centred down the header.
    std::vector<RECT> cells;
    int total = 0;
    for (const wchar_t& c : title) {
        RECT cell = {0, 0, rect.right - rect.left, 0};
        DrawTextW(dc, &c, 1, &cell, DT_CALCRECT | DT_SINGLELINE);
        cells.push_back(cell);
        total += cell.bottom - cell.top;
    }
    int y = rect.top + (rect.bottom - rect.top - total) / 2;
    for (std::size_t i = 0; i < title.size(); ++i) {
        const int height = cells[i].bottom - cells[i].top;
        RECT line = {rect.left, y, rect.right, y + height};
        DrawTextW(dc, &title[i], 1, &line, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        y += height;
    }
}

void CTwTabCtrl::PaintHeader(HDC dc, int index, int state) {
    const RECT header = HeaderRect(index);
    if (HighContrastOn()) {
        PaintContrastHeader(dc, index, state);
        return;
    }
    if (CTwSkinBase* skin = SkinNamed(m_tabSkin))
        skin->Draw(dc, header, state);
    PaintIcon(dc, index, header, nullptr);
    const int saved = SaveDC(dc);
    if (state == 2) {
        if (m_selFont)
            SelectObject(dc, m_selFont);
        if (Style().colors.crhover != kNoColor)
            SetTextColor(dc, Style().colors.crhover);
    }
    DrawTitle(dc, Page(index)->Title(), header);
    RestoreDC(dc, saved);
}

void CTwTabCtrl::PaintIcon(HDC dc, int index, const RECT& header, const COLORREF* ink) const {
    CTwSkinBase* icon = SkinNamed(m_iconSkin);
    if (!icon)
        return;
    const SIZE size = icon->GetSkinSize();
    const RECT at = {header.left + m_iconX, header.top + m_iconY, header.left + m_iconX + size.cx,
                     header.top + m_iconY + size.cy};
    const auto draw = [icon, index](HDC target, const RECT& rect) {
        icon->Draw(target, rect, index);
    };
    if (ink)
        DrawAsInk(dc, at, *ink, draw);
    else
        draw(dc, at);
}

void CTwTabCtrl::PaintContrastHeader(HDC dc, int index, int state) {
    // The selected header in the highlight colours, the others framed on the
    // surface; the hovered one framed twice.
    const RECT header = HeaderRect(index);
    const bool selected = state == 2;
    const bool unavailable = IsDisabled();
    FillSolid(dc, header,
              ContrastColor(selected ? TwContrastInk::Highlight : TwContrastInk::Surface));
    FrameInContrast(dc, header, TwContrastInk::Text, state == 1 ? 2 : 1);
    const COLORREF ink = ContrastColor(TextInk(unavailable, selected, false));
    PaintIcon(dc, index, header, &ink);
    const int saved = SaveDC(dc);
    if (selected && m_selFont)
        SelectObject(dc, m_selFont);
    SetTextColor(dc, ink);
    DrawTitle(dc, Page(index)->Title(), header);
    RestoreDC(dc, saved);
}

bool CTwTabCtrl::PaintInto(HDC dc, HRGN region) {
    if (!CTwWindow::PaintInto(dc, region))
        return false;
    if (HighContrastOn())
        FrameInContrast(dc, m_pageArea, TwContrastInk::Text);
    else if (CTwSkinBase* frame = SkinNamed(m_frameSkin))
        frame->Draw(dc, m_pageArea, 0);
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    // The titles do not take the hover colour of the control itself.
    const COLORREF own = MakeTextSubject().ownText;
    const COLORREF text = m_tabText != kNoColor ? m_tabText
                          : own != kNoColor     ? own
                                                : Style().colors.crtext;
    if (text != kNoColor)
        SetTextColor(dc, text);
    if (Style().font)
        SelectObject(dc, Style().font);
    int remaining = 0;
    for (int i = 0; i < TabCount(); ++i)
        remaining += Page(i)->IsHidden() ? 0 : 1;
    CTwSkinBase* splitter = SkinNamed(m_splitterSkin);
    for (int i = 0; i < TabCount(); ++i) {
        if (Page(i)->IsHidden())
            continue;
        --remaining;
        if (i == m_current)
            continue;
        const RECT header = HeaderRect(i);
        if (splitter && remaining > 0 && !HighContrastOn()) {
            const SIZE size = splitter->GetSkinSize();
            const int gapLeft = header.right;
            const int x = gapLeft + (m_strip.spacing - size.cx) / 2;
            const RECT at = {x, header.top, x + size.cx, header.top + size.cy};
            splitter->Draw(dc, at, -1);
        }
        PaintHeader(dc, i, i == m_hover ? 1 : 0);
    }
    if (Page(m_current) && !Page(m_current)->IsHidden())
        PaintHeader(dc, m_current, 2);
    RestoreDC(dc, saved);
    if (CTwTab* page = Page(m_current); page && !page->Has(kTwInvisible))
        page->PaintInto(dc, region);
    return true;
}

bool CTwTabCtrl::StepTab(int step) {
    const int count = TabCount();
    if (count == 0 || step == 0)
        return false;
    const int direction = step > 0 ? 1 : -1;
    int index = m_current;
    for (int moved = 0; moved != step;) {
        index = (index + direction + count) % count;
        if (index == m_current)
            return false; // every other tab is hidden
        if (!Page(index)->IsHidden())
            moved += direction;
    }
    return SelectTab(index);
}

bool CTwTabCtrl::OnStopKey(int, UINT key) {
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        StepTab(-1);
        return true;
    case VK_RIGHT:
    case VK_DOWN:
        StepTab(1);
        return true;
    case VK_HOME:
    case VK_END: {
        const int count = TabCount();
        const bool first = key == VK_HOME;
        for (int i = 0; i < count; ++i) {
            const int index = first ? i : count - 1 - i;
            if (!Page(index)->IsHidden()) {
                SelectTab(index);
                break;
            }
        }
        return true;
    }
    default:
        return false;
    }
}
