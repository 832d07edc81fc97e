#include "ui/windows/ListRowTable.h"

#include <algorithm>
#include <iterator>

#include "common/Invariant.h"

namespace {

std::unique_ptr<ListRow> MakeRow(const std::wstring& text, int flags) {
    auto row = std::make_unique<ListRow>();
    row->flags = flags;
    row->cells.push_back(MakeCell(kCellText, text));
    return row;
}

// An item row: never a group row; its box checked only when it has one.
std::unique_ptr<ListRow> MakeItemRow(NewRow&& made, int group) {
    auto row = std::make_unique<ListRow>();
    row->flags = made.flags & ~kRowGroup;
    row->key = std::move(made.key);
    if (made.sharedTip)
        row->tip = std::move(made.sharedTip);
    else if (!made.tip.empty())
        row->tip = std::make_shared<const std::wstring>(std::move(made.tip));
    row->group = group;
    if (made.derived) {
        row->derived = made.derived;
    } else {
        row->cells.reserve(made.moreCells.size() + 1);
        row->cells.push_back(MakeCell(kCellText, std::move(made.text)));
        for (ListCell& cell : made.moreCells)
            row->cells.push_back(std::move(cell));
    }
    row->checked = made.checked && row->HasBox();
    return row;
}

const std::wstring kNoText;
const GroupRowLook kItemRowLook;

} // namespace

const std::wstring& ListRow::Tip() const {
    return tip ? *tip : kNoText;
}

int ListRow::CellCount() const {
    return derived ? derived->count : static_cast<int>(cells.size());
}

ListCell ListRow::CellNow(int column) const {
    if (column < 0 || column >= CellCount())
        return ListCell();
    return derived ? derived->cell(*this, column) : cells[static_cast<std::size_t>(column)];
}

std::wstring ListRow::FirstText() const {
    return CellNow(0).text;
}

int ListRow::LinkColumn() const {
    for (int column = 0; column < CellCount(); ++column) {
        if (CellNow(column).kind == kCellLink)
            return column;
    }
    return -1;
}

void ListRow::OwnCells() {
    if (!derived)
        return;
    std::vector<ListCell> own;
    own.reserve(static_cast<std::size_t>(derived->count));
    for (int column = 0; column < derived->count; ++column)
        own.push_back(derived->cell(*this, column));
    cells = std::move(own);
    derived = nullptr;
}

const GroupRowLook& ListRow::Look() const {
    return groupPart ? groupPart->look : kItemRowLook;
}

ListRow* ListRowTable::Row(int index) {
    return index >= 0 && index < Count() ? m_rows[static_cast<std::size_t>(index)].get() : nullptr;
}

const ListRow* ListRowTable::Row(int index) const {
    return index >= 0 && index < Count() ? m_rows[static_cast<std::size_t>(index)].get() : nullptr;
}

void ListRowTable::Moved(int index) const {
    m_positionsValid = std::min(m_positionsValid, index);
}

void ListRowTable::RepairPositions() const {
    m_visited += static_cast<std::size_t>(Count() - m_positionsValid);
    for (int i = m_positionsValid; i < Count(); ++i)
        m_rows[static_cast<std::size_t>(i)]->position = i;
    m_positionsValid = Count();
}

int ListRowTable::PositionOf(const ListRow& row) const {
    if (!row.IsGroup())
        RepairPositions(); // group rows' positions are kept true at every change
    return row.position;
}

void ListRowTable::ShiftGroups(int from, int by, const ListRow* except) {
    for (ListRow* group : m_groups) {
        ++m_visited;
        if (group != except && group->position >= from)
            group->position += by;
    }
}

void ListRowTable::Tally(const ListRow& row, int sign) {
    m_checkedRows += row.HasBox() && row.checked ? sign : 0;
    m_boxRows += (row.flags & kRowCheckBox) ? sign : 0;
    UW_INVARIANT(m_checkedRows >= 0 && m_boxRows >= 0); // a row leaves only once it entered
}

void ListRowTable::Enter(ListRow& row) {
    Tally(row, 1);
    if (row.flags & kRowRadio)
        m_hasRadioRows = true;
    if (!row.IsGroup()) {
        m_byKey.emplace(row.key, &row);
        return;
    }
    const int position = PositionOf(row);
    auto at = m_groups.begin();
    while (at != m_groups.end() && PositionOf(**at) < position) {
        ++at;
        ++m_visited;
    }
    m_groups.insert(at, &row);
}

void ListRowTable::Leave(const ListRow& row) {
    Tally(row, -1);
    if (row.IsGroup()) {
        m_groups.erase(std::find(m_groups.begin(), m_groups.end(), &row));
        return;
    }
    auto range = m_byKey.equal_range(row.key);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == &row) {
            m_byKey.erase(it);
            return;
        }
    }
}

int ListRowTable::InsertAt(int index, std::unique_ptr<ListRow> row) {
    ScopedLock lock(m_lock);
    ListRow& entered = *row;
    m_rows.insert(m_rows.begin() + index, std::move(row));
    Moved(index);
    ShiftGroups(index, 1, &entered);
    entered.position = index;
    Enter(entered);
    return index;
}

int ListRowTable::Append(std::unique_ptr<ListRow> row) {
    ScopedLock lock(m_lock); // the end is read where the row goes in
    ListRow& entered = *row;
    m_rows.push_back(std::move(row));
    const int index = Count() - 1;
    entered.position = index;
    if (m_positionsValid == index)
        m_positionsValid = Count();
    Enter(entered);
    return index;
}

int ListRowTable::InsertGroupRow(int group, const std::wstring& text, int flags) {
    auto row = MakeRow(text, flags | kRowGroup);
    row->group = group;
    row->background = kGroupBackground;
    row->expanded = true;
    row->groupPart = std::make_unique<GroupRowPart>();
    return Append(std::move(row));
}

int ListRowTable::AppendItemRow(NewRow row, int group) {
    return Append(MakeItemRow(std::move(row), group));
}

int ListRowTable::AppendNewItemRow(NewRow row) {
    ScopedLock lock(m_lock);
    if (m_byKey.count(row.key) != 0)
        return -1;
    return Append(MakeItemRow(std::move(row), -1));
}

int ListRowTable::FindGroupRow(int group) const {
    ScopedLock lock(m_lock);
    for (const ListRow* row : m_groups) {
        ++m_visited;
        if (row->group == group)
            return PositionOf(*row);
    }
    return -1;
}

int ListRowTable::GroupEnd(int groupIndex) const {
    for (const ListRow* row : m_groups) {
        ++m_visited;
        const int position = PositionOf(*row);
        if (position > groupIndex)
            return position;
    }
    return Count();
}

int ListRowTable::AppendToGroup(int group, NewRow made) {
    ScopedLock lock(m_lock);
    const int groupIndex = FindGroupRow(group);
    if (groupIndex < 0)
        return -1;
    auto row = MakeItemRow(std::move(made), group);
    ListRow& groupRow = *m_rows[static_cast<std::size_t>(groupIndex)];
    if ((groupRow.flags & kRowFoldable) && !groupRow.expanded) {
        groupRow.groupPart->folded.push_back(std::move(row));
        return -1;
    }
    return InsertAt(GroupEnd(groupIndex), std::move(row));
}

bool ListRowTable::MayHoldKey(const std::string& key) const {
    ScopedLock lock(m_lock);
    if (m_byKey.count(key) != 0)
        return true;
    for (const ListRow* group : m_groups) {
        if ((group->flags & kRowFoldable) && !group->expanded && !group->groupPart->folded.empty())
            return true; // its members are not indexed
    }
    return false;
}

int ListRowTable::FindByKey(const std::string& key) const {
    ScopedLock lock(m_lock);
    int first = -1;
    const auto range = m_byKey.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        const int position = PositionOf(*it->second);
        if (first < 0 || position < first)
            first = position;
    }
    return first;
}

int ListRowTable::FindInGroup(const std::string& key, int group) const {
    ScopedLock lock(m_lock);
    int first = -1;
    const auto range = m_byKey.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second->group != group)
            continue;
        const int position = PositionOf(*it->second);
        if (first < 0 || position < first)
            first = position;
    }
    return first;
}

const ListRow* ListRowTable::RowInGroup(const std::string& key, int group) const {
    ScopedLock lock(m_lock);
    const int shown = FindInGroup(key, group);
    if (shown >= 0)
        return m_rows[static_cast<std::size_t>(shown)].get();
    const int groupIndex = FindGroupRow(group);
    if (groupIndex < 0)
        return nullptr;
    const ListRow& groupRow = *m_rows[static_cast<std::size_t>(groupIndex)];
    if (groupRow.expanded || !(groupRow.flags & kRowFoldable))
        return nullptr;
    for (const std::unique_ptr<ListRow>& member : groupRow.groupPart->folded) {
        if (member->key == key)
            return member.get();
    }
    return nullptr;
}

bool ListRowTable::SetCellInGroup(const std::string& key, int group, int column, int kind,
                                  const std::wstring& text) {
    ScopedLock lock(m_lock);
    // The table owns its rows: the one found is changed through it.
    auto* row = const_cast<ListRow*>(RowInGroup(key, group));
    if (!row || column < 0 || column >= row->CellCount())
        return false;
    row->OwnCells();
    ListCell& cell = row->cells[static_cast<std::size_t>(column)];
    cell.kind = kind;
    cell.text = text;
    return true;
}

int ListRowTable::RemoveFromGroup(const std::string& key, int group) {
    ScopedLock lock(m_lock);
    const int groupIndex = FindGroupRow(group);
    if (groupIndex < 0)
        return -1;
    ListRow& groupRow = *m_rows[static_cast<std::size_t>(groupIndex)];
    if (!groupRow.expanded && (groupRow.flags & kRowFoldable)) {
        auto& held = groupRow.groupPart->folded;
        if (held.empty())
            return -2;
        for (auto it = held.begin(); it != held.end(); ++it) {
            if ((*it)->key == key) {
                held.erase(it);
                return groupIndex;
            }
        }
        return -3;
    }
    const int end = GroupEnd(groupIndex);
    if (end == groupIndex + 1)
        return -2;
    int member = -1;
    const auto range = m_byKey.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        const int position = PositionOf(*it->second);
        if (position > groupIndex && position < end && (member < 0 || position < member))
            member = position;
    }
    if (member < 0)
        return -3;
    Delete(member);
    return member;
}

int ListRowTable::AddCell(int index, const std::wstring& text, int kind) {
    return AddPositionedCell(index, text, TwRect{}, kind, 0, std::wstring());
}

int ListRowTable::AddPositionedCell(int index, const std::wstring& text, const TwRect& rect,
                                    int kind, TwColorRef color, const std::wstring& extra) {
    ScopedLock lock(m_lock);
    ListRow* row = Row(index);
    if (!row)
        return -1;
    ListCell cell;
    cell.kind = kind;
    cell.text = text;
    cell.rect = rect;
    cell.color = color;
    cell.extra = extra;
    row->OwnCells();
    row->cells.push_back(std::move(cell));
    return static_cast<int>(row->cells.size());
}

ListCell* ListRowTable::OwnCellAt(int index, int column) {
    ListRow* row = Row(index);
    if (!row || column < 0 || column >= row->CellCount())
        return nullptr;
    row->OwnCells();
    return &row->cells[static_cast<std::size_t>(column)];
}

bool ListRowTable::SetCell(int index, int column, int kind, const std::wstring& text) {
    ScopedLock lock(m_lock);
    ListCell* cell = OwnCellAt(index, column);
    if (!cell)
        return false;
    cell->kind = kind;
    cell->text = text;
    return true;
}

bool ListRowTable::SetCellColor(int index, int column, TwColorRef color) {
    ScopedLock lock(m_lock);
    ListCell* cell = OwnCellAt(index, column);
    if (!cell)
        return false;
    cell->color = color;
    return true;
}

std::wstring ListRowTable::CellText(int index, int column) const {
    ScopedLock lock(m_lock);
    const ListRow* row = Row(index);
    return row ? row->CellNow(column).text : std::wstring();
}

bool ListRowTable::SetRowFlags(int index, int flags) {
    ScopedLock lock(m_lock);
    ListRow* row = Row(index);
    if (!row)
        return false;
    Tally(*row, -1);
    if (flags == kRowCheckBox || flags == kRowRadio) {
        row->flags |= flags;
        m_hasRadioRows = m_hasRadioRows || flags == kRowRadio;
    } else {
        row->flags &= ~(kRowCheckBox | kRowRadio);
        row->checked = false;
    }
    Tally(*row, 1);
    return true;
}

int ListRowTable::UpdateByKey(const std::string& key, int column, int kind,
                              const std::wstring& text, int flags, RowTexts* texts) {
    ScopedLock lock(m_lock);
    const int index = FindByKey(key);
    if (index < 0 || !SetCell(index, column, kind, text))
        return -1;
    if (flags >= 0)
        SetRowFlags(index, flags);
    if (texts) {
        const ListRow& row = *m_rows[static_cast<std::size_t>(index)];
        texts->firstText = row.FirstText();
        texts->tip = row.Tip();
    }
    return index;
}

bool ListRowTable::IsChecked(int index) const {
    ScopedLock lock(m_lock);
    const ListRow* row = Row(index);
    return row && row->HasBox() && row->checked;
}

bool ListRowTable::SetCheck(int index, bool on) {
    ScopedLock lock(m_lock);
    ListRow* row = Row(index);
    if (!row || !(row->flags & kRowCheckBox))
        return false;
    if (on && m_hasRadioRows) {
        m_visited += m_rows.size();
        for (const auto& other : m_rows) {
            if (other->flags & kRowRadio)
                SetChecked(*other, false);
        }
    }
    SetChecked(*row, on);
    return true;
}

bool ListRowTable::SetRadio(int index, bool on) {
    ScopedLock lock(m_lock);
    ListRow* row = Row(index);
    if (!row || !(row->flags & kRowRadio))
        return false;
    if (on)
        UncheckAllBut(index);
    SetChecked(*row, on);
    return true;
}

void ListRowTable::UncheckAllBut(int index) {
    ScopedLock lock(m_lock);
    m_visited += m_rows.size();
    for (int i = 0; i < Count(); ++i) {
        if (i != index)
            SetChecked(*m_rows[static_cast<std::size_t>(i)], false);
    }
}

void ListRowTable::CheckAll() {
    ScopedLock lock(m_lock);
    m_visited += 2 * m_rows.size();
    for (const auto& row : m_rows) {
        if (row->flags & kRowRadio)
            SetChecked(*row, false);
    }
    for (const auto& row : m_rows) {
        if (row->flags & kRowCheckBox)
            SetChecked(*row, true);
    }
}

void ListRowTable::SetChecked(ListRow& row, bool on) {
    Tally(row, -1);
    row.checked = on;
    Tally(row, 1);
}

int ListRowTable::CountChecked() const {
    ScopedLock lock(m_lock);
    return m_checkedRows;
}

int ListRowTable::CountWithBox() const {
    ScopedLock lock(m_lock);
    return m_boxRows;
}

int ListRowTable::Fold(int index) {
    ScopedLock lock(m_lock);
    ListRow* row = Row(index);
    if (!row || !row->IsGroup() || !(row->flags & kRowFoldable) || !row->expanded)
        return -1;
    const int end = GroupEnd(index);
    auto first = m_rows.begin() + index + 1;
    auto last = m_rows.begin() + end;
    for (auto it = first; it != last; ++it)
        Leave(**it);
    Moved(index + 1);
    ShiftGroups(end, index + 1 - end, nullptr);
    auto& folded = row->groupPart->folded;
    folded.insert(folded.end(), std::make_move_iterator(first), std::make_move_iterator(last));
    m_rows.erase(first, last);
    row->expanded = false;
    return end - index - 1;
}

int ListRowTable::Unfold(int index) {
    ScopedLock lock(m_lock);
    ListRow* row = Row(index);
    if (!row || !row->IsGroup() || !(row->flags & kRowFoldable) || row->expanded)
        return -1;
    const int moved = static_cast<int>(row->groupPart->folded.size());
    std::vector<std::unique_ptr<ListRow>> held;
    held.swap(row->groupPart->folded);
    m_rows.insert(m_rows.begin() + index + 1, std::make_move_iterator(held.begin()),
                  std::make_move_iterator(held.end()));
    Moved(index + 1);
    ShiftGroups(index + 1, moved, nullptr);
    for (int i = index + 1; i < index + 1 + moved; ++i)
        Enter(*m_rows[static_cast<std::size_t>(i)]);
    row->expanded = true;
    return moved;
}

bool ListRowTable::Delete(int index) {
    ScopedLock lock(m_lock);
    if (!Row(index))
        return false;
    Leave(*m_rows[static_cast<std::size_t>(index)]);
    m_rows.erase(m_rows.begin() + index);
    Moved(index);
    ShiftGroups(index + 1, -1, nullptr);
    return true;
}

void ListRowTable::Clear() {
    ScopedLock lock(m_lock);
    m_rows.clear();
    m_byKey.clear();
    m_groups.clear();
    m_positionsValid = 0;
    m_checkedRows = 0;
    m_boxRows = 0;
}

void ListRowTable::Swap(ListRowTable& other) {
    if (&other == this)
        return;
    ScopedLock lock(m_lock);
    ScopedLock otherLock(other.m_lock);
    m_rows.swap(other.m_rows);
    m_byKey.swap(other.m_byKey);
    m_groups.swap(other.m_groups);
    std::swap(m_hasRadioRows, other.m_hasRadioRows);
    std::swap(m_positionsValid, other.m_positionsValid);
    std::swap(m_checkedRows, other.m_checkedRows);
    std::swap(m_boxRows, other.m_boxRows);
}
