#pragma once
// The owner-drawn file list: a report list view whose every row is painted
// from its own row table, with check boxes, link cells, coloured cells,
// groups that fold, a picture while it is empty, delayed cell tips and
// notifications posted to its owner. Its parent reflects WM_DRAWITEM,
// WM_MEASUREITEM and WM_NOTIFY back to it (OCM__BASE plus the message). The
// header is drawn by CHeaderCtrlEx.
//
// The platform list holds no items of its own (owner data): it is told how
// many rows the table has. Changes made on the list's thread show at once;
// changes made by workers are announced and shown by the list's thread a
// bounded number of times per second, so a worker never waits for it.
//
// The keyboard acts as the mouse does (CListViewCtrlExKeys.cpp), and
// screen readers see the rows through ListAccessibleTree; the mouse, the
// keys and readers' default actions all click a row through ClickRow.

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "intake/CActor.h"
#include "ui/engine/TwAccessible.h"
#include "ui/windows/CHeaderCtrlEx.h"
#include "ui/windows/CoalescedUpdate.h"
#include "ui/windows/ListRowTable.h"
#include "ui/windows/TwSubclass.h"

// Posted to the owner.
inline constexpr UINT kListCellHover = 0x0700;    // item (-1 none), 0
inline constexpr UINT kListLinkClick = 0x0701;    // item, column
inline constexpr UINT kListCheckToggle = 0x0702;  // item, new state
inline constexpr UINT kListSelectAllKey = 0x0703; // the list's control id, 0: Ctrl+A
inline constexpr UINT kListEnterKey = 0x0704;     // the list's control id, focused item (-1 none)
// The main window's title, where WM_ROW_CHECK_CHANGED goes.
inline constexpr wchar_t kMainWindowTitle[] = L"vmruserwarden";
// The registered message posted to the main window when a box is toggled.
UINT RowCheckChangedMessage();

inline constexpr UINT kRefillClear = 0x80C8;
inline constexpr UINT kRefillAppend = 0x80C9;
// A worker's change of the rows reaching the list's thread: the message,
// or the timer that stands in for it while updates are spaced out.
inline constexpr UINT kSyncRows = 0x80CA;
inline constexpr UINT_PTR kListSyncTimer = 2;
// A row click a screen reader asked for (PostRowClick), done when it arrives.
inline constexpr UINT kRunRowClick = 0x80CB;

class ListAccessibleTree;

// The colours a row is drawn with: the list's own, or in high contrast the
// system's (the selection in the highlight colours).
struct ListRowInk {
    COLORREF background;
    COLORREF text; // kNoColor: each cell's own
    COLORREF link;
    COLORREF line; // kNoColor: the row's own
};

class CListViewCtrlEx : public TwSubclass<CListViewCtrlEx>, public IActorCallBack {
public:
    CListViewCtrlEx();
    ~CListViewCtrlEx();

    HWND Create(HWND parent, const RECT& rect, DWORD style, UINT id);
    void SetOwner(HWND owner) { m_owner = owner; }
    void SetEmptyMode(int mode) { m_emptyMode = mode; }
    bool SetColumnMinWidth(int column, int width);
    // Reloads the fonts and bitmaps (after a resource reload).
    void Reset();

    // The rows, to change: the list shows the change when the edit goes, at
    // the end of the statement for `list.EditRows()->CheckAll()` or of the
    // scope that holds it; at once on the list's thread, else announced to
    // it. Many changes under one edit cost one update of the platform list.
    class RowsEdit {
    public:
        explicit RowsEdit(CListViewCtrlEx& list) : m_list(list) {}
        ~RowsEdit() { m_list.Changed(); }
        RowsEdit(const RowsEdit&) = delete;
        RowsEdit& operator=(const RowsEdit&) = delete;
        ListRowTable* operator->() const { return &m_list.m_rows; }
        ListRowTable& operator*() const { return m_list.m_rows; }

    private:
        CListViewCtrlEx& m_list;
    };
    RowsEdit EditRows() { return RowsEdit(*this); }

    int FindByKey(const std::string& key) const { return m_rows.FindByKey(key); }
    // A change of one row's cells, then the row's repaint (when `repaint`).
    bool SetCell(int index, int column, int kind, const std::wstring& text, bool repaint);
    bool SetCellColor(int index, int column, COLORREF color, bool repaint);
    std::wstring CellText(int index, int column) const { return m_rows.CellText(index, column); }
    // A worker's report on the row of a key (ListRowTable::UpdateByKey), then
    // its repaint. False when no row has the key.
    bool UpdateRowByKey(const std::string& key, int column, int kind, const std::wstring& text,
                        int flags, ListRowTable::RowTexts* texts = nullptr);

    bool IsChecked(int index) const { return m_rows.IsChecked(index); }
    int CountChecked() const { return m_rows.CountChecked(); }
    int CountWithBox() const { return m_rows.CountWithBox(); }

    const ListRowTable& Rows() const { return m_rows; }
    // A link click as the owner takes it: the row's key and group, and the
    // click's place among the clicks of every list of the process (the
    // message names no list: the owner takes the earliest click).
    struct ClickedLink {
        std::string key;
        int group = -1;
        unsigned long long order = 0;
    };
    // A click on the link of row `index`, cell `column`: posts kListLinkClick
    // to the owner and queues the row's key and group, which the owner
    // takes, one per message (window's thread).
    void ClickLink(int index, int column);
    // The earliest click not yet taken; false when there is none.
    bool PeekClickedLink(ClickedLink& link) const;
    ClickedLink TakeClickedLink();
    // The rows the platform list shows (the table's count as last synced).
    int ShownCount() const { return m_shownCount; }
    // The platform list's focused item, -1 for none.
    int FocusedIndex() const;
    // A selected item: the focused one when it is selected, else the last
    // one selected while it still is; -1 for none found so.
    int SelectedIndex() const;
    // What a click on row `index` does (on its link when `linkColumn` is not
    // -1), done when the list's thread next runs its messages, on the row of
    // the same key and group wherever it is then; false when there is no
    // such row. A screen reader's default action: the action may open a
    // modal box, which must not run inside the reader's call.
    bool PostRowClick(int index, int linkColumn);

    // The name screen readers give the list (the owner's words for it).
    void SetAccessibleName(std::wstring name) { m_accessibleName = std::move(name); }
    const std::wstring& AccessibleName() const { return m_accessibleName; }
    // Takes the rows of `rows` in place of the list's own (on the list's
    // thread); `rows` is left empty.
    void TakeRows(ListRowTable& rows);
    int ContentWidth(int column) const;

    // The asynchronous refill: posts a clear and one append per row.
    void Run(CActor* actor) override;
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

private:
    bool OnListThread() const;
    // After a change of the table: shown at once on the list's thread,
    // else announced.
    void Changed();
    // The platform list's item count set to the table's, and a repaint.
    void SyncItemCount();
    void Redraw(int index);
    void DrawRow(const DRAWITEMSTRUCT& item);
    void DrawItemRow(HDC dc, const ListRow& row, int index, const RECT& rect, bool selected);
    void DrawGroupRow(HDC dc, const ListRow& row, const RECT& rect);
    // Draws a cell's content into `rect`; `itemLeft` is where the item's
    // first column starts, from which column 0's recorded width counts.
    // The list's own background colour, or the surface's in high contrast.
    void ApplyBackground();
    void DrawCellText(HDC dc, const ListCell& cell, RECT rect, int column, bool hasBox,
                      int itemLeft, const ListRowInk& ink);
    // The empty-list picture centred over the list background.
    void PaintEmpty(HDC dc);
    // The item and column under a client point (-1 for none).
    LVHITTESTINFO CellAt(POINT point) const;
    void OnMouseMove(POINT point);
    // Before a click or a key moves the selection: a lone selected row (the
    // focused one) is deselected on its own. The platform would deselect
    // every row, which Wine's list does by visiting each row of a virtual
    // list, a million of them on every page down.
    void DeselectLoneRow();
    void OnTipTimer();
    void OnClick(const NMITEMACTIVATE& click);
    // Under the rows' lock, on row `index`: what a click does, on the row's
    // link in `linkColumn` (-1: on the row itself: a group row folds or
    // unfolds, an item row's box toggles). The mouse, the keys and screen
    // readers all click through here.
    void ClickRow(ListRow& row, int index, int linkColumn);
    void ToggleBox(ListRow& row, int index);
    void ToggleFold(const ListRow& row, int index);
    void RunRowClick();
    // The platform's change of an item's state, told to screen readers.
    void OnItemChanged(const NMLISTVIEW& change);
    // A WinEvent about node `node` of the list's accessible tree.
    void Announce(DWORD event, long node) const;
    LRESULT AnswerGetObject(WPARAM wparam, LPARAM lparam);
    void ForgetAccessible();

    // Keys (CListViewCtrlExKeys.cpp). True when the key was used.
    bool OnKeyDown(UINT key);
    // Space, Delete, Left and Right on the focused row, as painted.
    bool OnRowKey(UINT key);
    // Enter, from the dialog's loop before dispatch: folds a group row, or
    // tells the owner.
    bool OnEnterKey();
    // The selected rows (the focused one when none is) as text, on the
    // clipboard.
    void CopyRows();
    // After the list gained the focus: a focused row in view, when there are
    // rows, for the first key to act on.
    void OnFocusGained();
    // Under the rows' lock: the row that was drawn at `index` when the list
    // last painted it, where it is now in `now`; the row at `index` when
    // none was recorded there. Null when that row has gone. Rows placed on
    // the list's thread move the others before the next paint, and the
    // user clicks on what was painted.
    ListRow* RowDrawnAt(int index, int& now);
    void NoteDrawn(int index, const ListRow& row);
    bool HitsLink(int index, int column, POINT point) const;
    // Whether `point` hits the link of `row`'s cell `column`, the row
    // drawn at `index`.
    bool HitsLinkOf(const ListRow& row, int index, int column, POINT point) const;
    void QueueClickedLink(const ListRow& row, int index, int column);
    bool OnHeaderNotify(const NMHEADERW& header, LRESULT& result);
    HWND Owner() const;
    void NoteContentWidth(int column, int width);

    ListRowTable m_rows;
    CHeaderCtrlEx m_header;
    HWND m_owner = nullptr;
    std::deque<ClickedLink> m_clickedLinks; // one per link click posted, in order
    // Row clicks asked for by screen readers, one per kRunRowClick posted.
    struct RowClick {
        std::string key;
        int group = -1;
        bool isGroup = false;
        int linkColumn = -1;
    };
    std::deque<RowClick> m_rowClicks;
    std::wstring m_accessibleName;
    std::unique_ptr<ListAccessibleTree> m_accessible; // made on a reader's first request
    AccessibleAnchorPtr m_anchor;
    // What each index showed when last painted (the rows about the visible ones).
    struct DrawnRow {
        std::string key;
        int group = -1;
        bool isGroup = false;
    };
    std::unordered_map<int, DrawnRow> m_drawn;
    int m_emptyMode = 0;
    std::vector<int> m_minWidths;
    std::vector<int> m_contentWidths;
    HFONT m_linkFont = nullptr; // fonts and bitmaps borrowed from the pools
    HFONT m_boldFont = nullptr;
    HFONT m_bigBoldFont = nullptr;
    HFONT m_font = nullptr;
    HBITMAP m_checkBoxes = nullptr;
    HBITMAP m_fold = nullptr;
    HBITMAP m_empty[2] = {};
    bool m_tracking = false;
    int m_hoverItem = -1;
    int m_hoverColumn = -1;
    POINT m_lastPoint = {-1, -1};
    int m_shownCount = 0;
    int m_lastSelected = -1; // the item the platform last told selected
    DWORD m_thread = 0;
    CoalescedUpdate m_sync{kSyncRows, 0, kListSyncTimer};
};
