#include "ui/windows/CListViewCtrlEx.h"

#include <algorithm>

#include <commctrl.h>
#include <olectl.h> // OCM_*: messages reflected to the control that sent them, as ATL reflects them

#include "common/GdiObjects.h"
#include "ui/core/TwGeometryWin32.h"
#include "ui/engine/CTwDialogHost.h"
#include "ui/engine/TwFontPool.h"
#include "ui/skin/TwImagePools.h"
#include "ui/windows/BitmapPart.h"
#include "ui/windows/CTwSafeTip.h"
#include "ui/windows/ListAccessibleTree.h"
#include "ui/windows/ListGeometry.h"
#include "ui/engine/TwHighContrast.h"

namespace {

constexpr COLORREF kSelected = RGB(185, 218, 255);
constexpr COLORREF kLinkColor = RGB(255, 0, 0);

ListRowInk InkOf(const ListRow& row, bool selected) {
    if (!HighContrastOn())
        return ListRowInk{selected ? kSelected : row.background, kNoColor, kLinkColor, kNoColor};
    const COLORREF text =
        ContrastColor(selected ? TwContrastInk::HighlightText : TwContrastInk::Text);
    return ListRowInk{ContrastColor(selected ? TwContrastInk::Highlight : TwContrastInk::Surface),
                      text, selected ? text : ContrastColor(TwContrastInk::Link),
                      ContrastColor(TwContrastInk::Unavailable)};
}

// A bitmap's part as it is, or in high contrast as marks of `ink`.
void DrawPicturePart(HDC dc, HBITMAP picture, const RECT& at, int x, int y, int width, int height,
                     COLORREF ink) {
    const auto draw = [&](HDC target, const RECT& rect) {
        DrawBitmapPart(target, picture, rect, x, y, width, height);
    };
    if (HighContrastOn())
        DrawAsInk(dc, at, ink, draw);
    else
        draw(dc, at);
}
constexpr UINT_PTR kTipTimer = 1;
constexpr UINT kTipDelayMs = 200;
constexpr int kTipAbove = 25;
constexpr UINT kTextFlags =
    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS;
constexpr UINT kLinkFlags = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

int HeaderFormat(HWND header, int column) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    return SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item)) ? item.fmt
                                                                                       : 0;
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

// Where an item's first column starts (the drawing rectangle the list hands
// out may start a little to the right of it).
int ItemLeft(HWND list, int index) {
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect.left;
}

RECT SubItemRect(HWND list, int index, int column) {
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

} // namespace

UINT RowCheckChangedMessage() {
    static const UINT message = RegisterWindowMessageW(L"{6D3C2A8E-5B71-4F0A-9C44-1E2F7A9B0C31}");
    return message;
}

CListViewCtrlEx::CListViewCtrlEx() {
    Reset();
}

CListViewCtrlEx::~CListViewCtrlEx() {
    ForgetAccessible();
    if (Hwnd() && IsWindow(Hwnd()))
        DestroyWindow(Hwnd());
}

void CListViewCtrlEx::ApplyBackground() {
    SendMessageW(Hwnd(), LVM_SETBKCOLOR, 0,
                 HighContrastOn() ? ContrastColor(TwContrastInk::Surface) : kListBackground);
}

void CListViewCtrlEx::Reset() {
    TwFontPool& fonts = TwFontPool::Instance();
    m_linkFont = fonts.GetFont(0x0002);
    m_boldFont = fonts.GetFont(0x0004);
    m_bigBoldFont = fonts.GetFont(0x0404);
    m_font = fonts.GetFont(0x0000);
    TwBmpPool& bitmaps = TwBmpPool::Instance();
    m_checkBoxes = bitmaps.Get(403);
    bitmaps.Get(404);
    m_empty[0] = bitmaps.Get(405);
    m_empty[1] = bitmaps.Get(406);
    m_fold = bitmaps.Get(407);
}

HWND CListViewCtrlEx::Create(HWND parent, const RECT& rect, DWORD style, UINT id) {
    HWND list = CreateWindowExW(
        0, WC_LISTVIEWW, L"", style | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_OWNERDATA, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!list || !Attach(list))
        return nullptr;
    m_thread = GetWindowThreadProcessId(list, nullptr);
    m_sync.Attach(list);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header) {
        m_header.Attach(header);
        SetWindowLongW(header, GWL_STYLE, GetWindowLongW(header, GWL_STYLE) & ~HDS_FULLDRAG);
    }
    ApplyBackground();
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    // A list measures its owner-drawn rows when its size changes: once more,
    // now that the measuring is ours.
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(list, nullptr, 0, 0, width, height + 1, flags);
    SetWindowPos(list, nullptr, 0, 0, width, height, flags);
    return list;
}

HWND CListViewCtrlEx::Owner() const {
    return m_owner ? m_owner : GetParent(Hwnd());
}

bool CListViewCtrlEx::SetColumnMinWidth(int column, int width) {
    if (column < 0 || width <= 0)
        return false;
    if (m_minWidths.size() <= static_cast<std::size_t>(column))
        m_minWidths.resize(static_cast<std::size_t>(column) + 1, 0);
    m_minWidths[static_cast<std::size_t>(column)] = width;
    return true;
}

int CListViewCtrlEx::ContentWidth(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < m_contentWidths.size()
               ? m_contentWidths[static_cast<std::size_t>(column)]
               : 0;
}

void CListViewCtrlEx::NoteContentWidth(int column, int width) {
    if (m_contentWidths.size() <= static_cast<std::size_t>(column))
        m_contentWidths.resize(static_cast<std::size_t>(column) + 1, 0);
    int& recorded = m_contentWidths[static_cast<std::size_t>(column)];
    recorded = std::max(recorded, width);
}

bool CListViewCtrlEx::OnListThread() const {
    return GetCurrentThreadId() == m_thread;
}

void CListViewCtrlEx::SyncItemCount() {
    int count;
    {
        ScopedLock lock(m_rows.Lock()); // workers append meanwhile
        count = m_rows.Count();
    }
    const bool fewer = count < m_shownCount;
    if (count != m_shownCount) {
        SendMessageW(Hwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                     LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
        m_shownCount = count;
    }
    // Rows may have moved (a member inserted into a group above others): the
    // visible rows are painted again, which costs the same for any count.
    InvalidateRect(Hwnd(), nullptr, fewer || count == 0 ? TRUE : FALSE);
}

void CListViewCtrlEx::Changed() {
    if (!Hwnd())
        return;
    if (OnListThread())
        SyncItemCount();
    else
        m_sync.Request();
}

void CListViewCtrlEx::TakeRows(ListRowTable& rows) {
    m_rows.Swap(rows);
    rows.Clear();
    Changed();
}

void CListViewCtrlEx::Redraw(int index) {
    if (index < 0)
        return;
    if (OnListThread())
        SendMessageW(Hwnd(), LVM_REDRAWITEMS, index, index);
    else
        m_sync.Request();
}

bool CListViewCtrlEx::SetCell(int index, int column, int kind, const std::wstring& text,
                              bool repaint) {
    const bool set = m_rows.SetCell(index, column, kind, text);
    if (set && repaint)
        Redraw(index);
    return set;
}

bool CListViewCtrlEx::SetCellColor(int index, int column, COLORREF color, bool repaint) {
    const bool set = m_rows.SetCellColor(index, column, color);
    if (set && repaint)
        Redraw(index);
    return set;
}

bool CListViewCtrlEx::UpdateRowByKey(const std::string& key, int column, int kind,
                                     const std::wstring& text, int flags,
                                     ListRowTable::RowTexts* texts) {
    const int index = m_rows.UpdateByKey(key, column, kind, text, flags, texts);
    if (index < 0)
        return false;
    Redraw(index); // the row may have moved since: a repaint of another row is harmless
    return true;
}

void CListViewCtrlEx::Run(CActor* actor) {
    HWND list = Hwnd();
    PostMessageW(list, kRefillClear, 0, 0);
    const int count = m_rows.Count();
    for (int i = 0; i < count; ++i) {
        if (actor && actor->WaitForStop(0))
            return;
        PostMessageW(list, kRefillAppend, 0, 0);
    }
}

void CListViewCtrlEx::DrawCellText(HDC dc, const ListCell& cell, RECT rect, int column, bool hasBox,
                                   int itemLeft, const ListRowInk& ink) {
    if (cell.kind == kCellLink) {
        ScopedSelect font(dc, m_linkFont);
        SetTextColor(dc, ink.link);
        DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &rect, kLinkFlags);
        return;
    }
    if (cell.kind == kCellIcon && cell.icon) {
        DrawIconEx(dc, rect.left, rect.top + 3, static_cast<HICON>(cell.icon), 16, 16, 0, nullptr,
                   DI_NORMAL);
        rect.left += 18;
    } else if (cell.kind == kCellPicture && cell.pngId) {
        const TwImage* image = TwPngPool::Instance().Get(cell.pngId);
        Gdiplus::GpGraphics* graphics = nullptr;
        if (!image->IsEmpty() && Gdiplus::GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok) {
            Gdiplus::GdipDrawImageRectI(graphics, image->Get(), rect.left, rect.top + 3,
                                        static_cast<INT>(image->Width()),
                                        static_cast<INT>(image->Height()));
            Gdiplus::GdipDeleteGraphics(graphics);
        }
        rect.left += 18;
    }
    ScopedSelect font(dc, m_font);
    SetTextColor(dc, ink.text != kNoColor ? ink.text : cell.color);
    UINT flags = kTextFlags;
    if (!(column == 0 && hasBox)) {
        const int format = HeaderFormat(m_header.Hwnd(), column);
        if (format & HDF_CENTER)
            flags |= DT_CENTER;
        else if (format & HDF_RIGHT)
            flags |= DT_RIGHT;
    }
    DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &rect, flags);
    RECT needed = {0, 0, 0, 0};
    DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &needed,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    // Column 0 of a row with a box starts its text after the box: the width
    // it needs counts from the column's left edge.
    const int margin = column == 0 && hasBox ? rect.left - itemLeft + 10 : 10;
    NoteContentWidth(column, needed.right - needed.left + margin);
}

void CListViewCtrlEx::DrawItemRow(HDC dc, const ListRow& row, int index, const RECT& rect,
                                  bool selected) {
    const ListRowInk ink = InkOf(row, selected);
    FillSolid(dc, rect, ink.background);
    const bool hasBox = row.HasBox();
    if ((row.flags & kRowCheckBox) && HighContrastOn()) {
        RECT box = RowBoxRect(rect);
        DrawFrameControl(dc, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | DFCS_FLAT | (row.checked ? DFCS_CHECKED : 0));
    } else if (row.flags & kRowCheckBox) {
        DrawBitmapPart(dc, m_checkBoxes, RowBoxRect(rect), row.checked ? 0 : 13, 0, kListBoxSize,
                       kListBoxSize);
    }
    const int columns = std::min<int>(ColumnCount(Hwnd()), row.CellCount());
    const int itemLeft = ItemLeft(Hwnd(), index);
    for (int column = 0; column < columns; ++column) {
        const RECT label = SubItemRect(Hwnd(), index, column);
        DrawCellText(dc, row.CellNow(column), CellTextRect(label, column, hasBox), column, hasBox,
                     itemLeft, ink);
    }
}

void CListViewCtrlEx::DrawGroupRow(HDC dc, const ListRow& row, const RECT& rect) {
    const ListRowInk ink = InkOf(row, false);
    FillSolid(dc, rect, ink.background);
    if ((row.flags & kRowFoldable) && rect.left >= -11) {
        const int top = rect.top + (rect.bottom - rect.top - 9) / 2;
        DrawPicturePart(dc, m_fold, RECT{rect.left + 3, top, rect.left + 11, top + 9},
                        row.expanded ? 0 : 16, 0, 8, 9, ContrastColor(TwContrastInk::Text));
    }
    RECT client = {};
    GetClientRect(Hwnd(), &client);
    const int width = GroupRowWidth(rect.right - rect.left, client.right);
    const GroupRowLook& look = row.Look();
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const ListCell& cell = row.cells[i];
        RECT area =
            GroupCellRect(ToRect(cell.rect), rect, width, i == 0, look.textIndent, look.inset);
        const bool link = cell.kind == kCellLink;
        HFONT font = link ? m_linkFont
                     : i == 0 && look.bold
                         ? TwFontPool::Instance().GetFont(0x0004 | ((look.sizeDelta & 0xFF) << 8))
                         : m_font;
        ScopedSelect selected(dc, font);
        SetTextColor(dc, link ? ink.link : ink.text != kNoColor ? ink.text : cell.color);
        const UINT flags = i == 0 && look.inset >= 0 ? DT_WORDBREAK | DT_NOPREFIX : kTextFlags;
        DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &area, flags);
    }
}

void CListViewCtrlEx::NoteDrawn(int index, const ListRow& row) {
    // Only the rows about the visible ones are kept.
    constexpr std::size_t kKeptRows = 512;
    if (m_drawn.size() >= kKeptRows && m_drawn.count(index) == 0) {
        const int top = static_cast<int>(SendMessageW(Hwnd(), LVM_GETTOPINDEX, 0, 0));
        const int page = static_cast<int>(SendMessageW(Hwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
        for (auto it = m_drawn.begin(); it != m_drawn.end();) {
            if (it->first < top - page || it->first > top + 2 * page + 1)
                it = m_drawn.erase(it);
            else
                ++it;
        }
    }
    m_drawn[index] = DrawnRow{row.key, row.group, row.IsGroup()};
}

ListRow* CListViewCtrlEx::RowDrawnAt(int index, int& now) {
    now = index;
    const auto drawn = m_drawn.find(index);
    if (drawn == m_drawn.end())
        return m_rows.Row(index);
    const DrawnRow& was = drawn->second;
    now = was.isGroup ? m_rows.FindGroupRow(was.group) : m_rows.FindInGroup(was.key, was.group);
    return now < 0 ? nullptr : m_rows.Row(now);
}

void CListViewCtrlEx::DrawRow(const DRAWITEMSTRUCT& item) {
    // Workers change rows while the list paints.
    ScopedLock lock(m_rows.Lock());
    const int index = static_cast<int>(item.itemID);
    const ListRow* row = m_rows.Row(index);
    if (!row)
        return;
    NoteDrawn(index, *row);
    HDC dc = item.hDC;
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    if (row->IsGroup())
        DrawGroupRow(dc, *row, item.rcItem);
    else
        DrawItemRow(dc, *row, index, item.rcItem, (item.itemState & ODS_SELECTED) != 0);
    RECT client = {};
    GetClientRect(Hwnd(), &client);
    const COLORREF line = InkOf(*row, false).line;
    UniquePen pen(CreatePen(PS_SOLID, 1, line != kNoColor ? line : row->line));
    SelectObject(dc, pen.Get());
    MoveToEx(dc, item.rcItem.left, item.rcItem.bottom - 1, nullptr);
    LineTo(dc, client.right, item.rcItem.bottom - 1);
    // The keyboard's row, once the keyboard is used in the window (the
    // platform's own cue; the window's state, which a list made after it
    // may not have taken).
    if ((item.itemState & ODS_FOCUS) &&
        !(SendMessageW(GetAncestor(Hwnd(), GA_ROOT), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &item.rcItem);
    }
    RestoreDC(dc, saved);
}

void CListViewCtrlEx::PaintEmpty(HDC dc) {
    RECT client = {};
    GetClientRect(Hwnd(), &client);
    FillSolid(dc, client,
              HighContrastOn() ? ContrastColor(TwContrastInk::Surface) : kListBackground);
    HBITMAP picture = m_empty[m_emptyMode == 1 ? 1 : 0];
    BITMAP info = {};
    if (picture && GetObjectW(picture, sizeof info, &info)) {
        const POINT at = EmptyPictureOrigin(client.right, client.bottom);
        DrawPicturePart(dc, picture, RECT{at.x, at.y, at.x + info.bmWidth, at.y + info.bmHeight}, 0,
                        0, info.bmWidth, info.bmHeight, ContrastColor(TwContrastInk::Text));
    }
}

bool CListViewCtrlEx::HitsLink(int index, int column, POINT point) const {
    ScopedLock lock(m_rows.Lock());
    const ListRow* row = m_rows.Row(index);
    return row && HitsLinkOf(*row, index, column, point);
}

bool CListViewCtrlEx::HitsLinkOf(const ListRow& drawnRow, int index, int column,
                                 POINT point) const {
    const ListRow* row = &drawnRow;
    if (column < 0)
        return false;
    if (row->IsGroup()) {
        RECT item = {};
        item.left = LVIR_BOUNDS;
        SendMessageW(Hwnd(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        for (std::size_t i = 1; i < row->cells.size(); ++i) {
            const RECT area =
                GroupCellRect(ToRect(row->cells[i].rect), item, item.right - item.left, false,
                              row->Look().textIndent, row->Look().inset);
            if (row->cells[i].kind == kCellLink && PtInRect(&area, point))
                return true;
        }
        return false;
    }
    const ListCell linkCell = row->CellNow(column);
    if (linkCell.kind != kCellLink)
        return false;
    const std::wstring& text = linkCell.text;
    RECT cell = SubItemRect(Hwnd(), index, column);
    cell.left += 7;
    HDC dc = GetDC(Hwnd());
    RECT measured = {};
    {
        ScopedSelect font(dc, m_linkFont);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    ReleaseDC(Hwnd(), dc);
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    const int left = cell.left + (cell.right - cell.left - width) / 2;
    const int top = cell.top + (cell.bottom - cell.top - height) / 2;
    const RECT link = {left, top, left + width, top + height};
    return PtInRect(&link, point) != FALSE;
}

LVHITTESTINFO CListViewCtrlEx::CellAt(POINT point) const {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SendMessageW(Hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return hit;
}

void CListViewCtrlEx::OnMouseMove(POINT point) {
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Hwnd(), 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    const LVHITTESTINFO hit = CellAt(point);
    if (hit.iItem != m_hoverItem || hit.iSubItem != m_hoverColumn) {
        m_hoverItem = hit.iItem;
        m_hoverColumn = hit.iSubItem;
        PostMessageW(Owner(), kListCellHover, static_cast<WPARAM>(hit.iItem), 0);
        KillTimer(Hwnd(), kTipTimer);
        CTwSafeTip::Instance().Hide();
    }
    if ((point.x != m_lastPoint.x || point.y != m_lastPoint.y) && hit.iItem >= 0)
        SetTimer(Hwnd(), kTipTimer, kTipDelayMs, nullptr);
    m_lastPoint = point;
}

void CListViewCtrlEx::OnTipTimer() {
    KillTimer(Hwnd(), kTipTimer);
    POINT screen = {};
    GetCursorPos(&screen);
    POINT point = screen;
    ScreenToClient(Hwnd(), &point);
    const LVHITTESTINFO hit = CellAt(point);
    std::wstring text;
    {
        ScopedLock lock(m_rows.Lock());
        const ListRow* row = m_rows.Row(hit.iItem);
        if (!row)
            return;
        text = hit.iSubItem == 0 ? row->Tip() : std::wstring();
        if (text.empty())
            text = m_rows.CellText(hit.iItem, hit.iSubItem);
    }
    if (!text.empty())
        CTwSafeTip::Instance().Show(text, screen.x, screen.y - kTipAbove, Hwnd());
}

void CListViewCtrlEx::ClickLink(int index, int column) {
    ScopedLock lock(m_rows.Lock());
    const ListRow* row = m_rows.Row(index);
    if (row)
        QueueClickedLink(*row, index, column);
}

void CListViewCtrlEx::QueueClickedLink(const ListRow& row, int index, int column) {
    // Every list's clicks in one order: the owner takes the earliest.
    static unsigned long long clicks = 0;
    // The key goes with the click: rows may move before the owner reads it.
    if (PostMessageW(Owner(), kListLinkClick, static_cast<WPARAM>(index), column))
        m_clickedLinks.push_back(ClickedLink{row.key, row.group, ++clicks});
}

bool CListViewCtrlEx::PeekClickedLink(ClickedLink& link) const {
    if (m_clickedLinks.empty())
        return false;
    link = m_clickedLinks.front();
    return true;
}

CListViewCtrlEx::ClickedLink CListViewCtrlEx::TakeClickedLink() {
    if (m_clickedLinks.empty())
        return ClickedLink{};
    ClickedLink link = std::move(m_clickedLinks.front());
    m_clickedLinks.pop_front();
    return link;
}

void CListViewCtrlEx::OnClick(const NMITEMACTIVATE& click) {
    int drawnIndex = click.iItem;
    int column = click.iSubItem;
    if (drawnIndex < 0) {
        const LVHITTESTINFO hit = CellAt(click.ptAction);
        drawnIndex = hit.iItem;
        column = hit.iSubItem;
    }
    // Workers add rows meanwhile; nothing here waits for another thread.
    ScopedLock lock(m_rows.Lock());
    int index = -1;
    ListRow* row = RowDrawnAt(drawnIndex, index);
    if (!row)
        return; // the row the user saw there has gone
    const bool link = HitsLinkOf(*row, drawnIndex, column, click.ptAction);
    ClickRow(*row, index, link ? column : -1);
}

void CListViewCtrlEx::ClickRow(ListRow& row, int index, int linkColumn) {
    if (linkColumn >= 0)
        QueueClickedLink(row, index, linkColumn);
    else if (row.IsGroup())
        ToggleFold(row, index);
    else
        ToggleBox(row, index);
}

void CListViewCtrlEx::ToggleFold(const ListRow& row, int index) {
    if (!(row.flags & kRowFoldable))
        return;
    if (row.expanded)
        EditRows()->Fold(index);
    else
        EditRows()->Unfold(index);
    Announce(EVENT_OBJECT_STATECHANGE, ListRowNode(index));
    Announce(EVENT_OBJECT_REORDER, CHILDID_SELF); // the rows after it came or went
}

void CListViewCtrlEx::ToggleBox(ListRow& row, int index) {
    if (row.flags & kRowRadio) {
        m_rows.SetRadio(index, !row.checked);
        InvalidateRect(Hwnd(), nullptr, FALSE);
    } else if (row.flags & kRowCheckBox) {
        const bool next = !row.checked;
        PostMessageW(Owner(), kListCheckToggle, static_cast<WPARAM>(index), next ? 1 : 0);
        m_rows.SetCheck(index, next);
        if (HWND main = FindWindowW(nullptr, kMainWindowTitle))
            PostMessageW(main, RowCheckChangedMessage(), GetDlgCtrlID(Hwnd()), 0);
        Redraw(index);
    } else {
        return;
    }
    Announce(EVENT_OBJECT_STATECHANGE, ListRowNode(index));
}

int CListViewCtrlEx::FocusedIndex() const {
    return static_cast<int>(
        SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int CListViewCtrlEx::SelectedIndex() const {
    for (const int index : {FocusedIndex(), m_lastSelected}) {
        if (index >= 0 &&
            SendMessageW(Hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED))
            return index;
    }
    return -1;
}

bool CListViewCtrlEx::PostRowClick(int index, int linkColumn) {
    ScopedLock lock(m_rows.Lock());
    const ListRow* row = m_rows.Row(index);
    if (!row || !PostMessageW(Hwnd(), kRunRowClick, 0, 0))
        return false;
    m_rowClicks.push_back(RowClick{row->key, row->group, row->IsGroup(), linkColumn});
    return true;
}

void CListViewCtrlEx::RunRowClick() {
    if (m_rowClicks.empty())
        return;
    const RowClick click = std::move(m_rowClicks.front());
    m_rowClicks.pop_front();
    ScopedLock lock(m_rows.Lock());
    const int index = click.isGroup ? m_rows.FindGroupRow(click.group)
                                    : m_rows.FindInGroup(click.key, click.group);
    ListRow* row = m_rows.Row(index);
    if (!row)
        return; // gone meanwhile
    // A link that went meanwhile (a commit took the row) is not clicked.
    if (click.linkColumn >= 0 && row->CellNow(click.linkColumn).kind != kCellLink)
        return;
    ClickRow(*row, index, click.linkColumn);
}

void CListViewCtrlEx::Announce(DWORD event, long node) const {
    RaiseAccessibleEvent(event, Hwnd(), node);
}

void CListViewCtrlEx::OnItemChanged(const NMLISTVIEW& change) {
    if (change.iItem < 0 || !(change.uChanged & LVIF_STATE))
        return;
    const UINT gained = change.uNewState & ~change.uOldState;
    const UINT lost = change.uOldState & ~change.uNewState;
    const long node = ListRowNode(change.iItem);
    if ((gained & LVIS_FOCUSED) && GetFocus() == Hwnd())
        Announce(EVENT_OBJECT_FOCUS, node);
    if (gained & LVIS_SELECTED) {
        m_lastSelected = change.iItem;
        Announce(EVENT_OBJECT_SELECTION, node);
    } else if (lost & LVIS_SELECTED) {
        Announce(EVENT_OBJECT_SELECTIONREMOVE, node);
    }
}

LRESULT CListViewCtrlEx::AnswerGetObject(WPARAM wparam, LPARAM lparam) {
    if (!m_accessible)
        m_accessible = std::make_unique<ListAccessibleTree>(*this);
    if (!m_anchor)
        m_anchor = std::make_shared<AccessibleAnchor>(m_accessible.get());
    return ::AnswerGetObject(m_anchor, wparam, lparam);
}

void CListViewCtrlEx::ForgetAccessible() {
    // Objects readers still hold fail cleanly from now on.
    if (m_anchor)
        m_anchor->Disconnect();
    m_anchor.reset();
}

bool CListViewCtrlEx::OnHeaderNotify(const NMHEADERW& header, LRESULT& result) {
    const int column = header.iItem;
    switch (header.hdr.code) {
    case HDN_DIVIDERDBLCLICKW: {
        const int width = static_cast<int>(SendMessageW(Hwnd(), LVM_GETCOLUMNWIDTH, column, 0));
        if (ContentWidth(column) > width) {
            SendMessageW(Hwnd(), LVM_SETCOLUMNWIDTH, column, ContentWidth(column));
            InvalidateRect(Hwnd(), nullptr, TRUE);
        }
        result = 0;
        return true;
    }
    case HDN_TRACKW:
        result = 0;
        return true;
    case HDN_ENDTRACKW: {
        result = CallPrevious(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
        const int minimum = column >= 0 && static_cast<std::size_t>(column) < m_minWidths.size()
                                ? m_minWidths[static_cast<std::size_t>(column)]
                                : 0;
        if (minimum > 0 && header.pitem && (header.pitem->mask & HDI_WIDTH) &&
            header.pitem->cxy < minimum)
            SendMessageW(Hwnd(), LVM_SETCOLUMNWIDTH, column, minimum);
        return true;
    }
    default:
        return false;
    }
}

void CListViewCtrlEx::DeselectLoneRow() {
    // With Shift or Ctrl the platform extends or toggles the selection.
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0)
        return;
    if (SendMessageW(Hwnd(), LVM_GETSELECTEDCOUNT, 0, 0) != 1)
        return;
    const auto focused = static_cast<int>(
        SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused < 0 ||
        !SendMessageW(Hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(focused), LVIS_SELECTED))
        return;
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    SendMessageW(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(focused),
                 reinterpret_cast<LPARAM>(&item));
}

bool CListViewCtrlEx::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                           LRESULT& result) {
    switch (message) {
    case OCM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = kListRowHeight;
        result = TRUE;
        return true;
    case OCM_DRAWITEM:
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        result = TRUE;
        return true;
    case OCM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->hwndFrom == Hwnd() && header->code == static_cast<UINT>(NM_CLICK))
            OnClick(*reinterpret_cast<const NMITEMACTIVATE*>(lparam));
        else if (header->hwndFrom == Hwnd() && header->code == static_cast<UINT>(LVN_ITEMCHANGED))
            OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lparam));
        result = 0;
        return true;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        return header->hwndFrom == m_header.Hwnd() &&
               OnHeaderNotify(*reinterpret_cast<const NMHEADERW*>(lparam), result);
    }
    case WM_SYSCOLORCHANGE:
        // High contrast on or off: the space below the rows follows.
        ApplyBackground();
        InvalidateRect(Hwnd(), nullptr, TRUE);
        return false;
    case WM_PAINT:
        if (m_shownCount != 0)
            return false;
        {
            PAINTSTRUCT paint = {};
            PaintEmpty(BeginPaint(Hwnd(), &paint));
            EndPaint(Hwnd(), &paint);
        }
        return true;
    case WM_PRINTCLIENT:
        if (m_shownCount != 0)
            return false;
        PaintEmpty(reinterpret_cast<HDC>(wparam));
        return true;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wparam))) {
            result = 0;
            return true;
        }
        DeselectLoneRow();
        return false; // the platform moves the selection as ever
    case kTwPreTranslate: {
        const auto* key = reinterpret_cast<const MSG*>(lparam);
        result = key && key->hwnd == Hwnd() && key->message == WM_KEYDOWN &&
                         key->wParam == VK_RETURN && OnEnterKey()
                     ? 1
                     : 0;
        return true;
    }
    case WM_SETFOCUS:
        result = CallPrevious(message, wparam, lparam);
        OnFocusGained();
        return true;
    case WM_GETOBJECT:
        result = AnswerGetObject(wparam, lparam);
        return result != 0;
    case WM_DESTROY:
        ForgetAccessible();
        return false;
    case kRunRowClick:
        RunRowClick();
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        DeselectLoneRow();
        return false; // the platform moves the selection as ever
    case WM_MOUSEMOVE:
        OnMouseMove(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        return false;
    case WM_MOUSELEAVE:
        m_tracking = false;
        KillTimer(Hwnd(), kTipTimer);
        CTwSafeTip::Instance().Hide();
        m_hoverItem = m_hoverColumn = -1;
        return false;
    case WM_TIMER:
        if (wparam != kTipTimer)
            break; // the sync's own timer, below
        OnTipTimer();
        return true;
    case WM_SETCURSOR: {
        POINT point = {};
        GetCursorPos(&point);
        ScreenToClient(Hwnd(), &point);
        const LVHITTESTINFO hit = CellAt(point);
        SetCursor(
            LoadCursorW(nullptr, HitsLink(hit.iItem, hit.iSubItem, point) ? IDC_HAND : IDC_ARROW));
        result = TRUE;
        return true;
    }
    case kRefillClear:
        SendMessageW(Hwnd(), LVM_DELETEALLITEMS, 0, 0);
        m_shownCount = 0;
        return true;
    case kRefillAppend:
        ++m_shownCount;
        SendMessageW(Hwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(m_shownCount), LVSICF_NOSCROLL);
        return true;
    default:
        break;
    }
    return m_sync.Handle(message, wparam, [this] { SyncItemCount(); });
}
