#pragma once
// The tool's main window (layout 101): the whitelist and blacklist tabs
// with their pending lists, the operated-files tab with what the store
// holds, the badge, the summaries and the PE-format tips. It owns the file
// processor and is its callback: reports arrive on the worker threads that
// make them.

#include <atomic>
#include <memory>
#include <string>

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

    // `storePath` empty: UserSign.dat beside the program.
    explicit QUserWardenDlg(std::wstring storePath = std::wstring());
    ~QUserWardenDlg();

    CListViewCtrlEx& List(int tab) { return m_lists[tab]; }
    FileProcessor& Processor() { return m_work->processor; }
    int CurrentTab();
    bool BusyWithDrop() const { return m_work->dropBusy.IsBusy(); }
    bool BusyWithCommit(int tab) const { return m_work->commitBusy[tab].IsBusy(); }

    // The window's message box, on the calling thread, owned by the window.
    int ShowMsgBox(const std::wstring& text, int mode);

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
        std::atomic<int> rowsAdded{0};
        bool okEnabled = false;
        bool allChecked = false;
        std::atomic<int> accepted{0};
        std::atomic<int> refused{0};
    };

    void Start();
    void CreateLists();
    void LoadOperatedList();
    void AddOperatedRow(int group, const std::wstring& name, const std::string& md5,
                        const std::wstring& path);
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
    };

    std::wstring m_storePath;
    std::shared_ptr<WorkerState> m_work;
    CListViewCtrlEx m_lists[3];
    PendingTab m_tabs[2];
    std::atomic<int> m_intakeTab{0};
    PeTipWindowSlot m_tips[2] = {MakePeTipWindowSlot(), MakePeTipWindowSlot()};
    bool m_tipShown[2] = {false, false};
    int m_shownTab = 0;
};
