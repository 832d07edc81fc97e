#pragma once
// The tool's main window (layout 101): the whitelist and blacklist tabs
// with their pending lists, the operated-files tab with what the store
// holds, the badge, the summaries and the PE-format tips. It owns the file
// processor and is its callback: reports arrive on the worker threads that
// make them. A report changes the row tables at once and announces what the
// window's thread is to show; no report waits for that thread, which
// updates the screen a bounded number of times per second.
//
// The processor is made ready and the store read on a worker while the
// window shows; drops and commits made meanwhile wait for it on their own
// workers, and the operated tab fills when the store has answered.

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/OperatedRows.h"
#include "app/ShellDrops.h"
#include "app/WardenTexts.h"
#include "common/CriticalSection.h"
#include "common/Handles.h"
#include "intake/FileProcessor.h"
#include "intake/IntakeWorkers.h"
#include "intake/IWardenCallback.h"
#include "ui/engine/CTwDialogHost.h"
#include "ui/windows/CListViewCtrlEx.h"
#include "ui/windows/QPeFormatTipDlg.h"

class QUserWardenDlg : public CTwDialogImpl<QUserWardenDlg>,
                       public CWHRoundRectFrameHelper<QUserWardenDlg>,
                       public IWardenCallback {
public:
    enum { IDD = 101 };

    // `storePath` empty: UserSign.dat beside the program. The store waits
    // this long for another program's lock before a write fails.
    explicit QUserWardenDlg(std::wstring storePath = std::wstring(),
                            int storeBusyTimeoutMs = SqlDatabase::kDefaultBusyTimeoutMs);
    ~QUserWardenDlg();

    CListViewCtrlEx& List(int tab) { return m_lists[tab]; }
    FileProcessor& Processor() { return m_work->processor; }
    int CurrentTab();
    bool BusyWithDrop() const { return m_work->dropBusy.IsBusy(); }
    bool BusyWithCommit(int tab) const { return m_work->commitBusy[tab].IsBusy(); }
    // True once the store's entries are on the operated tab.
    bool OperatedLoaded() const { return m_operatedLoaded; }

    // The window's message box, on the calling thread, owned by the window.
    int ShowMsgBox(const std::wstring& text, int mode);

    // Before the window is made (tests): the component library to load (see
    // FileProcessor::SetComponentLibrary) and the function that lets drops
    // through the system's message filter.
    void SetComponentLibrary(std::wstring nameOrPath) {
        m_componentLibrary = std::move(nameOrPath);
    }
    void SetMessageFilter(MessageFilterFn filter) { m_messageFilter = filter; }

    // IWardenCallback, called on the worker that reports.
    int Reserved0() override { return 0; }
    int OnFileAnalysed(const FileAnalysisRecord* record) override;
    int Reserved2(int) override { return 0; }
    int OnTrustedItemBegin(const char* md5) override { return ItemBegin(0, md5); }
    int OnBlackItemBegin(const char* md5) override { return ItemBegin(1, md5); }
    int OnTrustedItemDone(const char* md5) override { return ItemDone(0, md5); }
    int OnBlackItemDone(const char* md5) override { return ItemDone(1, md5); }
    int OnTrustedBatchDone(int count) override { return BatchDone(count); }
    int OnBlackBatchDone(int count) override { return BatchDone(count); }
    int OnError(int code) override;

protected:
    bool OnViewNotify(NMHDR& header, LRESULT& result) override;
    bool OnDialogMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    struct PendingTab {
        explicit PendingTab(WPARAM tab) : refresh(kRefreshTabMessage, tab, 0x5701 + tab) {}
        std::atomic<int> rowsAdded{0};
        bool okEnabled = false;
        bool allChecked = false;
        std::optional<SelectAllState> selectAllShown; // as last applied to the elements
        std::atomic<int> accepted{0};
        std::atomic<int> refused{0};
        CoalescedUpdate refresh; // OK button and select-all box
        // The duplicates and the unreadable files of the current intake: the
        // first one's name (and why it could not be read) and how many.
        CriticalSection noticeLock;
        std::wstring firstDuplicate;
        int duplicates = 0;
        std::wstring firstUnreadable;
        DWORD firstReadError = 0;
        int unreadable = 0;
        std::vector<std::string> committing; // the last commit's MD5s (window's thread)
    };
    static constexpr UINT kRefreshTabMessage = WM_APP + 1;

    void Start();
    void CreateLists();
    void StartLoading();
    void TakeLoadedRows();
    void AddOperatedRows();
    void ResetNotices(PendingTab& pending);
    // The boxes of an intake's end: duplicates, then unreadable files.
    void ShowIntakeNotices(int tab);
    void ShowFailure(const std::wstring& text);
    // The message box with a text already prepared; its answer.
    int RunBox(const std::wstring& text, int mode);
    // The boxes of a start that found the component or the store unusable.
    void ShowStartProblems();
    void EndCommit(int tab);
    void SwitchTab(int tab);
    void OnDrop(HDROP drop);
    void OpenFilesDialog();
    void Commit(int tab);
    void SelectAll(int tab);
    void RefreshSelectAll(int tab);
    void RefreshOkButton(int tab);
    void ShowSummary(int tab);
    void ToggleFormatTip(int tab);
    void OnLinkClicked(int row, int column);
    void RemoveOperated(int row);
    void SetEnabled(int id, bool enabled);
    int ItemBegin(int tab, const char* md5);
    int ItemDone(int tab, const char* md5);
    int BatchDone(int count);
    bool Reflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // What the workers use: shared with them, so that a worker still
    // finishing when the window goes away touches nothing freed (the
    // processor itself refuses calls once it is shut down).
    struct WorkerState {
        FileProcessor processor;
        BusyFlag dropBusy;
        BusyFlag pickBusy;
        BusyFlag commitBusy[2];
        // Set once the processor is initialised and the store read.
        UniqueHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        CriticalSection loadedLock;
        std::unique_ptr<ListRowTable> loadedRows; // handed to the window's thread
        void WaitUntilReady() const { WaitForSingleObject(ready.Get(), INFINITE); }
    };

    std::wstring m_storePath;
    int m_storeBusyTimeoutMs;
    std::wstring m_componentLibrary = kDetectionComponentName;
    MessageFilterFn m_messageFilter = SystemMessageFilter();
    std::shared_ptr<WorkerState> m_work;
    CListViewCtrlEx m_lists[3];
    PendingTab m_tabs[2] = {PendingTab(0), PendingTab(1)};
    // Entries done by commits, waiting for the window's thread.
    CriticalSection m_operatedLock;
    std::vector<OperatedEntry> m_operatedQueue;
    CoalescedUpdate m_operatedUpdate;
    std::atomic<bool> m_operatedLoaded{false};
    std::atomic<int> m_intakeTab{0};
    PeTipWindowSlot m_tips[2] = {MakePeTipWindowSlot(), MakePeTipWindowSlot()};
    bool m_tipShown[2] = {false, false};
    int m_shownTab = 0;
};
