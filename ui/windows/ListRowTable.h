#pragma once
// The rows of the owner-drawn file list: group rows that fold, item rows
// with check boxes or radio marks, and their cells. The platform list
// holds one empty item per row in the same order; every pixel of a row
// comes from here. Deleting a row takes the table's lock, so that a reader
// on another thread never sees a freed row.
//
// Lookups by key and by group, and the counts of boxes, cost the same for 10
// rows as for 100,000: the table keeps its item rows by key, its group rows
// in order, the counts as rows change, and each row's position, repaired
// from the first changed place on the next lookup.

#include <memory>
#include <string_view>
#include <string>
#include <unordered_map>
#include <utility>
#include <cstdint>
#include <vector>

#include "common/CriticalSection.h"
#include "ui/core/TwGeometry.h"
#include "ui/core/TwNotation.h"

enum ListCellKind { kCellText = 0, kCellLink = 1, kCellIcon = 2, kCellPicture = 3 };

enum ListRowFlag : int {
    kRowGroup = 0x01,
    kRowCheckBox = 0x02,
    kRowRadio = 0x04,
    kRowFoldable = 0x08,
    kRowBoldTitle = 0x10,
};

inline constexpr TwColorRef kListBackground = TwRgb(251, 253, 253);
inline constexpr TwColorRef kGroupBackground = TwRgb(248, 248, 248);
inline constexpr TwColorRef kRowLine = TwRgb(234, 232, 225);

struct ListCell {
    int kind = kCellText;
    std::wstring text;
    TwColorRef color = 0;
    TwRect rect = {};     // group rows only, relative to the row
    std::wstring extra;   // not drawn
    void* icon = nullptr; // an HICON, drawn by the list
    int pngId = 0;
};

// A text or link cell.
inline ListCell MakeCell(int kind, std::wstring text) {
    ListCell cell;
    cell.kind = kind;
    cell.text = std::move(text);
    return cell;
}

struct ListRow;

// The cells of rows that hold none of their own: `count` of them, each made
// from the row's key and tip when it is drawn or read. A row keeps only
// its key and a tip it may share with others, and gets cells of its own
// when one of them is changed.
struct DerivedCells {
    int count;
    ListCell (*cell)(const ListRow& row, int column);
};

// A tip text, shared by the rows that show the same one.
using SharedText = std::shared_ptr<const std::wstring>;

// A row to add: the text of its first cell (a text cell), its key and tip,
// its flags (ListRowFlag), the cells after the first, and whether its box
// starts checked. A row whose cells are derived gives `derived` (then the
// text and the cells are not used) and may give its tip as a shared text.
struct NewRow {
    NewRow(std::wstring rowText, std::string rowKey, std::wstring rowTip, int rowFlags = 0,
           std::vector<ListCell> cells = {}, bool startChecked = false)
        : text(std::move(rowText)), key(std::move(rowKey)), tip(std::move(rowTip)), flags(rowFlags),
          moreCells(std::move(cells)), checked(startChecked) {}
    NewRow(const DerivedCells& cells, std::string rowKey, SharedText rowTip)
        : key(std::move(rowKey)), sharedTip(std::move(rowTip)), flags(0), checked(false),
          derived(&cells) {}

    std::wstring text;
    std::string key;
    std::wstring tip;
    SharedText sharedTip;
    int flags;
    std::vector<ListCell> moreCells;
    bool checked;
    const DerivedCells* derived = nullptr;
};

// How a group row draws its first cell.
struct GroupRowLook {
    int textIndent = 8;
    int inset = -1;
    bool bold = false;
    int sizeDelta = 0;
};

// What only group rows have.
struct GroupRowPart {
    GroupRowLook look;
    std::vector<std::unique_ptr<ListRow>> folded; // members held while folded
};

// A row, kept small: a list can hold a million.
struct ListRow {
    int group = -1;
    int flags = 0;
    TwColorRef background = kListBackground;
    TwColorRef line = kRowLine;
    int position = -1; // the table's; always true for group rows, for others
                       // below its repaired mark
    bool expanded = false;
    bool checked = false;
    std::intptr_t itemData = 0;
    std::string key;
    SharedText tip;              // null: none
    std::vector<ListCell> cells; // empty while derived
    const DerivedCells* derived = nullptr;
    std::unique_ptr<GroupRowPart> groupPart; // group rows only

    bool IsGroup() const { return (flags & kRowGroup) != 0; }
    bool HasBox() const { return (flags & (kRowCheckBox | kRowRadio)) != 0; }
    const std::wstring& Tip() const;
    int CellCount() const;
    // A copy of cell `column`; an empty text cell outside the row's cells.
    ListCell CellNow(int column) const;
    // The text of the first cell.
    std::wstring FirstText() const;
    // The first cell that is a link, -1 when the row has none.
    int LinkColumn() const;
    // Gives a derived row cells of its own (to change one of them).
    void OwnCells();
    const GroupRowLook& Look() const;
};

class ListRowTable {
public:
    int Count() const { return static_cast<int>(m_rows.size()); }
    // Null for an index outside the table. Workers add rows (which may move
    // the row storage): a reader on another thread holds Lock() while it
    // uses the row.
    ListRow* Row(int index);
    const ListRow* Row(int index) const;

    // Each returns the new row's index.
    int InsertGroupRow(int group, const std::wstring& text, int flags);
    int AppendItemRow(NewRow row, int group = -1);
    // Unless a row has the key already (then -1): one step under the lock.
    int AppendNewItemRow(NewRow row);
    // At the end of the group's rows; into the folded members while it is
    // folded (then -1, no list position). -1 also when there is no such
    // group.
    int AppendToGroup(int group, NewRow row);

    int FindByKey(const std::string& key) const;
    // False when no row has the key, folded members included (a cheap
    // check that needs no positions).
    bool MayHoldKey(const std::string& key) const;
    int FindGroupRow(int group) const;
    // The position of the item row of `key` in `group`; -1 when the group
    // has none shown (folded members have no position).
    int FindInGroup(const std::string& key, int group) const;
    // The item row of `key` in `group`, folded members included; null when
    // there is none. For use under Lock().
    const ListRow* RowInGroup(const std::string& key, int group) const;
    // The item row of `key` in `group`, folded or not, changes cell
    // `column`; false when there is no such row.
    bool SetCellInGroup(const std::string& key, int group, int column, int kind,
                        const std::wstring& text);
    // The removed row's index; -1 no such group, -2 the group has no
    // members, -3 the key is not among them.
    int RemoveFromGroup(const std::string& key, int group);

    // The row's new cell count, -1 for a bad index.
    int AddCell(int index, const std::wstring& text, int kind);
    int AddPositionedCell(int index, const std::wstring& text, const TwRect& rect, int kind,
                          TwColorRef color, const std::wstring& extra);
    bool SetCell(int index, int column, int kind, const std::wstring& text);
    bool SetCellColor(int index, int column, TwColorRef color);
    std::wstring CellText(int index, int column) const;

    // 0x02 or 0x04 is added; anything else clears both and unchecks.
    bool SetRowFlags(int index, int flags);

    // A worker's change of the row of a key, as one step under the lock:
    // cell `column` gets `kind` and `text`, the flags change as SetRowFlags
    // does unless `flags` is negative, and the row's first text and tip are
    // copied to `texts` when given. The row's index, -1 when no row has the
    // key.
    struct RowTexts {
        std::wstring firstText;
        std::wstring tip;
    };
    int UpdateByKey(const std::string& key, int column, int kind, const std::wstring& text,
                    int flags, RowTexts* texts = nullptr);
    bool IsChecked(int index) const;
    // A row with a check box; turning one on first unchecks every radio row.
    bool SetCheck(int index, bool on);
    // A radio row; turning it on first unchecks every other row.
    bool SetRadio(int index, bool on);
    void UncheckAllBut(int index);
    void CheckAll();
    int CountChecked() const;
    int CountWithBox() const;

    // Folding takes the member rows (up to the next group row) into the
    // group row; the count moved, -1 when the row is not a foldable group.
    int Fold(int index);
    int Unfold(int index);

    bool Delete(int index);
    void Clear();
    // Exchanges the rows of two tables (a table built on another thread
    // takes the place of a list's own in one step).
    void Swap(ListRowTable& other);

    // How many rows the table has stepped over so far in repairs of
    // positions and in scans (a measure of its work, for tests).
    std::size_t VisitedRows() const { return m_visited; }

    // Held while a row is read or changed from more than one thread.
    CriticalSection& Lock() const { return m_lock; }

private:
    int InsertAt(int index, std::unique_ptr<ListRow> row);
    int Append(std::unique_ptr<ListRow> row);
    // A row's part in the two counts, added (1) or taken away (-1).
    void Tally(const ListRow& row, int sign);
    void SetChecked(ListRow& row, bool on);
    // The lookups' and counts' bookkeeping of rows entering and leaving m_rows.
    void Enter(ListRow& row);
    void Leave(const ListRow& row);
    // Positions from `index` on are to be repaired.
    void Moved(int index) const;
    void RepairPositions() const;
    int PositionOf(const ListRow& row) const;
    // Group rows at `from` or after, but `except`, move by `by` places.
    void ShiftGroups(int from, int by, const ListRow* except);
    // The cell to change, the row's own (null for a bad row or column).
    ListCell* OwnCellAt(int index, int column);
    int GroupEnd(int groupIndex) const;

    std::vector<std::unique_ptr<ListRow>> m_rows;
    // Item rows in m_rows by their key (a view of the row's own key, which
    // does not change while the row is in the table).
    std::unordered_multimap<std::string_view, ListRow*> m_byKey;
    std::vector<ListRow*> m_groups;   // group rows, in table order
    bool m_hasRadioRows = false;      // once any row had a radio mark
    mutable int m_positionsValid = 0; // rows below have true positions
    int m_checkedRows = 0;            // rows in m_rows with a box, checked
    int m_boxRows = 0;                // rows in m_rows with a check box
    mutable std::size_t m_visited = 0;
    mutable CriticalSection m_lock;
};
