#pragma once
// One pending tab of the main window (whitelist or blacklist): the rows an
// intake adds, their boxes, the select-all box and OK button, the summary
// and the intake's notices, and the commits OK starts.
//
// Threads: intake and commit reports arrive on workers and change the row
// table at once (under its lock) and the atomics below; everything else
// runs on the window's thread. A commit takes its rows when OK is pressed,
// in the same step that gathers them: they lose their boxes and "删除"
// links and show "正在处理", so that nothing the user does afterwards
// changes what the commit holds. Rows a commit did not do come back, with
// their boxes, when that commit (and no other) ends.

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/WardenSurface.h"
#include "app/WardenTexts.h"
#include "app/WardenWork.h"
#include "common/CriticalSection.h"
#include "intake/FileAnalysisRecord.h"
#include "ui/windows/CListViewCtrlEx.h"

class PendingTabController {
public:
    // Element ids of one tab.
    struct Elements {
        int selectAll;
        int selectAllImage;
        int summary;
        int summaryLink;
        int okButton;
    };

    PendingTabController(int tab, const Elements& elements, WardenSurface& surface,
                         std::shared_ptr<WardenWork> work, CListViewCtrlEx& list);

    // Window's thread.
    void Attach(HWND window) { m_refresh.Attach(window); }
    // A new intake on this tab: its notices start again, and its counts
    // too when `countsAgain` (a drop; the open dialog adds to them).
    void BeginIntake(bool countsAgain);
    // The intake's end: summary, OK button and notices.
    void EndIntake();
    void ShowIntakeNotices();
    void Commit();
    // A commit of this tab returned (its MD5s wait in the work's queue).
    void EndCommit();
    void DeleteRow(const std::string& key);
    void SelectAll();
    void RefreshSelectAll();
    void RefreshOkButton();
    // The refresh's own message or timer: handled.
    bool HandleRefresh(UINT message, WPARAM wparam);
    // Commits started and not yet ended on the window's thread.
    int CommitsRunning() const { return m_commitsRunning; }

    // Any thread: the processor's reports.
    // (A begin report changes nothing: OK already took the row.) The done
    // report acts on the row of its MD5 in one step under the rows' lock.
    void OnFileAnalysed(const FileAnalysisRecord& record);
    void ItemDone(const char* md5);

private:
    // The checked rows, taken from the user in one step under the rows'
    // lock; rows whose path the store cannot record are marked instead.
    std::vector<CommitEntry> TakeCheckedRows();
    // The facts of a pending row's file, kept until its commit is done.
    std::shared_ptr<const EntryFacts> FactsOf(const std::string& md5);
    void GiveBack(const std::vector<std::string>& md5s);
    void ShowSummary();

    const int m_tab;
    const Elements m_elements;
    WardenSurface& m_surface;
    std::shared_ptr<WardenWork> m_work;
    CListViewCtrlEx& m_list;
    CoalescedUpdate m_refresh; // OK button and select-all box

    std::atomic<int> m_rowsAdded{0};
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_refused{0};
    bool m_okEnabled = false;
    bool m_allChecked = false;
    std::optional<SelectAllState> m_selectAllShown; // as last applied to the elements
    int m_commitsRunning = 0;

    // The duplicates and the unreadable files of the current intake: the
    // first one's name (and why it could not be read) and how many.
    CriticalSection m_noticeLock;
    std::wstring m_firstDuplicate;
    int m_duplicates = 0;
    std::wstring m_firstUnreadable;
    DWORD m_firstReadError = 0;
    int m_unreadable = 0;

    // The facts read of each pending row's file, by MD5, until its commit
    // takes them (the drop worker adds, the window's thread takes).
    CriticalSection m_factsLock;
    std::unordered_map<std::string, std::shared_ptr<const EntryFacts>> m_facts;
};
