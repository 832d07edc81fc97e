#include "app/QUserWardenDlg.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/WardenTexts.h"
#include "common/TextConvert.h"
#include "intake/Digest.h"
#include "intake/StorePath.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/CTwWindow.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/windows/QMsgBoxDlg.h"
#include "ui/windows/QPeFormatTipDlg.h"

namespace {

constexpr int kListIds[3] = {401, 402, 403};
constexpr int kPanes[3] = {201, 202, 203};
constexpr int kFooters[3] = {204, 205, 206};
constexpr int kSelectAll[2] = {301, 302};
constexpr int kSelectAllImage[2] = {303, 304};
constexpr int kSummary[2] = {501, 503};
constexpr int kSummaryLink[2] = {502, 504};
constexpr int kOkButton[2] = {106, 108};
constexpr int kBadge = 1104;
constexpr int kBadgeText = 1105;
constexpr int kTabControl = 103;

// Element changes asked for by workers, carried out on the window's thread.
constexpr UINT kRefreshTab = WM_APP + 1;  // tab
constexpr UINT kShowBadge = WM_APP + 2;   // count
constexpr UINT kAddOperated = WM_APP + 3; // group, OperatedRow*

struct OperatedRow {
    std::wstring name;
    std::string md5;
    std::wstring path;
};

const wchar_t* const kDone = L"处理成功";
const wchar_t* const kWorking = L"正在处理";

} // namespace

QUserWardenDlg::QUserWardenDlg(std::wstring storePath)
    : m_storePath(std::move(storePath)), m_work(std::make_shared<WorkerState>()) {}

QUserWardenDlg::~QUserWardenDlg() {
    m_work->processor.Shutdown();
}

int QUserWardenDlg::CurrentTab() {
    auto* tabs = dynamic_cast<CTwTabCtrl*>(FindById(kTabControl));
    return tabs ? tabs->CurrentTab() : 0;
}

int QUserWardenDlg::ShowMsgBox(const std::wstring& text, int mode) {
    QMsgBoxDlg box;
    box.SetMode(mode);
    box.SetText(PrepareMsgBoxText(text, mode));
    return static_cast<int>(box.RunModal(Hwnd()));
}

void QUserWardenDlg::CreateLists() {
    HWND view = View().Hwnd();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    for (int tab = 0; tab < 3; ++tab) {
        CListViewCtrlEx& list = m_lists[tab];
        list.Create(view, RECT{0, 0, 10, 10}, style, static_cast<UINT>(kListIds[tab]));
        list.SetOwner(Hwnd());
        const int widths[2][3] = {{270, 270, 80}, {279, 279, 80}};
        const int minimums[2][3] = {{260, 260, 80}, {279, 279, 80}};
        const int kind = tab == 2 ? 1 : 0;
        for (int column = 0; column < 3; ++column) {
            const wchar_t* title = GetString(100 + column);
            LVCOLUMNW info = {};
            info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            info.fmt = column == 2 ? LVCFMT_CENTER : LVCFMT_LEFT;
            info.cx = widths[kind][column];
            info.pszText = const_cast<wchar_t*>(title ? title : L"");
            SendMessageW(list.Hwnd(), LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
            list.SetColumnMinWidth(column, minimums[kind][column]);
        }
    }
    m_lists[0].SetEmptyMode(0);
    m_lists[1].SetEmptyMode(1);
    RefreshSelectAll(0);
    RefreshSelectAll(1);
}

void QUserWardenDlg::Start() {
    const HICON big = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    const HICON smallIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    SetWindowTextW(Hwnd(), kMainWindowTitle);
    CreateLists();
    SetEnabled(kOkButton[1], false);
    SetEnabled(kOkButton[0], false);
    RefreshOkButton(0);
    RefreshOkButton(1);
    DragAcceptFiles(Hwnd(), TRUE);
    m_intakeTab = 0;
    FileProcessor& processor = m_work->processor;
    if (m_storePath.empty())
        processor.Initialize();
    else
        processor.Initialize(m_storePath);
    processor.SetCallback(this);
    LoadOperatedList();
    for (int tab = 0; tab < 2; ++tab) {
        HANDLE thread = StartPeFormatTipThread(m_lists[tab].Hwnd(), m_tips[tab]);
        if (thread)
            CloseHandle(thread);
    }
}

void QUserWardenDlg::AddOperatedRow(int group, const std::wstring& name, const std::string& md5,
                                    const std::wstring& path) {
    CListViewCtrlEx& list = m_lists[2];
    list.RemoveFromGroup(md5, 0);
    list.RemoveFromGroup(md5, 1);
    // The cells go with the row, so that a folded group holds it whole.
    list.AppendToGroup(group, name, md5, path, 0, kCellText,
                       {MakeCell(kCellText, Utf8ToWide(md5)), MakeCell(kCellLink, L"恢复")});
}

void QUserWardenDlg::LoadOperatedList() {
    const wchar_t* const headers[2] = {L"  已加白文件", L"  已加黑文件"};
    for (int group = 0; group < 2; ++group) {
        m_lists[2].InsertGroupRow(headers[group], kCellText, kRowFoldable, group);
        UserListRecords records;
        if (group == 0)
            Processor().LoadTrustedEntries(records);
        else
            Processor().LoadBlackEntries(records);
        for (const UserListRecord& record : records) {
            const std::wstring path = AnsiToWide(record.Path);
            AddOperatedRow(group, FileNameOf(path), record.Md5, path);
        }
    }
}

void QUserWardenDlg::SetEnabled(int id, bool enabled) {
    if (CTwWindow* element = FindById(id))
        element->ChangeStateWithRepaint(enabled ? 0 : kTwDisabled, enabled ? kTwDisabled : 0);
}

void QUserWardenDlg::SwitchTab(int tab) {
    if (tab == m_shownTab || tab < 0 || tab > 2)
        return;
    m_shownTab = tab;
    DragAcceptFiles(Hwnd(), tab != 2);
    for (int other = 0; other < 3; ++other) {
        ShowElement(kPanes[other], other == tab);
        ShowElement(kFooters[other], other == tab);
    }
    if (tab == 2)
        ShowElement(kBadge, false);
}

void QUserWardenDlg::RefreshSelectAll(int tab) {
    if (tab < 0 || tab > 1)
        return;
    const CListViewCtrlEx& list = m_lists[tab];
    const SelectAllState state = SelectAllFor(list.CountWithBox(), list.CountChecked());
    SetElementAttribute(kSelectAllImage[tab], "sub", state.sub);
    SetEnabled(kSelectAll[tab], state.enabled);
    SetEnabled(kSelectAllImage[tab], state.enabled);
    m_tabs[tab].allChecked = state.allChecked;
}

void QUserWardenDlg::RefreshOkButton(int tab) {
    PendingTab& pending = m_tabs[tab];
    const bool rows = pending.rowsAdded != 0;
    if (rows != pending.okEnabled) {
        InvalidateRect(m_lists[tab].Hwnd(), nullptr, TRUE);
        SetEnabled(kOkButton[tab], rows);
        pending.okEnabled = rows;
    }
    RefreshSelectAll(tab);
}

void QUserWardenDlg::SelectAll(int tab) {
    if (m_tabs[tab].allChecked) {
        m_lists[tab].UncheckAllBut(-1);
        m_tabs[tab].allChecked = false;
    } else {
        m_lists[tab].CheckAll();
        m_tabs[tab].allChecked = true;
    }
    RefreshSelectAll(tab);
}

void QUserWardenDlg::ShowSummary(int tab) {
    if (tab < 0 || tab > 1)
        return;
    const PendingTab& pending = m_tabs[tab];
    View().ReplaceRichMarkup(kSummary[tab], SummaryMarkup(pending.accepted + pending.refused,
                                                          pending.refused, kSummaryLink[tab]));
    ShowElement(kSummary[tab], true);
}

void QUserWardenDlg::ToggleFormatTip(int tab) {
    m_tipShown[tab] = !m_tipShown[tab];
    if (HWND tip = m_tips[tab]->load())
        PostMessageW(tip, QPeFormatTipDlg::kShowMessage, m_tipShown[tab] ? 1 : 0, 0);
}

void QUserWardenDlg::OnDrop(HDROP drop) {
    if (!m_work->dropBusy.TryAcquire()) {
        DragFinish(drop);
        return;
    }
    const int tab = CurrentTab();
    m_intakeTab = tab;
    if (tab < 2) {
        m_tabs[tab].accepted = 0;
        m_tabs[tab].refused = 0;
    }
    HWND window = Hwnd();
    const std::shared_ptr<WorkerState> work = m_work;
    if (!StartDetachedWorker([work, drop, window, tab] {
            RunDropWork(work->processor, drop, window, tab, work->dropBusy);
        })) {
        DragFinish(drop);
        m_work->dropBusy.Release();
    }
}

void QUserWardenDlg::OpenFilesDialog() {
    if (!m_work->pickBusy.TryAcquire())
        return;
    m_intakeTab = CurrentTab();
    const std::shared_ptr<WorkerState> work = m_work;
    const bool started = StartDetachedWorker([work] {
        std::vector<wchar_t> buffer(64 * 1024, L'\0');
        wchar_t desktop[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
        OPENFILENAMEW dialog = {};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = GetActiveWindow();
        dialog.lpstrFilter = L"All Files (*.*)\0*.*\0";
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(buffer.size());
        dialog.lpstrInitialDir = desktop;
        dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_NODEREFERENCELINKS;
        if (GetOpenFileNameW(&dialog))
            RunPickedFilesWork(work->processor, ParseOpenDialogSelection(buffer.data()));
        work->pickBusy.Release();
    });
    if (!started)
        m_work->pickBusy.Release();
}

void QUserWardenDlg::Commit(int tab) {
    BusyFlag& busy = m_work->commitBusy[tab];
    if (!busy.TryAcquire())
        return;
    // Checked rows whose path the store cannot record are refused here,
    // before the component sees them: the component and the store must not
    // disagree about a file, and an entry the store lacks could never be
    // taken off the list from the window.
    std::vector<std::string> md5s;
    std::vector<std::pair<std::string, StorePathResult>> unrecordable;
    CListViewCtrlEx& pending = m_lists[tab];
    {
        const ListRowTable& rows = pending.Rows();
        ScopedLock lock(rows.Lock()); // a drop worker may be adding rows
        for (int i = 0; i < rows.Count(); ++i) {
            if (!rows.IsChecked(i))
                continue;
            const ListRow* row = rows.Row(i);
            std::string narrow;
            const StorePathResult path = ToStorePath(row->tip, narrow);
            if (path == StorePathResult::Ok)
                md5s.push_back(row->key);
            else
                unrecordable.emplace_back(row->key, path);
        }
    }
    for (const auto& [md5, problem] : unrecordable)
        pending.UpdateRowByKey(md5, 2, kCellText, UnrecordablePathText(problem), 0);
    if (!unrecordable.empty()) {
        RefreshSelectAll(tab);
        RefreshOkButton(tab);
    }
    const UserList list = tab == 0 ? UserList::Trusted : UserList::Black;
    const std::shared_ptr<WorkerState> work = m_work;
    if (!StartDetachedWorker([work, list, md5s, tab] {
            RunCommitWork(work->processor, list, md5s, work->commitBusy[tab]);
        }))
        busy.Release();
}

void QUserWardenDlg::RemoveOperated(int row) {
    CListViewCtrlEx& list = m_lists[2];
    const ListRow* entry = list.Rows().Row(row);
    if (!entry || entry->IsGroup())
        return;
    const std::string md5 = entry->key;
    const int group = entry->group;
    if (ShowMsgBox(std::wstring(), group == 0 ? 12 : 13) == 2)
        return;
    // A removal the component refused (its box has told the user) keeps
    // the entry listed: it is still on the component's list and in the store.
    const int removed =
        group == 0 ? Processor().RemoveTrustedEntry(md5) : Processor().RemoveBlackEntry(md5);
    if (removed != 0)
        return;
    list.DeleteRow(list.FindByKey(md5));
}

void QUserWardenDlg::OnLinkClicked(int row, int column) {
    if (column != 2)
        return;
    const int tab = CurrentTab();
    if (tab == 2) {
        RemoveOperated(row);
        return;
    }
    m_lists[tab].DeleteRow(row);
    RefreshSelectAll(tab);
}

int QUserWardenDlg::OnFileAnalysed(const FileAnalysisRecord* record) {
    const int tab = m_intakeTab;
    if (!record || tab > 1)
        return 0;
    PendingTab& pending = m_tabs[tab];
    if (std::string(record->md5) == ZeroDigest) {
        ++pending.refused;
        return 0;
    }
    const std::wstring path = FullPathOf(*record);
    const std::wstring name = FileNameOf(path);
    CListViewCtrlEx& list = m_lists[tab];
    if (list.FindByKey(record->md5) >= 0) {
        ShowMsgBox(name, 1);
        return 0;
    }
    ++pending.accepted;
    const int row = list.AppendItemRow(name, record->md5, path, kRowCheckBox, kCellText);
    list.AddCell(row, Utf8ToWide(record->md5), kCellText);
    list.AddCell(row, L"删除", kCellLink);
    list.SetCheck(row, true);
    ++pending.rowsAdded;
    SendMessageW(Hwnd(), kRefreshTab, tab, 0);
    return 0;
}

// A report acts on the row of its MD5 in one step under the row table's
// lock: the user may delete other rows while the report waits for a repaint.
int QUserWardenDlg::ItemBegin(int tab, const char* md5) {
    if (m_lists[tab].UpdateRowByKey(md5, 2, kCellText, kWorking, 0))
        SendMessageW(Hwnd(), kRefreshTab, tab, 0);
    return 0;
}

int QUserWardenDlg::ItemDone(int tab, const char* md5) {
    ListRowTable::RowTexts texts;
    if (!m_lists[tab].UpdateRowByKey(md5, 2, kCellText, kDone, -1, &texts))
        return 0;
    OperatedRow operated{texts.firstText, md5, texts.tip};
    SendMessageW(Hwnd(), kAddOperated, tab, reinterpret_cast<LPARAM>(&operated));
    std::string narrow;
    if (ToStorePath(operated.path, narrow) == StorePathResult::Ok) {
        if (tab == 0)
            Processor().StoreTrusted(md5, narrow);
        else
            Processor().StoreBlack(md5, narrow);
    }
    return 0;
}

int QUserWardenDlg::BatchDone(int count) {
    if (count > 0)
        SendMessageW(Hwnd(), kShowBadge, static_cast<WPARAM>(count), 0);
    return 0;
}

int QUserWardenDlg::OnError(int code) {
    if (code == -1)
        ShowMsgBox(std::wstring(), 11);
    return 0;
}

bool QUserWardenDlg::OnViewNotify(NMHDR& header, LRESULT&) {
    const auto& item = reinterpret_cast<const TwItemNotify&>(header);
    if (header.code == kTwTabChange && item.itemId == kTabControl) {
        const auto& change = reinterpret_cast<const TwTabChangeNotify&>(header);
        if (change.newIndex != change.oldIndex)
            SwitchTab(change.newIndex);
        return true;
    }
    if (header.code != kTwClick)
        return false;
    switch (item.itemId) {
    case 102:
        EndModal(2);
        return true;
    case 106:
        Commit(0);
        return true;
    case 108:
        Commit(1);
        return true;
    case 107:
        OpenFilesDialog();
        return true;
    case 301:
    case 302:
        SelectAll(item.itemId - 301);
        return true;
    case 502:
    case 504:
        ToggleFormatTip(item.itemId == 502 ? 0 : 1);
        return true;
    default:
        return false;
    }
}

bool QUserWardenDlg::Reflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND control = nullptr;
    switch (message) {
    case WM_DRAWITEM:
        control = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        control = GetDlgItem(View().Hwnd(), static_cast<int>(wparam));
        break;
    case WM_NOTIFY:
        control = reinterpret_cast<const NMHDR*>(lparam)->hwndFrom;
        break;
    case WM_COMMAND:
        control = reinterpret_cast<HWND>(lparam);
        break;
    default:
        return false;
    }
    if (!control || control == View().Hwnd() || !IsChild(Hwnd(), control))
        return false;
    result = SendMessageW(control, kReflected + message, wparam, lparam);
    return true;
}

bool QUserWardenDlg::OnDialogMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_INTAKE_DONE) {
        ShowSummary(static_cast<int>(wparam));
        return true;
    }
    if (message == kListLinkClick) {
        OnLinkClicked(static_cast<int>(wparam), static_cast<int>(lparam));
        return true;
    }
    if (message == RowCheckChangedMessage()) {
        RefreshSelectAll(static_cast<int>(wparam) == kListIds[1] ? 1 : 0);
        return true;
    }
    switch (message) {
    case kRefreshTab:
        RefreshOkButton(static_cast<int>(wparam));
        return true;
    case kShowBadge:
        if (CTwWindow* text = FindById(kBadgeText)) {
            text->SetText(BadgeText(static_cast<int>(wparam)));
            text->RequestRepaint();
        }
        ShowElement(kBadge, true);
        return true;
    case kAddOperated: {
        const auto* row = reinterpret_cast<const OperatedRow*>(lparam);
        AddOperatedRow(static_cast<int>(wparam), row->name, row->md5, row->path);
        return true;
    }
    case WM_INITDIALOG:
        Start();
        return false;
    case WM_DROPFILES:
        OnDrop(reinterpret_cast<HDROP>(wparam));
        return true;
    default:
        return Reflect(message, wparam, lparam, result);
    }
}
