#include "app/OperatedTabController.h"

#include <utility>
#include <vector>

#include "app/WardenTexts.h"
#include "common/Invariant.h"
#include "intake/IntakeWorkers.h"

namespace {

// The window's thread applies at most this many changes per message, so
// that it answers other messages meanwhile.
constexpr std::size_t kEventsPerTurn = 2048;

bool Succeeded(RemovalResult result) {
    // Held by neither any more: another program (userlistctl) took it off.
    return result == RemovalResult::Removed || result == RemovalResult::NotHeld;
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
            if (Succeeded(event.outcome.result)) {
                RemoveOperatedEntry(rows, event.entry.md5);
                continue;
            }
            const int row = rows.FindByKey(event.entry.md5);
            if (row >= 0 && rows.CellText(row, 2) == kWorkingText)
                rows.SetCell(row, 2, kCellLink, kRestoreLinkText);
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

void OperatedTabController::ShowRemovalFailure(const OperatedEvent& event) {
    const FileProcessor& processor = m_work->processor;
    switch (event.outcome.result) {
    case RemovalResult::ComponentRefused:
        m_surface.ShowMsgBox(std::wstring(), BoxMode::kNoCloudEngine);
        break;
    case RemovalResult::ComponentNotSaved:
    case RemovalResult::StoreFailed:
        m_surface.RunBox(RemovalFailedText(event.entry.name,
                                           event.outcome.result == RemovalResult::StoreFailed,
                                           processor.StorePath()),
                         BoxMode::kFailure);
        break;
    case RemovalResult::Unavailable: // the processor's own report names the cause
    case RemovalResult::Removed:
    case RemovalResult::NotHeld:
        break;
    }
}

void OperatedTabController::RequestRemoval(const std::string& key) {
    int row = m_list.FindByKey(key);
    const ListRow* entry = row < 0 ? nullptr : m_list.Rows().Row(row);
    if (!entry || entry->IsGroup() || m_list.CellText(row, 2) != kRestoreLinkText)
        return; // gone, or being removed
    const bool trusted = entry->group == GroupOf(ListKind::Trusted);
    if (m_surface.ShowMsgBox(std::wstring(), trusted ? BoxMode::kRemoveTrusted
                                                     : BoxMode::kRemoveBlack) == BoxResult::kCancel)
        return;
    // The question's loop let other changes in: the key says where it is now.
    row = m_list.FindByKey(key);
    if (row < 0 || m_list.CellText(row, 2) != kRestoreLinkText)
        return;
    OperatedEvent ended;
    ended.kind = OperatedEvent::Kind::RemovalEnded;
    ended.entry.md5 = key;
    ended.entry.name = m_list.CellText(row, 0);
    m_list.SetCell(row, 2, kCellText, kWorkingText, true);
    ++m_removalsRunning;
    const std::shared_ptr<WardenWork> work = m_work;
    if (!StartDetachedWorker([work, ended = std::move(ended)]() mutable {
            work->WaitUntilReady();
            // Queued in the removal's turn: in order with the done reports
            // of the chunks before and after it.
            work->processor.RemoveEntry(ended.entry.md5, [&](const RemovalOutcome& outcome) {
                ended.outcome = outcome;
                work->operatedEvents.Push(std::move(ended));
                work->operatedUpdate.Request();
            });
        })) {
        --m_removalsRunning;
        m_list.SetCell(row, 2, kCellLink, kRestoreLinkText, true);
    }
}
