// The file list's keys: Space, Delete, Enter, Left and Right act on the
// focused row as the mouse does on it (a box toggles, a link is clicked, a
// group folds or unfolds), Ctrl+A asks the owner to check every row, Ctrl+C
// copies rows as text. Arrows, Home, End and the page keys are the
// platform's. A key acts on the row painted at the focused place, as a
// click acts on the row painted under the pointer.

#include <memory>
#include <vector>

#include "ui/windows/CListViewCtrlEx.h"
#include "ui/windows/ListAccessibleTree.h"
#include "ui/windows/ListRowText.h"

namespace {

bool Pressed(int key) {
    return GetKeyState(key) < 0;
}

struct GlobalFreer {
    void operator()(void* memory) const { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<void, GlobalFreer>;

// The clipboard, open while it lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (m_open)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

// The text as the clipboard's only content; false when it could not be put there.
bool PutOnClipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* locked = GlobalLock(memory.get());
    if (!locked)
        return false;
    CopyMemory(locked, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    const OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    memory.release(); // the clipboard's now
    return true;
}

} // namespace

bool CListViewCtrlEx::OnKeyDown(UINT key) {
    if (Pressed(VK_CONTROL)) {
        if (key == 'A') {
            PostMessageW(Owner(), kListSelectAllKey, static_cast<WPARAM>(GetDlgCtrlID(Hwnd())), 0);
            return true;
        }
        if (key == 'C') {
            CopyRows();
            return true;
        }
        return false;
    }
    if (Pressed(VK_SHIFT) || Pressed(VK_MENU))
        return false;
    switch (key) {
    case VK_SPACE:
    case VK_DELETE:
    case VK_LEFT:
    case VK_RIGHT:
        return OnRowKey(key);
    default:
        return false;
    }
}

bool CListViewCtrlEx::OnRowKey(UINT key) {
    const int focused = FocusedIndex();
    ScopedLock lock(m_rows.Lock());
    int index = -1;
    ListRow* row = focused < 0 ? nullptr : RowDrawnAt(focused, index);
    const bool arrow = key == VK_LEFT || key == VK_RIGHT;
    if (!row)
        return !arrow; // Space and Delete are the rows' keys, with or without a row
    if (arrow) {
        // On a group row: Left folds it, Right unfolds it; elsewhere they scroll.
        if (!row->IsGroup() || !(row->flags & kRowFoldable))
            return false;
        if (row->expanded == (key == VK_LEFT))
            ToggleFold(*row, index);
        return true;
    }
    if (key == VK_SPACE) {
        ClickRow(*row, index, -1);
    } else if (!row->IsGroup()) {
        const int link = row->LinkColumn();
        if (link >= 0)
            ClickRow(*row, index, link);
    }
    SendMessageW(Hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
    return true;
}

bool CListViewCtrlEx::OnEnterKey() {
    if (Pressed(VK_CONTROL) || Pressed(VK_MENU))
        return false;
    const int focused = FocusedIndex();
    {
        ScopedLock lock(m_rows.Lock());
        int index = -1;
        ListRow* row = focused < 0 ? nullptr : RowDrawnAt(focused, index);
        if (row && row->IsGroup()) {
            ClickRow(*row, index, -1);
            return true;
        }
    }
    PostMessageW(Owner(), kListEnterKey, static_cast<WPARAM>(GetDlgCtrlID(Hwnd())), focused);
    return true;
}

void CListViewCtrlEx::CopyRows() {
    const int selectedCount = static_cast<int>(SendMessageW(Hwnd(), LVM_GETSELECTEDCOUNT, 0, 0));
    std::vector<int> places;
    // The lists select one row at most, known without a search.
    const int known = selectedCount == 0 ? FocusedIndex() : SelectedIndex();
    if (selectedCount <= 1 && (known >= 0 || selectedCount == 0)) {
        if (known >= 0)
            places.push_back(known);
    } else {
        for (int place = -1; static_cast<int>(places.size()) < selectedCount;) {
            place = static_cast<int>(
                SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(place), LVNI_SELECTED));
            if (place < 0)
                break;
            places.push_back(place);
        }
    }
    std::wstring text;
    {
        ScopedLock lock(m_rows.Lock());
        std::vector<const ListRow*> rows;
        for (const int place : places) {
            int index = -1;
            rows.push_back(RowDrawnAt(place, index));
        }
        text = RowsCopyText(rows);
    }
    if (!text.empty())
        PutOnClipboard(Hwnd(), text);
}

void CListViewCtrlEx::OnFocusGained() {
    if (m_shownCount == 0)
        return;
    const int focused = FocusedIndex();
    const int top = static_cast<int>(SendMessageW(Hwnd(), LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(Hwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
    if (focused >= top && focused < top + std::max(page, 1) && focused < m_shownCount) {
        Announce(EVENT_OBJECT_FOCUS, ListRowNode(focused));
        return;
    }
    // No focused row, or one scrolled out of sight: the first row in view
    // takes the focus (the platform tells its change, and readers hear it).
    LVITEMW item = {};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageW(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(std::min(top, m_shownCount - 1)),
                 reinterpret_cast<LPARAM>(&item));
}
