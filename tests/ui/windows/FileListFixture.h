#pragma once
// The owner-drawn file list in a plain parent that reflects its drawing and
// notifications back to it, as the main window does, and records what the
// list posts to its owner.

#include <vector>

#include <olectl.h>

#include "layoutview/UiDocuments.h"
#include "tests/support/DibSurface.h"
#include "tests/support/GTest.h"
#include "ui/engine/CTwDialogHost.h"
#include "ui/windows/CListViewCtrlEx.h"

namespace filelisttest {

struct Posted {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
// What the parent was posted of the list's own messages (and of the
// registered message a toggled box posts to the main window, when the parent
// has the main window's title), kept where its window's user data points.
inline std::vector<Posted>* PostedTo(HWND parent) {
    return reinterpret_cast<std::vector<Posted>*>(GetWindowLongPtrW(parent, GWLP_USERDATA));
}

inline LRESULT CALLBACK ReflectingParent(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND control = nullptr;
    if (message == WM_DRAWITEM)
        control = reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->hwndItem;
    else if (message == WM_MEASUREITEM)
        control = GetDlgItem(hwnd, static_cast<int>(wparam));
    else if (message == WM_NOTIFY)
        control = reinterpret_cast<NMHDR*>(lparam)->hwndFrom;
    if (control && IsChild(hwnd, control))
        return SendMessageW(control, OCM__BASE + message, wparam, lparam);
    std::vector<Posted>* posted = PostedTo(hwnd);
    if (posted && ((message >= kListCellHover && message <= kListEnterKey) ||
                   message == RowCheckChangedMessage()))
        posted->push_back(Posted{message, wparam, lparam});
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

inline void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class FileList : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadProgramUiDocuments()); }
    void SetUp() override {
        static const ATOM atom = [] {
            WNDCLASSEXW wc = {};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &ReflectingParent;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TwFileListTestParent";
            return RegisterClassExW(&wc);
        }();
        (void)atom;
        m_parent = CreateWindowExW(0, L"TwFileListTestParent", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                   640, 400, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_posted));
        ASSERT_NE(nullptr, m_list.Create(m_parent, RECT{0, 0, 620, 370},
                                         WS_CHILD | WS_VISIBLE | LVS_SINGLESEL, 401));
        const int widths[] = {270, 270, 80};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = widths[i];
            column.pszText = const_cast<wchar_t*>(L"c");
            SendMessageW(m_list.Hwnd(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
    }
    void TearDown() override { DestroyWindow(m_parent); }

    int ItemCount() const {
        return static_cast<int>(SendMessageW(m_list.Hwnd(), LVM_GETITEMCOUNT, 0, 0));
    }
    RECT ItemRect(int index) const {
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        SendMessageW(m_list.Hwnd(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // The list printed into a memory surface.
    void Print(testsupport::DibSurface& surface) const {
        SendMessageW(m_list.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    void Click(int index, int column, POINT at) {
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = m_list.Hwnd();
        click.hdr.idFrom = 401;
        click.hdr.code = static_cast<UINT>(NM_CLICK);
        click.iItem = index;
        click.iSubItem = column;
        click.ptAction = at;
        SendMessageW(m_parent, WM_NOTIFY, 401, reinterpret_cast<LPARAM>(&click));
        Pump();
    }
    // A key pressed in the list, with Ctrl held when `control`.
    void Key(UINT key, bool control = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(m_list.Hwnd(), WM_KEYDOWN, key, 0);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        Pump();
    }
    // A key offered to the list by the dialog's loop before dispatch; its answer.
    LRESULT PreTranslateKey(UINT key) {
        MSG message = {m_list.Hwnd(), WM_KEYDOWN, key, 0, 0, {}};
        const LRESULT used =
            SendMessageW(m_list.Hwnd(), kTwPreTranslate, 0, reinterpret_cast<LPARAM>(&message));
        Pump();
        return used;
    }
    void FocusRow(int index) {
        LVITEMW item = {};
        item.stateMask = LVIS_FOCUSED;
        item.state = LVIS_FOCUSED;
        SendMessageW(m_list.Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
    // A pending row as the adding tabs have it.
    int AddPending(const char* key) {
        const int row =
            m_list.EditRows()->AppendItemRow({L"a.exe", key, L"C:\\a.exe", kRowCheckBox});
        m_list.EditRows()->AddCell(row, L"0cc175b9c0f1b6a831c399e269772661", kCellText);
        m_list.EditRows()->AddCell(row, L"删除", kCellLink);
        return row;
    }

    HWND m_parent = nullptr;
    CListViewCtrlEx m_list;
    std::vector<Posted> m_posted;
};

} // namespace filelisttest

using filelisttest::FileList;
using filelisttest::Posted;
using filelisttest::Pump;
