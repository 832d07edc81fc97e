#pragma once
// The operated-files tab of the main window: the store's entries, loaded at
// start; the entries commits place; removals.
//
// Every change of the tab arrives as an OperatedEvent in one queue, pushed
// in the order the processor made the changes (a commit's done reports and
// a removal's end are made in their turns), and the window's thread applies
// them in that order: the tab ends as the store and the component do.
//
// A removal acts on the entry's MD5 and list, not on a row's place: the link
// click carries its row's key and group. The question names the file;
// after it, the row shows "正在处理" and the removal runs on a worker in its
// turn, after the chunk in progress, on the list the user confirmed only.
// The rows then show where the store holds the file: the row leaves when
// that list no longer holds it, a row of the other list stays; a removal
// that failed keeps it, and one that found the file gone from that list
// meanwhile changes nothing; a box says why.

#include <atomic>
#include <memory>
#include <string>

#include "app/WardenSurface.h"
#include "app/WardenWork.h"
#include "ui/windows/CListViewCtrlEx.h"

class OperatedTabController {
public:
    OperatedTabController(WardenSurface& surface, std::shared_ptr<WardenWork> work,
                          CListViewCtrlEx& list);

    // Window's thread.
    void Attach(HWND window);
    // The rows the start-up worker built, handed over.
    void TakeLoadedRows();
    bool Loaded() const { return m_loaded; }
    // The "恢复" link of the entry of `key` in `group` was clicked: asks,
    // then removes it from that group's list.
    void RequestRemoval(const std::string& key, int group);
    // The update's own message or timer: handled.
    bool HandleEvents(UINT message, WPARAM wparam);
    // Removals asked for and not yet ended on the window's thread.
    int RemovalsRunning() const { return m_removalsRunning; }

private:
    void ApplyEvents();
    // The confirmed removal of the entry in `row` on a worker; `ended`
    // names it and its list, and comes back when the removal ends.
    void StartRemoval(int row, OperatedEvent ended);
    // The rows after a removal's end; true when a box is to say why.
    bool ApplyRemovalEnd(ListRowTable& rows, const OperatedEvent& event);
    void ShowRemovalFailure(const OperatedEvent& event);

    WardenSurface& m_surface;
    std::shared_ptr<WardenWork> m_work;
    CListViewCtrlEx& m_list;
    std::atomic<bool> m_loaded{false};
    int m_removalsRunning = 0;
};
