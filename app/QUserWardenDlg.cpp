#include "app/QUserWardenDlg.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/WardenTexts.h"
#include "store/ORBDBSqliteConn.h"
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
constexpr UINT kShowBadge = WM_APP + 2;         // count
constexpr UINT kAddOperated = WM_APP + 3;       // entries waiting in the queue
constexpr UINT kOperatedLoaded = WM_APP + 4;    // the store's rows are ready
constexpr UINT kShowIntakeNotices = WM_APP + 5; // tab: an open-dialog intake ended
constexpr UINT kCommitEnded = WM_APP + 6;       // tab
constexpr UINT kStartProblems = WM_APP + 7;     // the component or the store is unusable
constexpr UINT_PTR kOperatedTimer = 0x5703;

// The window's thread places at most this many committed entries per
// message, so that it answers other messages meanwhile.
constexpr std::size_t kOperatedEntriesPerTurn = 2048;

const wchar_t* const kDone = L"处理成功";
const wchar_t* const kWorking = L"正在处理";

} // namespace

QUserWardenDlg::QUserWardenDlg(std::wstring storePath, int storeBusyTimeoutMs)
    : m_storePath(std::move(storePath)), m_storeBusyTimeoutMs(storeBusyTimeoutMs),
      m_work(std::make_shared<WorkerState>()), m_operatedUpdate(kAddOperated, 0, kOperatedTimer) {}

QUserWardenDlg::~QUserWardenDlg() {
    m_work->processor.Shutdown();
}

int QUserWardenDlg::CurrentTab() {
    auto* tabs = dynamic_cast<CTwTabCtrl*>(FindById(kTabControl));
    return tabs ? tabs->CurrentTab() : 0;
}

int QUserWardenDlg::ShowMsgBox(const std::wstring& text, int mode) {
    return RunBox(PrepareMsgBoxText(text, mode), mode);
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
    // Run elevated (as it asks to be), the window gets no drop from an
    // Explorer that is not, unless the drop's messages are let through.
    AllowShellDrops(Hwnd(), m_messageFilter);
    m_intakeTab = 0;
    for (PendingTab& tab : m_tabs)
        tab.refresh.Attach(Hwnd());
    m_operatedUpdate.Attach(Hwnd());
    {
        ListRowTable groups;
        AddOperatedGroups(groups);
        m_lists[2].TakeRows(groups);
    }
    m_work->processor.SetCallback(this);
    StartLoading();
    for (int tab = 0; tab < 2; ++tab) {
        HANDLE thread = StartPeFormatTipThread(m_lists[tab].Hwnd(), m_tips[tab]);
        if (thread)
            CloseHandle(thread);
    }
}

// Initialises the processor and reads the store on a worker (a store
// another process holds locked makes it wait, not the window), builds the
// operated rows there and hands them over by message.
void QUserWardenDlg::StartLoading() {
    const std::shared_ptr<WorkerState> work = m_work;
    const std::wstring storePath =
        m_storePath.empty() ? ORBDBSqliteConn::DefaultDatabasePath() : m_storePath;
    const int busyTimeoutMs = m_storeBusyTimeoutMs;
    HWND window = Hwnd();
    m_work->processor.SetComponentLibrary(m_componentLibrary);
    const bool started = StartDetachedWorker([work, storePath, busyTimeoutMs, window] {
        FileProcessor& processor = work->processor;
        processor.Initialize(storePath, busyTimeoutMs);
        UserListRecords trusted;
        UserListRecords black;
        processor.LoadTrustedEntries(trusted);
        processor.LoadBlackEntries(black);
        auto rows = std::make_unique<ListRowTable>();
        BuildOperatedRows(*rows, trusted, black);
        {
            ScopedLock lock(work->loadedLock);
            work->loadedRows = std::move(rows);
        }
        // Posted before any commit can start: the rows are in place before
        // the first committed entry joins them.
        PostMessageW(window, kOperatedLoaded, 0, 0);
        if (!processor.HasComponent() || !processor.StoreState().Ok())
            PostMessageW(window, kStartProblems, 0, 0);
        SetEvent(work->ready.Get());
    });
    if (!started)
        SetEvent(m_work->ready.Get()); // the processor refuses work uninitialised
}

void QUserWardenDlg::TakeLoadedRows() {
    std::unique_ptr<ListRowTable> rows;
    {
        ScopedLock lock(m_work->loadedLock);
        rows = std::move(m_work->loadedRows);
    }
    if (!rows)
        return;
    m_lists[2].TakeRows(*rows);
    m_operatedLoaded = true;
}

void QUserWardenDlg::AddOperatedRows() {
    std::vector<OperatedEntry> entries;
    bool more = false;
    {
        ScopedLock lock(m_operatedLock);
        if (m_operatedQueue.size() <= kOperatedEntriesPerTurn) {
            entries.swap(m_operatedQueue);
        } else {
            const auto end = m_operatedQueue.begin() + kOperatedEntriesPerTurn;
            entries.assign(std::make_move_iterator(m_operatedQueue.begin()),
                           std::make_move_iterator(end));
            m_operatedQueue.erase(m_operatedQueue.begin(), end);
            more = true;
        }
    }
    m_lists[2].ChangeRows([&entries](ListRowTable& rows) {
        for (const OperatedEntry& entry : entries)
            PlaceOperatedEntry(rows, entry);
    });
    if (more)
        m_operatedUpdate.Request();
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
    PendingTab& pending = m_tabs[tab];
    pending.allChecked = state.allChecked;
    // A drop refreshes many times a second with the same state: the
    // elements are changed (and the window repainted) only when it differs.
    if (pending.selectAllShown && *pending.selectAllShown == state)
        return;
    SetElementAttribute(kSelectAllImage[tab], "sub", state.sub);
    SetEnabled(kSelectAll[tab], state.enabled);
    SetEnabled(kSelectAllImage[tab], state.enabled);
    pending.selectAllShown = state;
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
        PendingTab& pending = m_tabs[tab];
        pending.accepted = 0;
        pending.refused = 0;
        ResetNotices(pending);
    }
    HWND window = Hwnd();
    const std::shared_ptr<WorkerState> work = m_work;
    if (!StartDetachedWorker([work, drop, window, tab] {
            work->WaitUntilReady();
            RunDropWork(work->processor, drop, window, tab, work->dropBusy);
        })) {
        DragFinish(drop);
        m_work->dropBusy.Release();
    }
}

void QUserWardenDlg::OpenFilesDialog() {
    if (!m_work->pickBusy.TryAcquire())
        return;
    const int tab = CurrentTab();
    m_intakeTab = tab;
    if (tab < 2)
        ResetNotices(m_tabs[tab]);
    HWND window = Hwnd();
    const std::shared_ptr<WorkerState> work = m_work;
    const bool started = StartDetachedWorker([work, window, tab] {
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
        if (GetOpenFileNameW(&dialog)) {
            work->WaitUntilReady();
            RunPickedFilesWork(work->processor, ParseOpenDialogSelection(buffer.data()));
            PostMessageW(window, kShowIntakeNotices, static_cast<WPARAM>(tab), 0);
        }
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
    std::vector<CommitEntry> entries;
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
                entries.push_back(CommitEntry{row->key, std::move(narrow)});
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
    PendingTab& state = m_tabs[tab];
    state.committing.clear();
    for (const CommitEntry& entry : entries)
        state.committing.push_back(entry.md5);
    const UserList list = tab == 0 ? UserList::Trusted : UserList::Black;
    const std::shared_ptr<WorkerState> work = m_work;
    HWND window = Hwnd();
    if (!StartDetachedWorker([work, list, entries = std::move(entries), tab, window] {
            work->WaitUntilReady();
            RunCommitWork(work->processor, list, entries, work->commitBusy[tab]);
            PostMessageW(window, kCommitEnded, static_cast<WPARAM>(tab), 0);
        }))
        busy.Release();
}

// Rows of the commit that never became done (the store could not be
// written) are pending again, with their boxes, checked.
void QUserWardenDlg::EndCommit(int tab) {
    if (tab < 0 || tab > 1)
        return;
    PendingTab& state = m_tabs[tab];
    CListViewCtrlEx& list = m_lists[tab];
    bool restored = false;
    for (const std::string& md5 : state.committing) {
        const int row = list.FindByKey(md5);
        if (row >= 0 && list.CellText(row, 2) == kWorking) {
            list.UpdateRowByKey(md5, 2, kCellLink, L"删除", kRowCheckBox);
            list.SetCheck(list.FindByKey(md5), true);
            restored = true;
        }
    }
    state.committing.clear();
    if (restored)
        RefreshOkButton(tab);
}

void QUserWardenDlg::ResetNotices(PendingTab& pending) {
    ScopedLock lock(pending.noticeLock);
    pending.duplicates = 0;
    pending.unreadable = 0;
}

void QUserWardenDlg::ShowIntakeNotices(int tab) {
    if (tab < 0 || tab > 1)
        return;
    if (!Processor().HasComponent()) {
        ShowFailure(ComponentFailureText(Processor().ComponentFailure()));
        return;
    }
    PendingTab& pending = m_tabs[tab];
    std::wstring duplicate;
    std::wstring unreadable;
    DWORD readError;
    int duplicates;
    int unreadableCount;
    {
        ScopedLock lock(pending.noticeLock);
        duplicate = pending.firstDuplicate;
        unreadable = pending.firstUnreadable;
        readError = pending.firstReadError;
        duplicates = std::exchange(pending.duplicates, 0);
        unreadableCount = std::exchange(pending.unreadable, 0);
    }
    if (duplicates > 0)
        RunBox(DuplicateBoxText(duplicate, duplicates - 1), 1);
    if (unreadableCount > 0)
        ShowFailure(UnreadableBoxText(unreadable, readError, unreadableCount - 1));
}

// The text is shown as given: a failure names paths, which are not cut.
void QUserWardenDlg::ShowFailure(const std::wstring& text) {
    RunBox(text, kFailureBoxMode);
}

int QUserWardenDlg::RunBox(const std::wstring& text, int mode) {
    QMsgBoxDlg box;
    box.SetMode(mode);
    box.SetText(text);
    return static_cast<int>(box.RunModal(Hwnd()));
}

void QUserWardenDlg::ShowStartProblems() {
    const FileProcessor& processor = Processor();
    if (!processor.HasComponent())
        ShowFailure(ComponentFailureText(processor.ComponentFailure()));
    if (!processor.StoreState().Ok())
        ShowFailure(StoreFailureText(processor.StorePath(), processor.StoreState()));
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
    const std::wstring path = FullPathOf(*record);
    const std::wstring name = FileNameOf(path);
    if (IsUnreadable(*record)) {
        // Not refused for its format: named in one box at the intake's end.
        ScopedLock lock(pending.noticeLock);
        if (pending.unreadable++ == 0) {
            pending.firstUnreadable = name;
            pending.firstReadError = record->readError;
        }
        return 0;
    }
    if (std::string(record->md5) == ZeroDigest) {
        ++pending.refused;
        return 0;
    }
    const int row = m_lists[tab].AppendNewItemRow(
        name, record->md5, path, kRowCheckBox, kCellText,
        {MakeCell(kCellText, Utf8ToWide(record->md5)), MakeCell(kCellLink, L"删除")}, true);
    if (row < 0) {
        // One box at the end of the intake names the first duplicate and
        // counts the others.
        ScopedLock lock(pending.noticeLock);
        if (pending.duplicates++ == 0)
            pending.firstDuplicate = name;
        return 0;
    }
    ++pending.accepted;
    ++pending.rowsAdded;
    pending.refresh.Request();
    return 0;
}

// A report acts on the row of its MD5 in one step under the row table's
// lock: the user may delete other rows while the report waits for a repaint.
int QUserWardenDlg::ItemBegin(int tab, const char* md5) {
    if (m_lists[tab].UpdateRowByKey(md5, 2, kCellText, kWorking, 0))
        m_tabs[tab].refresh.Request();
    return 0;
}

// The processor reports a file done once it is durably stored.
int QUserWardenDlg::ItemDone(int tab, const char* md5) {
    ListRowTable::RowTexts texts;
    if (!m_lists[tab].UpdateRowByKey(md5, 2, kCellText, kDone, -1, &texts))
        return 0;
    {
        ScopedLock lock(m_operatedLock);
        m_operatedQueue.push_back(OperatedEntry{tab, texts.firstText, md5, texts.tip});
    }
    m_operatedUpdate.Request();
    return 0;
}

int QUserWardenDlg::BatchDone(int count) {
    if (count > 0)
        PostMessageW(Hwnd(), kShowBadge, static_cast<WPARAM>(count), 0);
    return 0;
}

int QUserWardenDlg::OnError(int code) {
    if (code == kComponentFailed)
        ShowMsgBox(std::wstring(), 11);
    else if (code == kComponentMissing)
        ShowFailure(ComponentFailureText(Processor().ComponentFailure()));
    else if (code == kStoreWriteFailed)
        ShowFailure(StoreWriteFailedText());
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
        const int tab = static_cast<int>(wparam);
        // Without the component nothing was analysed: its box says why,
        // instead of a summary of no files.
        if (Processor().HasComponent())
            ShowSummary(tab);
        if (tab < 2)
            RefreshOkButton(tab); // the last rows' refresh may still wait for its timer
        ShowIntakeNotices(tab);
        return true;
    }
    for (int tab = 0; tab < 2; ++tab) {
        if (m_tabs[tab].refresh.Handle(message, wparam, [this, tab] { RefreshOkButton(tab); }))
            return true;
    }
    if (m_operatedUpdate.Handle(message, wparam, [this] { AddOperatedRows(); }))
        return true;
    if (message == kListLinkClick) {
        OnLinkClicked(static_cast<int>(wparam), static_cast<int>(lparam));
        return true;
    }
    if (message == RowCheckChangedMessage()) {
        RefreshSelectAll(static_cast<int>(wparam) == kListIds[1] ? 1 : 0);
        return true;
    }
    switch (message) {
    case kOperatedLoaded:
        TakeLoadedRows();
        return true;
    case kShowIntakeNotices:
        ShowIntakeNotices(static_cast<int>(wparam));
        return true;
    case kStartProblems:
        ShowStartProblems();
        return true;
    case kCommitEnded:
        EndCommit(static_cast<int>(wparam));
        return true;
    case kShowBadge:
        if (CTwWindow* text = FindById(kBadgeText)) {
            text->SetText(BadgeText(static_cast<int>(wparam)));
            text->RequestRepaint();
        }
        ShowElement(kBadge, true);
        return true;
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
