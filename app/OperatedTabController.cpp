#include "app/OperatedTabController.h"

#include <utility>
#include <vector>

#include "app/WardenTexts.h"
#include "common/Invariant.h"
#include "intake/ComponentListKind.h"
#include "intake/IntakeWorkers.h"

namespace {

// The window's thread applies at most this many changes per message, so
// that it answers other messages meanwhile.
constexpr std::size_t kEventsPerTurn = 2048;

// The rows show where the store holds the file after these outcomes.
bool RowsFollowStore(RemovalResult result) {
    // NotHeld: held by neither any more, another program (userlistctl)
    // took it off; NotOnList: a change before it moved or removed it.
    return result == RemovalResult::Removed || result == RemovalResult::NotHeld ||
           result == RemovalResult::NotOnList;
}

} // namespace

OperatedTabController::OperatedTabController(WardenSurface& surface,
                                             std::shared_ptr<WardenWork> work,
                                             CListViewCtrlEx& list)
    : m_surface(surface), m_work(std::move(work)), m_list(list) {}

void OperatedTabController::Attach(HWND window) {
    m_work->operatedUpdate.Attach(window);
    ListRowTable groups;
    AddOperatedGroups(groups);
    m_list.TakeRows(groups);
}

void OperatedTabController::TakeLoadedRows() {
    std::unique_ptr<ListRowTable> rows;
    {
        ScopedLock lock(m_work->loadedLock);
        rows = std::move(m_work->loadedRows);
    }
    if (!rows)
        return;
    m_list.TakeRows(*rows);
    m_loaded = true;
}

bool OperatedTabController::HandleEvents(UINT message, WPARAM wparam) {
    return m_work->operatedUpdate.Handle(message, wparam, [this] { ApplyEvents(); });
}

void OperatedTabController::ApplyEvents() {
    bool more = false;
    const std::vector<OperatedEvent> events = m_work->operatedEvents.Take(kEventsPerTurn, more);
    std::vector<const OperatedEvent*> failures;
    {
        const CListViewCtrlEx::RowsEdit edit = m_list.EditRows();
        ListRowTable& rows = *edit;
        ScopedLock lock(rows.Lock());
        for (const OperatedEvent& event : events) {
            if (event.kind == OperatedEvent::Kind::Place) {
                PlaceOperatedEntry(rows, event.entry);
                continue;
            }
            UW_INVARIANT(m_removalsRunning > 0); // each removal that started ends once
            --m_removalsRunning;
            if (ApplyRemovalEnd(rows, event))
                failures.push_back(&event);
        }
    }
    if (more)
        m_work->operatedUpdate.Request();
    // The boxes come once the whole batch is in place: changes applied
    // while a box is open are later ones.
    for (const OperatedEvent* failure : failures)
        ShowRemovalFailure(*failure);
}

bool OperatedTabController::ApplyRemovalEnd(ListRowTable& rows, const OperatedEvent& event) {
    const RemovalResult result = event.outcome.result;
    if (RowsFollowStore(result)) {
        ShowStoredLists(rows, event.entry, event.outcome.stored);
        return result == RemovalResult::NotOnList;
    }
    // Nothing changed: the row gets its link back, folded or not.
    const int group = GroupOf(event.entry.list);
    ScopedLock lock(rows.Lock());
    const ListRow* row = rows.RowInGroup(event.entry.md5, group);
    if (row && row->CellNow(2).text == kWorkingText)
        rows.SetCellInGroup(event.entry.md5, group, 2, kCellLink, kRestoreLinkText);
    return true;
}

void OperatedTabController::ShowRemovalFailure(const OperatedEvent& event) {
    const FileProcessor& processor = m_work->processor;
    const std::wstring name = PrepareMsgBoxText(event.entry.name, BoxMode::kFailure);
    switch (event.outcome.result) {
    case RemovalResult::ComponentRefused:
        m_surface.ShowMsgBox(std::wstring(), BoxMode::kNoCloudEngine);
        break;
    case RemovalResult::ComponentNotSaved:
    case RemovalResult::StoreFailed:
        m_surface.RunBox(RemovalFailedText(name, event.outcome.result == RemovalResult::StoreFailed,
                                           processor.StorePath()),
                         BoxMode::kFailure);
        break;
    case RemovalResult::StoreUnreadable:
        m_surface.RunBox(RemovalUnreadText(name, processor.StorePath()), BoxMode::kFailure);
        break;
    case RemovalResult::NotOnList:
        m_surface.RunBox(RemovalNotOnListText(name, ComponentKindOf(event.entry.list),
                                              event.outcome.stored.trusted,
                                              event.outcome.stored.black),
                         BoxMode::kFailure);
        break;
    case RemovalResult::Unavailable: // the processor's own report names the cause
    case RemovalResult::Removed:
    case RemovalResult::NotHeld:
        break;
    }
}

void OperatedTabController::RequestRemoval(const std::string& key, int group) {
    if (group != 0 && group != 1)
        return;
    OperatedEvent ended;
    ended.kind = OperatedEvent::Kind::RemovalEnded;
    ended.entry.md5 = key;
    ended.entry.list = group == 0 ? ListKind::Trusted : ListKind::Black;
    {
        ScopedLock lock(m_list.Rows().Lock());
        const int row = m_list.Rows().FindInGroup(key, group);
        if (row < 0 || m_list.CellText(row, 2) != kRestoreLinkText)
            return; // gone, or being removed
        ended.entry.name = m_list.CellText(row, 0);
        ended.entry.path = m_list.Rows().Row(row)->Tip();
    }
    const int mode = group == 0 ? BoxMode::kRemoveTrusted : BoxMode::kRemoveBlack;
    if (m_surface.ShowMsgBox(ended.entry.name, mode) == BoxResult::kCancel)
        return;
    // The question's loop let other changes in: the key and group say where
    // the row is now. A change that took the file off the list asked about
    // meanwhile leaves nothing to remove: the user is told.
    const int row = m_list.Rows().FindInGroup(key, group);
    if (row < 0) {
        const ListSet listed = ListedGroupsOf(m_list.Rows(), key);
        m_surface.RunBox(
            RemovalNotOnListText(PrepareMsgBoxText(ended.entry.name, BoxMode::kFailure),
                                 SignatureListOfGroup(group), listed.trusted, listed.black),
            BoxMode::kFailure);
        return;
    }
    if (m_list.CellText(row, 2) != kRestoreLinkText)
        return; // a removal of it asked for meanwhile runs
    StartRemoval(row, std::move(ended));
}

void OperatedTabController::StartRemoval(int row, OperatedEvent ended) {
    m_list.SetCell(row, 2, kCellText, kWorkingText, true);
    ++m_removalsRunning;
    const std::shared_ptr<WardenWork> work = m_work;
    const SignatureListKind list = ComponentKindOf(ended.entry.list);
    if (!StartDetachedWorker([work, list, ended = std::move(ended)]() mutable {
            work->WaitUntilReady();
            // Queued in the removal's turn: in order with the done reports
            // of the chunks before and after it.
            work->processor.RemoveEntry(ended.entry.md5, list, [&](const RemovalOutcome& outcome) {
                ended.outcome = outcome;
                work->operatedEvents.Push(std::move(ended));
                work->operatedUpdate.Request();
            });
        })) {
        --m_removalsRunning;
        m_list.SetCell(row, 2, kCellLink, kRestoreLinkText, true);
    }
}
