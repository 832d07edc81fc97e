#include "app/PendingTabController.h"

#include <utility>

#include "app/WardenMessages.h"
#include "common/Invariant.h"
#include "common/TextConvert.h"
#include "intake/CurrentOrigin.h"
#include "intake/Digest.h"
#include "intake/StorePath.h"

namespace {

const wchar_t* const kDone = L"处理成功";
const wchar_t* const kDeleteLink = L"删除";

ListKind ListOf(int tab) {
    return tab == 0 ? ListKind::Trusted : ListKind::Black;
}

std::vector<std::string> Md5sOf(const std::vector<CommitEntry>& entries) {
    std::vector<std::string> md5s;
    md5s.reserve(entries.size());
    for (const CommitEntry& entry : entries)
        md5s.push_back(entry.md5);
    return md5s;
}

} // namespace

PendingTabController::PendingTabController(int tab, const Elements& elements,
                                           WardenSurface& surface, std::shared_ptr<WardenWork> work,
                                           CListViewCtrlEx& list)
    : m_tab(tab), m_elements(elements), m_surface(surface), m_work(std::move(work)), m_list(list),
      m_refresh(WardenMessage::kRefresh, static_cast<WPARAM>(tab),
                WardenTimer::kRefreshFirst + static_cast<UINT_PTR>(tab)) {}

void PendingTabController::BeginIntake(bool countsAgain) {
    if (countsAgain) {
        m_accepted = 0;
        m_refused = 0;
    }
    ScopedLock lock(m_noticeLock);
    m_duplicates = 0;
    m_unreadable = 0;
}

void PendingTabController::EndIntake() {
    // Without the component nothing was analysed: its box says why,
    // instead of a summary of no files.
    if (m_work->processor.HasComponent())
        ShowSummary();
    RefreshOkButton(); // the last rows' refresh may still wait for its timer
    ShowIntakeNotices();
}

void PendingTabController::ShowIntakeNotices() {
    const FileProcessor& processor = m_work->processor;
    if (!processor.HasComponent()) {
        m_surface.RunBox(ComponentFailureText(processor.ComponentFailure()), BoxMode::kFailure);
        return;
    }
    std::wstring duplicate;
    std::wstring unreadable;
    DWORD readError;
    int duplicates;
    int unreadableCount;
    {
        ScopedLock lock(m_noticeLock);
        duplicate = m_firstDuplicate;
        unreadable = m_firstUnreadable;
        readError = m_firstReadError;
        duplicates = std::exchange(m_duplicates, 0);
        unreadableCount = std::exchange(m_unreadable, 0);
    }
    if (duplicates > 0)
        m_surface.RunBox(DuplicateBoxText(duplicate, duplicates - 1), BoxMode::kAlreadyListed);
    if (unreadableCount > 0)
        m_surface.RunBox(UnreadableBoxText(unreadable, readError, unreadableCount - 1),
                         BoxMode::kFailure);
}

std::shared_ptr<const EntryFacts> PendingTabController::FactsOf(const std::string& md5) {
    ScopedLock lock(m_factsLock);
    const auto found = m_facts.find(md5);
    return found == m_facts.end() ? nullptr : found->second;
}

std::vector<CommitEntry> PendingTabController::TakeCheckedRows() {
    std::vector<CommitEntry> entries;
    {
        const CListViewCtrlEx::RowsEdit edit = m_list.EditRows();
        ListRowTable& rows = *edit;
        // A drop worker may be adding rows meanwhile.
        ScopedLock lock(rows.Lock());
        for (int i = 0; i < rows.Count(); ++i) {
            if (!rows.IsChecked(i))
                continue;
            const ListRow* row = rows.Row(i);
            std::string narrow;
            const StorePathResult path = ToStorePath(row->Tip(), narrow);
            // Checked rows whose path the store cannot record are refused
            // here, before the component sees them: the component and the
            // store must not disagree about a file, and an entry the store
            // lacks could never be taken off the list from the window.
            if (path == StorePathResult::Ok)
                entries.push_back(CommitEntry{row->key, std::move(narrow), FactsOf(row->key)});
            rows.SetCell(i, 2, kCellText,
                         path == StorePathResult::Ok ? kWorkingText : UnrecordablePathText(path));
            rows.SetRowFlags(i, 0);
        }
    }
    return entries;
}

void PendingTabController::Commit() {
    // Shared with the worker, so that a worker that cannot start leaves the
    // rows to give back.
    auto entries = std::make_shared<const std::vector<CommitEntry>>(TakeCheckedRows());
    RefreshOkButton();
    if (entries->empty())
        return;
    const std::shared_ptr<WardenWork> work = m_work;
    const int tab = m_tab;
    HWND window = m_surface.Window();
    ++m_commitsRunning;
    if (!StartDetachedWorker([work, tab, window, entries] {
            work->WaitUntilReady();
            const EntryOrigin origin = CurrentOrigin("window");
            RunCommitWork(work->processor, ListOf(tab), *entries, &origin);
            // Handed over with the message: the window's thread gives
            // back exactly this commit's rows that were not done.
            work->endedCommits[tab].Push(EndedCommit{Md5sOf(*entries)});
            PostMessageW(window, WardenMessage::kCommitEnded, static_cast<WPARAM>(tab), 0);
        })) {
        --m_commitsRunning;
        GiveBack(Md5sOf(*entries));
    }
}

void PendingTabController::EndCommit() {
    bool more = true;
    while (more) {
        for (const EndedCommit& ended : m_work->endedCommits[m_tab].Take(1, more)) {
            GiveBack(ended.md5s);
            UW_INVARIANT(m_commitsRunning > 0); // each commit that started ends once
            --m_commitsRunning;
        }
    }
}

// Rows that never became done (the store could not be written, the
// component refused) are pending again, with their boxes, checked.
void PendingTabController::GiveBack(const std::vector<std::string>& md5s) {
    bool restored = false;
    {
        const CListViewCtrlEx::RowsEdit edit = m_list.EditRows();
        ListRowTable& rows = *edit;
        ScopedLock lock(rows.Lock());
        for (const std::string& md5 : md5s) {
            const int row = rows.FindByKey(md5);
            if (row < 0 || rows.CellText(row, 2) != kWorkingText)
                continue;
            rows.SetCell(row, 2, kCellLink, kDeleteLink);
            rows.SetRowFlags(row, kRowCheckBox);
            rows.SetCheck(row, true);
            restored = true;
        }
    }
    if (restored)
        RefreshOkButton();
}

void PendingTabController::DeleteRow(const std::string& key) {
    const int row = m_list.FindByKey(key);
    // A row a commit has taken has no link: a click that was on its way
    // when OK was pressed does nothing.
    if (row < 0 || m_list.CellText(row, 2) != kDeleteLink)
        return;
    m_list.EditRows()->Delete(row);
    RefreshSelectAll();
}

void PendingTabController::RefreshSelectAll() {
    const SelectAllState state = SelectAllFor(m_list.CountWithBox(), m_list.CountChecked());
    m_allChecked = state.allChecked;
    // A drop refreshes many times a second with the same state: the
    // elements are changed (and the window repainted) only when it differs.
    if (m_selectAllShown && *m_selectAllShown == state)
        return;
    m_surface.SetElementSub(m_elements.selectAllImage, state.sub);
    m_surface.CheckElement(m_elements.selectAll, state.allChecked);
    m_surface.EnableElement(m_elements.selectAll, state.enabled);
    m_surface.EnableElement(m_elements.selectAllImage, state.enabled);
    m_selectAllShown = state;
}

void PendingTabController::RefreshOkButton() {
    const bool rows = m_rowsAdded != 0;
    if (rows != m_okEnabled) {
        InvalidateRect(m_list.Hwnd(), nullptr, TRUE);
        m_surface.EnableElement(m_elements.okButton, rows);
        m_okEnabled = rows;
    }
    RefreshSelectAll();
}

bool PendingTabController::HandleRefresh(UINT message, WPARAM wparam) {
    return m_refresh.Handle(message, wparam, [this] { RefreshOkButton(); });
}

void PendingTabController::SelectAll() {
    if (m_allChecked)
        m_list.EditRows()->UncheckAllBut(-1);
    else
        m_list.EditRows()->CheckAll();
    m_allChecked = !m_allChecked;
    RefreshSelectAll();
}

void PendingTabController::ShowSummary() {
    m_surface.ReplaceMarkup(m_elements.summary, SummaryMarkup(m_accepted + m_refused, m_refused,
                                                              m_elements.summaryLink));
    m_surface.ShowElementById(m_elements.summary, true);
}

void PendingTabController::OnFileAnalysed(const FileAnalysisRecord& record) {
    const std::wstring path = FullPathOf(record);
    const std::wstring name = FileNameOf(path);
    if (IsUnreadable(record)) {
        // Not refused for its format: named in one box at the intake's end.
        ScopedLock lock(m_noticeLock);
        if (m_unreadable++ == 0) {
            m_firstUnreadable = name;
            m_firstReadError = record.readError;
        }
        return;
    }
    if (std::string(record.md5) == ZeroDigest) {
        ++m_refused;
        return;
    }
    NewRow pending{name, record.md5, path, kRowCheckBox};
    pending.moreCells = {MakeCell(kCellText, Utf8ToWide(record.md5)),
                         MakeCell(kCellLink, kDeleteLink)};
    pending.checked = true;
    const int row = m_list.EditRows()->AppendNewItemRow(std::move(pending));
    if (row < 0) {
        // One box at the end of the intake names the first duplicate and
        // counts the others.
        ScopedLock lock(m_noticeLock);
        if (m_duplicates++ == 0)
            m_firstDuplicate = name;
        return;
    }
    if (record.facts) {
        ScopedLock lock(m_factsLock);
        m_facts[record.md5] = std::make_shared<const EntryFacts>(*record.facts);
    }
    ++m_accepted;
    ++m_rowsAdded;
    m_refresh.Request();
}

// The processor reports a file done once it is durably stored, in the
// turn of its chunk: the entry joins the operated tab's changes in the
// order the processor made them.
void PendingTabController::ItemDone(const char* md5) {
    {
        // Stored with the entry now.
        ScopedLock lock(m_factsLock);
        m_facts.erase(md5);
    }
    ListRowTable::RowTexts texts;
    if (!m_list.UpdateRowByKey(md5, 2, kCellText, kDone, -1, &texts))
        return;
    OperatedEvent event;
    event.entry = OperatedEntry{ListOf(m_tab), texts.firstText, md5, texts.tip};
    m_work->operatedEvents.Push(std::move(event));
    m_work->operatedUpdate.Request();
}
