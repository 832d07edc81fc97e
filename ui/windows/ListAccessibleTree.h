#pragma once
// The file list as screen readers see it. Node 0 is the list (a list named
// by its owner); each row the platform list shows is a child, its node id
// the row's index + 1 (the platform's own child ids for list items): an
// item row is a list item named by its text cells and its group, a group
// row an outline button that is expanded or collapsed. A row with a link
// is an object of its own whose one child is the link; the link's node id
// is kListLinkNodeBit with the row's node id, above any row's (a list holds
// far fewer than 2^30 rows). Rows of a folded group are not in the table,
// so they are not shown.
//
// Every answer reads one row or the platform's state of one item: a list of
// a million rows costs no more per call than one of ten. Default actions are
// posted to the list (CListViewCtrlEx::PostRowClick) and done by key after
// the reader's call has returned.

#include "ui/engine/TwAccessible.h"

class CListViewCtrlEx;
struct ListRow;

inline constexpr long kListLinkNodeBit = 0x40000000;

inline long ListRowNode(int index) {
    return static_cast<long>(index) + 1;
}

class ListAccessibleTree : public IAccessibleTree {
public:
    explicit ListAccessibleTree(CListViewCtrlEx& list) : m_list(list) {}
    ListAccessibleTree(const ListAccessibleTree&) = delete;
    ListAccessibleTree& operator=(const ListAccessibleTree&) = delete;

    HWND Window() const override;
    bool Exists(long node) const override;
    long ParentOf(long node) const override;
    long ChildCount(long node) const override;
    long ChildAt(long node, long index) const override;
    long IndexOf(long node) const override;
    bool Describe(long node, AccessibleFacts& facts) const override;
    bool IsContainer(long node) const override;
    long NodeAt(POINT screen) const override;
    long FocusedNode() const override;
    long SelectedNode() const override;
    bool DoDefaultAction(long node) override;

private:
    // The row index of a row or link node, -1 for the list itself or a
    // node outside the rows shown.
    int RowIndexOf(long node) const;
    static bool IsLink(long node) { return (node & kListLinkNodeBit) != 0; }
    // Whether the row of `index` has a link (under the rows' lock).
    bool HasLink(int index) const;
    void DescribeList(AccessibleFacts& facts) const;
    void DescribeRow(const ListRow& row, int index, AccessibleFacts& facts) const;
    void DescribeLink(const ListRow& row, int index, AccessibleFacts& facts) const;
    // The name of the group a row is in, empty for none.
    std::wstring GroupName(int group) const;
    // The platform's selected, focused and offscreen states of an item.
    long ItemState(int index) const;
    RECT ScreenRect(RECT rect) const;

    CListViewCtrlEx& m_list;
};
