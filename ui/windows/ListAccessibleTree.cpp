#include "ui/windows/ListAccessibleTree.h"

#include <commctrl.h>

#include "ui/windows/CListViewCtrlEx.h"

namespace {

// A group row's text without the spaces that indent it.
std::wstring Trimmed(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

void Append(std::wstring& name, const std::wstring& part) {
    if (part.empty())
        return;
    if (!name.empty())
        name += L", ";
    name += part;
}

// What a click on the row does, in words; empty when it does nothing.
std::wstring DefaultActionOf(const ListRow& row) {
    if (row.IsGroup())
        return (row.flags & kRowFoldable) ? (row.expanded ? L"折叠" : L"展开") : L"";
    if (row.HasBox())
        return row.checked ? L"取消选中" : L"选中";
    return std::wstring();
}

} // namespace

HWND ListAccessibleTree::Window() const {
    return m_list.Hwnd();
}

int ListAccessibleTree::RowIndexOf(long node) const {
    const long row = (node & ~kListLinkNodeBit) - 1;
    return row >= 0 && row < m_list.ShownCount() ? static_cast<int>(row) : -1;
}

bool ListAccessibleTree::HasLink(int index) const {
    const ListRow* row = m_list.Rows().Row(index);
    return row && row->LinkColumn() >= 0;
}

bool ListAccessibleTree::Exists(long node) const {
    if (node == 0)
        return true;
    const int index = RowIndexOf(node);
    if (index < 0)
        return false;
    ScopedLock lock(m_list.Rows().Lock());
    return IsLink(node) ? HasLink(index) : m_list.Rows().Row(index) != nullptr;
}

long ListAccessibleTree::ParentOf(long node) const {
    if (node == 0)
        return -1;
    return IsLink(node) ? (node & ~kListLinkNodeBit) : 0;
}

long ListAccessibleTree::ChildCount(long node) const {
    if (node == 0)
        return m_list.ShownCount();
    const int index = RowIndexOf(node);
    if (index < 0 || IsLink(node))
        return 0;
    ScopedLock lock(m_list.Rows().Lock());
    return HasLink(index) ? 1 : 0;
}

long ListAccessibleTree::ChildAt(long node, long index) const {
    if (index < 0 || index >= ChildCount(node))
        return -1;
    return node == 0 ? ListRowNode(static_cast<int>(index)) : (node | kListLinkNodeBit);
}

long ListAccessibleTree::IndexOf(long node) const {
    if (node == 0)
        return -1;
    return IsLink(node) ? 0 : node - 1;
}

bool ListAccessibleTree::IsContainer(long node) const {
    return node == 0 || ChildCount(node) > 0;
}

RECT ListAccessibleTree::ScreenRect(RECT rect) const {
    MapWindowPoints(m_list.Hwnd(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

long ListAccessibleTree::ItemState(int index) const {
    HWND list = m_list.Hwnd();
    const auto platform = static_cast<UINT>(SendMessageW(
        list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED | LVIS_FOCUSED));
    long state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (platform & LVIS_SELECTED)
        state |= STATE_SYSTEM_SELECTED;
    if ((platform & LVIS_FOCUSED) && GetFocus() == list)
        state |= STATE_SYSTEM_FOCUSED;
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    // The page's fully shown rows, and the one cut at its bottom.
    if (index < top || index > top + page)
        state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

std::wstring ListAccessibleTree::GroupName(int group) const {
    if (group < 0)
        return std::wstring();
    const ListRowTable& rows = m_list.Rows();
    const ListRow* groupRow = rows.Row(rows.FindGroupRow(group));
    return groupRow ? Trimmed(groupRow->FirstText()) : std::wstring();
}

void ListAccessibleTree::DescribeList(AccessibleFacts& facts) const {
    facts.role = ROLE_SYSTEM_LIST;
    facts.name = m_list.AccessibleName();
    facts.state = STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == m_list.Hwnd())
        facts.state |= STATE_SYSTEM_FOCUSED;
    // The lists of the tabs not shown are hidden windows: a reader passes them by.
    if (!IsWindowVisible(m_list.Hwnd()))
        facts.state |= STATE_SYSTEM_INVISIBLE;
    RECT client = {};
    GetClientRect(m_list.Hwnd(), &client);
    facts.screen = ScreenRect(client);
}

void ListAccessibleTree::DescribeRow(const ListRow& row, int index, AccessibleFacts& facts) const {
    facts.state = ItemState(index);
    facts.defaultAction = DefaultActionOf(row);
    if (row.IsGroup()) {
        facts.role = ROLE_SYSTEM_OUTLINEBUTTON;
        facts.name = Trimmed(row.FirstText());
        if (row.flags & kRowFoldable)
            facts.state |= row.expanded ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    } else {
        facts.role = ROLE_SYSTEM_LISTITEM;
        for (int column = 0; column < row.CellCount(); ++column) {
            const ListCell cell = row.CellNow(column);
            if (cell.kind == kCellText)
                Append(facts.name, cell.text);
        }
        Append(facts.name, GroupName(row.group));
        if (row.HasBox() && row.checked)
            facts.state |= STATE_SYSTEM_CHECKED;
    }
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageW(m_list.Hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&rect));
    facts.screen = ScreenRect(rect);
}

void ListAccessibleTree::DescribeLink(const ListRow& row, int index, AccessibleFacts& facts) const {
    const int column = row.LinkColumn();
    facts.role = ROLE_SYSTEM_LINK;
    facts.name = row.CellNow(column).text;
    facts.state = STATE_SYSTEM_LINKED | (ItemState(index) & STATE_SYSTEM_OFFSCREEN);
    facts.defaultAction = L"单击";
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_BOUNDS;
    SendMessageW(m_list.Hwnd(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&rect));
    facts.screen = ScreenRect(rect);
}

bool ListAccessibleTree::Describe(long node, AccessibleFacts& facts) const {
    facts = AccessibleFacts();
    if (node == 0) {
        DescribeList(facts);
        return true;
    }
    const int index = RowIndexOf(node);
    if (index < 0)
        return false;
    // Workers change rows meanwhile.
    ScopedLock lock(m_list.Rows().Lock());
    const ListRow* row = m_list.Rows().Row(index);
    if (!row || (IsLink(node) && row->LinkColumn() < 0))
        return false;
    if (IsLink(node))
        DescribeLink(*row, index, facts);
    else
        DescribeRow(*row, index, facts);
    return true;
}

long ListAccessibleTree::NodeAt(POINT screen) const {
    HWND list = m_list.Hwnd();
    POINT point = screen;
    ScreenToClient(list, &point);
    RECT client = {};
    GetClientRect(list, &client);
    if (!PtInRect(&client, point))
        return -1;
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || hit.iItem >= m_list.ShownCount())
        return 0;
    ScopedLock lock(m_list.Rows().Lock());
    const ListRow* row = m_list.Rows().Row(hit.iItem);
    if (!row)
        return 0;
    const long node = ListRowNode(hit.iItem);
    const int link = row->LinkColumn();
    return link >= 0 && link == hit.iSubItem ? (node | kListLinkNodeBit) : node;
}

long ListAccessibleTree::FocusedNode() const {
    if (GetFocus() != m_list.Hwnd())
        return -1;
    const int focused = m_list.FocusedIndex();
    return focused >= 0 && Exists(ListRowNode(focused)) ? ListRowNode(focused) : 0;
}

long ListAccessibleTree::SelectedNode() const {
    const int selected = m_list.SelectedIndex();
    return selected >= 0 && Exists(ListRowNode(selected)) ? ListRowNode(selected) : -1;
}

bool ListAccessibleTree::DoDefaultAction(long node) {
    const int index = RowIndexOf(node);
    if (node == 0 || index < 0)
        return false;
    int linkColumn = -1;
    {
        ScopedLock lock(m_list.Rows().Lock());
        const ListRow* row = m_list.Rows().Row(index);
        if (!row)
            return false;
        if (IsLink(node))
            linkColumn = row->LinkColumn();
        if (IsLink(node) ? linkColumn < 0 : DefaultActionOf(*row).empty())
            return false;
    }
    return m_list.PostRowClick(index, linkColumn);
}
