#pragma once
// The tool's main window (layout 101): binds the layout's elements to the
// two pending tabs' controllers and the operated tab's controller, routes
// messages and the processor's reports to them, and shows the boxes of
// failures. It owns the file processor (in the work it shares with its
// workers) and is its callback: reports arrive on the worker threads that
// make them and go straight to the controller of their tab; no report waits
// for the window's thread, which updates the screen a bounded number of
// times per second.
//
// The processor is made ready, the store read and the component reconciled
// with it on a worker while the window shows; drops, commits and removals
// made meanwhile wait for it on their own workers, and the operated tab
// fills when the store has answered.
//
// Its messages and timers are those of app/WardenMessages.h.

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "app/OperatedTabController.h"
#include "app/PendingTabController.h"
#include "app/ShellDrops.h"
#include "app/WardenSurface.h"
#include "app/WardenWork.h"
#include "intake/IWardenCallback.h"
#include "ui/windows/CTwShadowedDialogImpl.h"
#include "ui/windows/CListViewCtrlEx.h"
#include "ui/windows/QPeFormatTipDlg.h"

class QUserWardenDlg : public CTwShadowedDialogImpl<QUserWardenDlg>,
                       public CWHRoundRectFrameHelper<QUserWardenDlg>,
                       public IWardenCallback,
                       private WardenSurface {
public:
    enum { IDD = 101 };

    // `storePath` empty: UserSign.dat beside the program. The store waits
    // this long for another program's lock before a write fails.
    explicit QUserWardenDlg(std::wstring storePath = std::wstring(),
                            int storeBusyTimeoutMs = SqlDatabase::kDefaultBusyTimeoutMs);
    ~QUserWardenDlg();

    // After the window has closed: stops the work in progress (at its next
    // file or chunk; waits for another program's lock end at once) and
    // waits for it at most `milliseconds`. False when some of it still runs
    // then, inside the component: the caller ends the process, and what was
    // not done is done at the next start.
    bool EndWork(DWORD milliseconds);

    CListViewCtrlEx& List(int tab) { return m_lists[tab]; }
    FileProcessor& Processor() { return m_work->processor; }
    int CurrentTab();
    bool BusyWithDrop() const { return m_work->dropBusy.IsBusy(); }
    // A commit of the tab has not yet ended on the window's thread.
    bool BusyWithCommit(int tab) const { return m_pending[tab].CommitsRunning() != 0; }
    // A removal has not yet ended on the window's thread.
    bool BusyWithRemoval() const { return m_operated.RemovalsRunning() != 0; }
    // True once the store's entries are on the operated tab.
    bool OperatedLoaded() const { return m_operated.Loaded(); }
    // True once the start-up work has ended: the store read and the
    // component reconciled with it (which holds the component's update lock
    // after the entries are shown).
    bool StartupEnded() const { return m_work->IsReady(); }

    // The window's message box, on the calling thread, owned by the window.
    int ShowMsgBox(const std::wstring& text, int mode) override;

    // Before the window is made (tests): the component library to load (see
    // FileProcessor::SetComponentLibrary) and the function that lets drops
    // through the system's message filter.
    void SetComponentLibrary(std::wstring nameOrPath) {
        m_componentLibrary = std::move(nameOrPath);
    }
    void SetMessageFilter(MessageFilter filter) { m_messageFilter = std::move(filter); }

    // IWardenCallback, called on the worker that reports.
    int Reserved0() override { return 0; }
    int OnFileAnalysed(const FileAnalysisRecord* record) override;
    int Reserved2(int) override { return 0; }
    // The rows a commit begins were taken from the user when OK was pressed.
    int OnTrustedItemBegin(const char*) override { return 0; }
    int OnBlackItemBegin(const char*) override { return 0; }
    int OnTrustedItemDone(const char* md5) override { return ItemDone(0, md5); }
    int OnBlackItemDone(const char* md5) override { return ItemDone(1, md5); }
    int OnTrustedBatchDone(int count) override { return BatchDone(count); }
    int OnBlackBatchDone(int count) override { return BatchDone(count); }
    int OnError(int code) override;

protected:
    bool OnViewNotify(NMHDR& header, LRESULT& result) override;
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    // WardenSurface
    HWND Window() const override { return Hwnd(); }
    void EnableElement(int id, bool enabled) override;
    void ShowElementById(int id, bool shown) override { ShowElement(id, shown); }
    void SetElementSub(int id, const char* sub) override { SetElementAttribute(id, "sub", sub); }
    void CheckElement(int id, bool checked) override;
    void ReplaceMarkup(int id, const std::string& markup) override {
        View().ReplaceRichMarkup(id, markup);
    }
    int RunBox(const std::wstring& text, int mode) override;

    void Start();
    void CreateLists();
    void StartLoading();
    void ShowFailure(const std::wstring& text);
    // The boxes of a start that found the component or the store unusable.
    void ShowStartProblems();
    // The box of a failure a worker reported (OnError's code).
    void ShowReportedFailure(int code);
    void SwitchTab(int tab);
    void OnDrop(HDROP drop);
    void OpenFilesDialog();
    void ToggleFormatTip(int tab);
    void OnLinkClicked(int column);
    // Ctrl+A (`selectAll`) or Enter in the list of control id `listId`.
    void OnListKey(int listId, bool selectAll);
    int ItemDone(int tab, const char* md5);
    int BatchDone(int count);
    bool ReflectNotifications(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    std::wstring m_storePath;
    int m_storeBusyTimeoutMs;
    std::wstring m_componentLibrary = kDetectionComponentName;
    MessageFilter m_messageFilter = SystemMessageFilter();
    std::shared_ptr<WardenWork> m_work;
    CListViewCtrlEx m_lists[3];
    PendingTabController m_pending[2];
    OperatedTabController m_operated;
    std::atomic<int> m_intakeTab{0};
    PeTipWindowSlot m_tips[2] = {MakePeTipWindowSlot(), MakePeTipWindowSlot()};
    bool m_tipShown[2] = {false, false};
    int m_shownTab = 0;
};
