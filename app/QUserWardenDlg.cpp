#include "app/QUserWardenDlg.h"

#include <commdlg.h>
#include <olectl.h> // OCM__BASE: notifications reflected to their control
#include <shellapi.h>
#include <shlobj.h>

#include "app/WardenElements.h"
#include "app/WardenMessages.h"
#include "app/WardenTexts.h"
#include "store/ORBDBSqliteConn.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/CTwWindow.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/windows/QMsgBoxDlg.h"
#include "ui/windows/QPeFormatTipDlg.h"

namespace {

using namespace WardenElement;

constexpr PendingTabController::Elements kPendingElements[2] = {
    {kWhitelistSelectAll, kWhitelistSelectAllImage, kWhitelistSummary, kWhitelistSummaryLink,
     kWhitelistOk},
    {kBlacklistSelectAll, kBlacklistSelectAllImage, kBlacklistSummary, kBlacklistSummaryLink,
     kBlacklistOk},
};

// The lists' names for screen readers, after their tabs' titles.
const wchar_t* const kListNames[3] = {L"文件加白列表", L"文件加黑列表", L"已操作文件列表"};

using namespace WardenMessage;

} // namespace

QUserWardenDlg::QUserWardenDlg(std::wstring storePath, int storeBusyTimeoutMs)
    : m_storePath(std::move(storePath)), m_storeBusyTimeoutMs(storeBusyTimeoutMs),
      m_work(std::make_shared<WardenWork>()),
      m_pending{PendingTabController(0, kPendingElements[0], *this, m_work, m_lists[0]),
                PendingTabController(1, kPendingElements[1], *this, m_work, m_lists[1])},
      m_operated(*this, m_work, m_lists[2]) {}

QUserWardenDlg::~QUserWardenDlg() {
    // Work in progress stops at its next file or chunk and is waited for;
    // reports after this reach no window.
    m_work->processor.Shutdown();
}

bool QUserWardenDlg::EndWork(DWORD milliseconds) {
    return m_work->processor.Shutdown(milliseconds);
}

int QUserWardenDlg::CurrentTab() {
    auto* tabs = dynamic_cast<CTwTabCtrl*>(FindById(kTabControl));
    return tabs ? tabs->CurrentTab() : 0;
}

int QUserWardenDlg::ShowMsgBox(const std::wstring& text, int mode) {
    return RunBox(PrepareMsgBoxText(text, mode), mode);
}

int QUserWardenDlg::RunBox(const std::wstring& text, int mode) {
    QMsgBoxDlg box;
    box.SetMode(mode);
    box.SetText(text);
    return static_cast<int>(box.RunModal(Hwnd()));
}

// The text is shown as given: a failure names paths, which are not cut.
void QUserWardenDlg::ShowFailure(const std::wstring& text) {
    RunBox(text, BoxMode::kFailure);
}

void QUserWardenDlg::EnableElement(int id, bool enabled) {
    if (CTwWindow* element = FindById(id))
        element->ChangeStateWithRepaint(enabled ? 0 : kTwDisabled, enabled ? kTwDisabled : 0);
}

void QUserWardenDlg::CheckElement(int id, bool checked) {
    if (CTwWindow* element = FindById(id))
        element->ChangeStateWithRepaint(checked ? kTwChecked : 0, checked ? 0 : kTwChecked);
}

void QUserWardenDlg::CreateLists() {
    HWND view = View().Hwnd();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    for (int tab = 0; tab < 3; ++tab) {
        CListViewCtrlEx& list = m_lists[tab];
        list.Create(view, RECT{0, 0, 10, 10}, style, static_cast<UINT>(kLists[tab]));
        list.SetOwner(Hwnd());
        list.SetAccessibleName(kListNames[tab]);
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
    for (int tab = 0; tab < 2; ++tab) {
        EnableElement(kPendingElements[tab].okButton, false);
        m_pending[tab].Attach(Hwnd());
        m_pending[tab].RefreshOkButton();
    }
    DragAcceptFiles(Hwnd(), TRUE);
    // Run elevated (as it asks to be), the window gets no drop from an
    // Explorer that is not, unless the drop's messages are let through.
    AllowShellDrops(Hwnd(), m_messageFilter);
    m_intakeTab = 0;
    m_operated.Attach(Hwnd());
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
// operated rows there and hands them over by message, then puts what the
// store holds on the component's lists where a process cut short left it
// off.
void QUserWardenDlg::StartLoading() {
    const std::shared_ptr<WardenWork> work = m_work;
    const std::wstring storePath =
        m_storePath.empty() ? ORBDBSqliteConn::DefaultDatabasePath() : m_storePath;
    const int busyTimeoutMs = m_storeBusyTimeoutMs;
    HWND window = Hwnd();
    m_work->processor.SetComponentLibrary(m_componentLibrary);
    const bool started = StartDetachedWorker([work, storePath, busyTimeoutMs, window] {
        FileProcessor& processor = work->processor;
        processor.Initialize(storePath, busyTimeoutMs);
        auto rows = std::make_unique<ListRowTable>();
        bool read = true;
        BuildOperatedRows(*rows, [&processor, &read](ListKind list, const auto& place) {
            read = processor.VisitStoredEntries(list, place) && read;
        });
        const bool opened = processor.StoreState().problem != StoreProblem::CannotOpen;
        StartReport report;
        // A store that cannot be opened has its own box.
        report.storeUnreadable = opened && !read;
        {
            ScopedLock lock(work->loadedLock);
            work->loadedRows = std::move(rows);
        }
        // Posted before any commit can start: the rows are in place before
        // the first committed entry joins them.
        PostMessageW(window, kOperatedLoaded, 0, 0);
        if (opened && processor.HasComponent()) {
            const ReconcileResult reconciled = processor.ReconcileComponent();
            report.storeUnreadable = report.storeUnreadable || reconciled.storeUnreadable;
            report.reconcileFailed = reconciled.failed;
        }
        {
            ScopedLock lock(work->loadedLock);
            work->startReport = report;
        }
        if (!processor.HasComponent() || !processor.StoreState().Ok() || !report.Ok())
            PostMessageW(window, kStartProblems, 0, 0);
        SetEvent(work->ready.Get());
    });
    if (!started)
        SetEvent(m_work->ready.Get()); // the processor refuses work uninitialised
}

void QUserWardenDlg::ShowStartProblems() {
    const FileProcessor& processor = Processor();
    if (!processor.HasComponent())
        ShowFailure(ComponentFailureText(processor.ComponentFailure()));
    if (!processor.StoreState().Ok())
        ShowFailure(StoreFailureText(processor.StorePath(), processor.StoreState()));
    StartReport report;
    {
        ScopedLock lock(m_work->loadedLock);
        report = m_work->startReport;
    }
    if (report.storeUnreadable)
        ShowFailure(StartLoadFailedText(processor.StorePath()));
    if (report.reconcileFailed)
        ShowFailure(StartReconcileFailedText());
}

void QUserWardenDlg::ShowReportedFailure(int code) {
    if (code == kComponentFailed)
        ShowMsgBox(std::wstring(), BoxMode::kNoCloudEngine);
    else if (code == kComponentMissing)
        ShowFailure(ComponentFailureText(Processor().ComponentFailure()));
    else if (code == kStoreWriteFailed)
        ShowFailure(StoreWriteFailedText());
    else if (code == kComponentNotSaved)
        ShowFailure(ComponentNotSavedText());
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

void QUserWardenDlg::ToggleFormatTip(int tab) {
    m_tipShown[tab] = !m_tipShown[tab];
    if (HWND tip = m_tips[tab]->load())
        PostMessageW(tip, QPeFormatTipDlg::kShowMessage, m_tipShown[tab] ? 1 : 0, 0);
}

void QUserWardenDlg::OnDrop(HDROP drop) {
    if (!m_work->dropBusy.TryAcquire()) {
        DragFinish(drop);
        RunBox(DropWhileBusyText(), BoxMode::kNotice);
        return;
    }
    const int tab = CurrentTab();
    m_intakeTab = tab;
    if (tab < 2)
        m_pending[tab].BeginIntake(true);
    HWND window = Hwnd();
    const std::shared_ptr<WardenWork> work = m_work;
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
        m_pending[tab].BeginIntake(false);
    HWND window = Hwnd();
    const std::shared_ptr<WardenWork> work = m_work;
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

// The link's row is named by its key and group, taken with the click from
// the list that queued it first: the message names no list, and the tab
// shown may have changed since the click.
void QUserWardenDlg::OnLinkClicked(int column) {
    int clicked = -1;
    CListViewCtrlEx::ClickedLink earliest;
    for (int tab = 0; tab < 3; ++tab) {
        CListViewCtrlEx::ClickedLink link;
        if (m_lists[tab].PeekClickedLink(link) && (clicked < 0 || link.order < earliest.order)) {
            clicked = tab;
            earliest = link;
        }
    }
    if (clicked < 0)
        return;
    const CListViewCtrlEx::ClickedLink link = m_lists[clicked].TakeClickedLink();
    if (column != 2 || link.key.empty())
        return;
    if (clicked == 2)
        m_operated.RequestRemoval(link.key, link.group);
    else
        m_pending[clicked].DeleteRow(link.key);
}

// Ctrl+A and Enter in a pending tab's list stand for clicks on the tab's
// select-all box and OK button, made as the mouse makes them: a disabled
// element takes none. The operated tab has neither; there the keys do
// nothing.
void QUserWardenDlg::OnListKey(int listId, bool selectAll) {
    for (int tab = 0; tab < 2; ++tab) {
        if (listId != kLists[tab] || tab != CurrentTab())
            continue;
        const PendingTabController::Elements& elements = kPendingElements[tab];
        if (CTwWindow* element = FindById(selectAll ? elements.selectAll : elements.okButton))
            View().ClickElement(element->Handle());
    }
}

int QUserWardenDlg::OnFileAnalysed(const FileAnalysisRecord* record) {
    const int tab = m_intakeTab;
    if (record && tab < 2)
        m_pending[tab].OnFileAnalysed(*record);
    return 0;
}

int QUserWardenDlg::ItemDone(int tab, const char* md5) {
    m_pending[tab].ItemDone(md5);
    return 0;
}

int QUserWardenDlg::BatchDone(int count) {
    if (count > 0)
        PostMessageW(Hwnd(), kShowBadge, static_cast<WPARAM>(count), 0);
    return 0;
}

// Shown on the window's thread: a worker never opens a box, and once the
// window has gone the post is dropped and nothing opens.
int QUserWardenDlg::OnError(int code) {
    if (code != kPathNotStorable)
        PostMessageW(Hwnd(), kShowFailure, static_cast<WPARAM>(code), 0);
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
    for (int tab = 0; tab < 2; ++tab) {
        const PendingTabController::Elements& elements = kPendingElements[tab];
        if (item.itemId == elements.okButton) {
            m_pending[tab].Commit();
            return true;
        }
        if (item.itemId == elements.selectAll) {
            m_pending[tab].SelectAll();
            return true;
        }
        if (item.itemId == elements.summaryLink) {
            ToggleFormatTip(tab);
            return true;
        }
    }
    switch (item.itemId) {
    case kCloseButton:
        EndModal(2);
        return true;
    case kOpenFiles:
    case kOpenFilesOnWhitelist:
        OpenFilesDialog();
        return true;
    default:
        return false;
    }
}

bool QUserWardenDlg::ReflectNotifications(UINT message, WPARAM wparam, LPARAM lparam,
                                          LRESULT& result) {
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
    result = SendMessageW(control, OCM__BASE + message, wparam, lparam);
    return true;
}

bool QUserWardenDlg::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                          LRESULT& result) {
    const int tabOf = static_cast<int>(wparam);
    if (message == WM_INTAKE_DONE) {
        if (tabOf >= 0 && tabOf < 2)
            m_pending[tabOf].EndIntake();
        return true;
    }
    for (PendingTabController& pending : m_pending) {
        if (pending.HandleRefresh(message, wparam))
            return true;
    }
    if (m_operated.HandleEvents(message, wparam))
        return true;
    if (message == kListLinkClick) {
        OnLinkClicked(static_cast<int>(lparam));
        return true;
    }
    if (message == kListSelectAllKey || message == kListEnterKey) {
        OnListKey(tabOf, message == kListSelectAllKey);
        return true;
    }
    if (message == RowCheckChangedMessage()) {
        m_pending[tabOf == kBlacklistList ? kBlacklistTab : kWhitelistTab].RefreshSelectAll();
        return true;
    }
    switch (message) {
    case kOperatedLoaded:
        m_operated.TakeLoadedRows();
        return true;
    case kShowIntakeNotices:
        if (tabOf >= 0 && tabOf < 2)
            m_pending[tabOf].ShowIntakeNotices();
        return true;
    case kStartProblems:
        ShowStartProblems();
        return true;
    case kShowFailure:
        ShowReportedFailure(tabOf);
        return true;
    case kCommitEnded:
        if (tabOf >= 0 && tabOf < 2)
            m_pending[tabOf].EndCommit();
        return true;
    case kShowBadge:
        if (CTwWindow* text = FindById(kBadgeText)) {
            text->SetText(BadgeText(tabOf));
            text->RequestRepaint();
        }
        ShowElement(kBadge, true);
        return true;
    case WM_SYSCOMMAND:
        // Alt+F4 and the taskbar's Close end the window as its close button
        // does (the host would take WM_CLOSE for a cancel, which it has not).
        if ((wparam & 0xFFF0) != SC_CLOSE)
            return false;
        EndModal(2);
        result = 0;
        return true;
    case WM_INITDIALOG:
        Start();
        return false;
    case WM_DROPFILES:
        OnDrop(reinterpret_cast<HDROP>(wparam));
        return true;
    default:
        return ReflectNotifications(message, wparam, lparam, result);
    }
}
