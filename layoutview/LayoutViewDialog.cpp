#include "layoutview/LayoutViewDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "common/Handles.h"
#include "common/TextConvert.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/engine/TwHighContrast.h"

namespace {

bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
    UniqueFile file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > (64 << 20))
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size());
}

bool IsNumber(const std::wstring& text) {
    if (text.empty())
        return false;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
    }
    return true;
}

} // namespace

bool LayoutViewDialog::Load(const std::wstring& which, std::string& error) {
    if (IsNumber(which)) {
        const int id = StrToIntW(which.c_str());
        if (!LoadLayoutResource(id)) {
            error = "layout resource " + WideToUtf8(which) + " is missing or does not load";
            return false;
        }
        return true;
    }
    std::string text;
    if (!ReadWholeFile(which.c_str(), text)) {
        error = "cannot read " + WideToUtf8(which);
        return false;
    }
    if (!LoadLayoutText(text)) {
        error = WideToUtf8(which) + " is not a layout document";
        return false;
    }
    return true;
}

void LayoutViewDialog::CreateLists() {
    HWND view = View().Hwnd();
    for (const int id : {401, 402, 403}) {
        if (!FindById(id))
            continue;
        HWND list = CreateWindowExW(
            0, WC_LISTVIEWW, L"",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0,
            0, 10, 10, view, reinterpret_cast<HMENU>(id), nullptr, nullptr);
        // The program's lists' colour, or the surface's in high contrast.
        SendMessageW(list, LVM_SETBKCOLOR, 0,
                     HighContrastOn() ? ContrastColor(TwContrastInk::Surface) : RGB(251, 253, 253));
        if (HighContrastOn())
            SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, ContrastColor(TwContrastInk::Surface));
        const int widths[] = {270, 270, 80};
        for (int column = 0; column < 3; ++column) {
            const wchar_t* title = GetString(100 + column);
            LVCOLUMNW info = {};
            info.mask = LVCF_TEXT | LVCF_WIDTH;
            info.cx = id == 403 ? (column < 2 ? 279 : 80) : widths[column];
            info.pszText = const_cast<wchar_t*>(title ? title : L"");
            SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
        }
    }
}

bool LayoutViewDialog::OnViewNotify(NMHDR& header, LRESULT&) {
    const auto& item = reinterpret_cast<const TwItemNotify&>(header);
    if (header.code == kTwClick && (item.itemId == 2 || item.itemId == 100 || item.itemId == 102))
        EndModal(item.itemId);
    return true;
}

bool LayoutViewDialog::ProcessWindowMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_INITDIALOG) {
        CreateLists();
        for (const int id : m_hidden)
            ShowElement(id, false);
    }
    return false;
}
