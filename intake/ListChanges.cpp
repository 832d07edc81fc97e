// The file processor's changes to the component's lists and the store:
// commits in chunks, removals and the start's reconciliation. Each runs in
// turns (ListTurns), so that they change component and store in the order
// they were asked for, and the component's update is opened and ended by
// whichever holds the turn.
//
// The order of writes makes the store the record of what the tool granted:
// a commit writes the store before the component, a removal the component
// (saved) before the store. A process killed anywhere therefore leaves the
// store holding everything the component holds for the tool, perhaps more;
// ReconcileComponent at the next start puts the rest on the component.

#include <algorithm>

#include "common/Invariant.h"
#include "intake/ComponentListKind.h"
#include "intake/FileProcessor.h"
#include "intake/ProcessorCallGuard.h"
#include "intake/RemovalPlan.h"
#include "store/ORBDBSqliteConn.h"

namespace {

std::string CurrentTimeText() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    constexpr unsigned long long kTicksPerSecond = 10000000ULL;
    constexpr unsigned long long kUnixEpochTicks = 116444736000000000ULL; // 1970-01-01
    const long long seconds =
        static_cast<long long>((ticks.QuadPart - kUnixEpochTicks) / kTicksPerSecond);
    return std::to_string(seconds);
}

} // namespace

const char* WorkPointName(WorkPoint point) {
    static const char* const kNames[kWorkPointCount] = {
        "CommitStarted",   "ChunkTurn",   "ChunkWrite",       "ChunkStored",
        "CommitEndUpdate", "RemovalTurn", "RemovalEndUpdate", "RemovalStore"};
    const int index = static_cast<int>(point);
    return index >= 0 && index < kWorkPointCount ? kNames[index] : "";
}

void FileProcessor::SetWorkSeam(WorkSeam seam) {
    m_seam = std::move(seam);
}

WorkFault FileProcessor::AtPoint(WorkPoint point) const {
    return m_seam ? m_seam(point) : WorkFault::None;
}

int FileProcessor::CommitTrusted(const std::vector<CommitEntry>& entries,
                                 const EntryOrigin* origin) {
    return CommitInChunks(ListKind::Trusted, entries, origin);
}

int FileProcessor::CommitBlack(const std::vector<CommitEntry>& entries, const EntryOrigin* origin) {
    return CommitInChunks(ListKind::Black, entries, origin);
}

void FileProcessor::SetCommitChunkFiles(std::size_t files) {
    m_commitChunkFiles = std::max<std::size_t>(files, 1);
}

bool FileProcessor::HaveSignatureList() {
    if (m_signatures)
        return true;
    ReportError(kComponentMissing);
    return false;
}

int FileProcessor::CommitInChunks(ListKind list, const std::vector<CommitEntry>& entries,
                                  const EntryOrigin* origin) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !HaveSignatureList())
        return -1;
    AtPoint(WorkPoint::CommitStarted);
    const std::vector<const CommitEntry*> storable = StorableEntries(entries);
    std::unique_ptr<UserListWriter> writer = OpenStoreWriter(list);
    const std::size_t chunkFiles = m_commitChunkFiles;
    int result = 0;
    int done = 0;
    EntryIterator first = storable.begin();
    bool refusedAtOnce = false;
    // At least one turn, so that a refusing component is told even for a
    // commit of nothing.
    do {
        if (Stopping())
            break;
        const EntryIterator last =
            first +
            static_cast<std::ptrdiff_t>(std::min<std::size_t>(chunkFiles, storable.end() - first));
        AtPoint(WorkPoint::ChunkTurn);
        if (Stopping())
            break; // the window closed while this chunk waited
        result = CommitChunk(list, writer.get(), origin, first, last, last == storable.end());
        refusedAtOnce = result == -1 && first == storable.begin();
        if (result != 0)
            break;
        done += static_cast<int>(last - first);
        first = last;
    } while (first != storable.end());
    CloseStoreWriter(writer);
    if (refusedAtOnce)
        return -1; // refused before anything changed: no batch report
    if (result == kStoreWriteFailed)
        ReportError(kStoreWriteFailed);
    ReportBatchDone(list, done);
    return result;
}

int FileProcessor::CommitChunk(ListKind list, UserListWriter* writer, const EntryOrigin* origin,
                               EntryIterator first, EntryIterator last, bool lastChunk) {
    ListTurns::Turn turn(m_turns);
    if (!OpenUpdate()) {
        ReportError(kComponentFailed);
        return -1;
    }
    if (!writer) {
        // The store's statements could not be made: no file is begun.
        EndOpenUpdate(WorkPoint::CommitEndUpdate);
        return kStoreWriteFailed;
    }
    ReportItems(list, false, first, last);
    const std::string time = CurrentTimeText();
    UserListRecords records;
    std::vector<EntryAddition> additions;
    records.reserve(static_cast<std::size_t>(last - first));
    additions.reserve(records.capacity());
    for (EntryIterator entry = first; entry != last; ++entry) {
        records.push_back(
            MakeUserListRecord((*entry)->md5.c_str(), time.c_str(), (*entry)->path.c_str()));
        additions.push_back(EntryAddition{(*entry)->facts.get(), (*entry)->note});
    }
    // The turn keeps other changes out between store and component; the
    // lock is let go there only so that the seam may read the store.
    bool stored = false;
    if (AtPoint(WorkPoint::ChunkWrite) != WorkFault::StoreFails) {
        ScopedLock lock(m_listLock);
        stored = records.empty() || writer->Write(records, origin, &additions);
    }
    if (stored) {
        AtPoint(WorkPoint::ChunkStored);
        ScopedLock lock(m_listLock);
        AddToComponent(list, first, last);
    }
    // The update stays open for this commit's next chunk only when nothing
    // else waits for a turn: a removal then ends it first, by itself.
    if (!stored || lastChunk || Stopping() || m_turns.Waiting()) {
        if (!EndOpenUpdate(WorkPoint::CommitEndUpdate))
            ReportError(kComponentNotSaved);
    }
    if (!stored)
        return kStoreWriteFailed;
    ReportItems(list, true, first, last);
    return 0;
}

bool FileProcessor::OpenUpdate() {
    if (m_updateOpen)
        return true;
    ScopedLock lock(m_listLock);
    if (FAILED(m_signatures->BeginUpdate()))
        return false;
    m_updateOpen = true;
    return true;
}

bool FileProcessor::EndOpenUpdate(WorkPoint point) {
    if (!m_updateOpen)
        return true;
    const bool fails = AtPoint(point) == WorkFault::ComponentFails;
    ScopedLock lock(m_listLock);
    m_updateOpen = false;
    return SUCCEEDED(m_signatures->EndUpdate()) && !fails;
}

std::vector<const CommitEntry*>
FileProcessor::StorableEntries(const std::vector<CommitEntry>& entries) {
    std::vector<const CommitEntry*> storable;
    storable.reserve(entries.size());
    for (const CommitEntry& entry : entries) {
        // Never stored cut: a cut path would name another file.
        if (entry.path.size() < sizeof(UserListRecord::Path))
            storable.push_back(&entry);
        else
            ReportError(kPathNotStorable);
    }
    return storable;
}

std::unique_ptr<UserListWriter> FileProcessor::OpenStoreWriter(ListKind list) {
    if (!m_store)
        return nullptr;
    ScopedLock lock(m_listLock);
    return m_store->OpenWriter(list);
}

void FileProcessor::CloseStoreWriter(std::unique_ptr<UserListWriter>& writer) {
    ScopedLock lock(m_listLock);
    writer.reset();
}

void FileProcessor::AddToComponent(ListKind list, EntryIterator first, EntryIterator last) {
    for (EntryIterator entry = first; entry != last; ++entry) {
        if (list == ListKind::Trusted)
            m_signatures->AddTrusted((*entry)->md5.c_str());
        else
            m_signatures->AddBlack((*entry)->md5.c_str());
    }
}

void FileProcessor::ReportItems(ListKind list, bool done, EntryIterator first, EntryIterator last) {
    if (!m_callback)
        return;
    for (EntryIterator entry = first; entry != last; ++entry) {
        const char* md5 = (*entry)->md5.c_str();
        if (list == ListKind::Trusted)
            done ? m_callback->OnTrustedItemDone(md5) : m_callback->OnTrustedItemBegin(md5);
        else
            done ? m_callback->OnBlackItemDone(md5) : m_callback->OnBlackItemBegin(md5);
    }
}

void FileProcessor::ReportBatchDone(ListKind list, int count) {
    if (!m_callback)
        return;
    if (list == ListKind::Trusted)
        m_callback->OnTrustedBatchDone(count);
    else
        m_callback->OnBlackBatchDone(count);
}

RemovalOutcome FileProcessor::RemoveEntry(const std::string& md5, const RemovalEnded& ended) {
    return Remove(kSignatureNone, md5, ended);
}

RemovalOutcome FileProcessor::RemoveEntry(const std::string& md5, SignatureListKind list,
                                          const RemovalEnded& ended) {
    return Remove(list, md5, ended);
}

namespace {

int RemovalCode(RemovalResult result) {
    return result == RemovalResult::Removed || result == RemovalResult::NotHeld ||
                   result == RemovalResult::NotOnList
               ? 0
               : -1;
}

const SignatureListKind kBothLists[] = {kSignatureTrusted, kSignatureBlack};

} // namespace

int FileProcessor::RemoveTrustedEntry(const std::string& md5) {
    return RemovalCode(Remove(kSignatureTrusted, md5, nullptr).result);
}

int FileProcessor::RemoveBlackEntry(const std::string& md5) {
    return RemovalCode(Remove(kSignatureBlack, md5, nullptr).result);
}

RemovalOutcome FileProcessor::Remove(SignatureListKind named, const std::string& md5,
                                     const RemovalEnded& ended) {
    CallGuard guard(*this);
    RemovalOutcome outcome;
    outcome.list = named;
    if (guard.Admitted() && HaveSignatureList()) {
        AtPoint(WorkPoint::RemovalTurn);
        ListTurns::Turn turn(m_turns);
        // A commit's update left open between its chunks ends first: its
        // chunks are whole, and the removal's own update must be the one
        // that saves.
        if (!EndOpenUpdate(WorkPoint::CommitEndUpdate))
            ReportError(kComponentNotSaved);
        outcome = RemoveInTurn(named, md5);
        if (ended)
            ended(outcome);
        return outcome;
    }
    if (ended)
        ended(outcome);
    return outcome;
}

bool FileProcessor::ReadStoredLists(const std::string& md5, ListSet& lists) {
    lists = ListSet{};
    if (!m_store)
        return true;
    for (const SignatureListKind list : kBothLists) {
        const StorePresence presence = m_store->Holds(ListKindOf(list), md5);
        if (presence == StorePresence::Unreadable)
            return false;
        if (presence == StorePresence::Held)
            lists.Add(list);
    }
    return true;
}

void FileProcessor::ChangeComponentList(SignatureListKind list, bool add, const char* md5) {
    if (list == kSignatureTrusted)
        add ? m_signatures->AddTrusted(md5) : m_signatures->RemoveTrusted(md5);
    else if (list == kSignatureBlack)
        add ? m_signatures->AddBlack(md5) : m_signatures->RemoveBlack(md5);
}

// The seams are called without the list lock, so that a test holding a
// removal there can still read the store.
RemovalOutcome FileProcessor::RemoveInTurn(SignatureListKind named, const std::string& md5) {
    // No commit's update is open: this removal's own update saves it.
    UW_INVARIANT(!m_updateOpen);
    RemovalOutcome outcome;
    outcome.list = named;
    RemovalPlan plan;
    {
        ScopedLock lock(m_listLock);
        ListSet stored;
        if (!ReadStoredLists(md5, stored)) {
            outcome.result = RemovalResult::StoreUnreadable;
            return outcome;
        }
        outcome.stored = stored;
        int held = kSignatureNone;
        if (!m_lookup || FAILED(m_lookup->Lookup(md5.c_str(), &held)))
            held = kSignatureNone;
        plan =
            PlanRemoval(named, stored, static_cast<SignatureListKind>(held), m_lookup != nullptr);
        if (plan.decision != RemovalDecision::Go) {
            outcome.result = plan.decision == RemovalDecision::NotOnList ? RemovalResult::NotOnList
                                                                         : RemovalResult::NotHeld;
            return outcome;
        }
        outcome.list = plan.targets.Dominant();
        if (FAILED(m_signatures->BeginUpdate())) {
            outcome.result = RemovalResult::ComponentRefused;
            return outcome;
        }
        for (const SignatureListKind list : kBothLists) {
            if (plan.componentRemove.Has(list))
                ChangeComponentList(list, false, md5.c_str());
        }
        ChangeComponentList(plan.componentAdd, true, md5.c_str());
    }
    const bool saveFails = AtPoint(WorkPoint::RemovalEndUpdate) == WorkFault::ComponentFails;
    {
        ScopedLock lock(m_listLock);
        if (FAILED(m_signatures->EndUpdate()) || saveFails) {
            PutBack(plan.componentBefore, md5);
            outcome.result = RemovalResult::ComponentNotSaved;
            return outcome;
        }
    }
    if (plan.storeTargets.Any()) {
        const bool deleteFails = AtPoint(WorkPoint::RemovalStore) == WorkFault::StoreFails;
        ScopedLock lock(m_listLock);
        std::vector<ListKind> tables;
        for (const SignatureListKind list : kBothLists) {
            if (plan.storeTargets.Has(list))
                tables.push_back(ListKindOf(list));
        }
        if (deleteFails || !m_store->DeleteEntries(tables, md5)) {
            PutBack(plan.componentBefore, md5);
            outcome.result = RemovalResult::StoreFailed;
            return outcome;
        }
    }
    outcome.removed = plan.targets;
    outcome.stored = plan.storedAfter;
    outcome.result = RemovalResult::Removed;
    return outcome;
}

void FileProcessor::PutBack(SignatureListKind list, const std::string& md5) {
    if (FAILED(m_signatures->BeginUpdate()))
        return;
    for (const SignatureListKind other : kBothLists) {
        if (other != list)
            ChangeComponentList(other, false, md5.c_str());
    }
    ChangeComponentList(list, true, md5.c_str());
    m_signatures->EndUpdate();
}

ReconcileResult FileProcessor::ReconcileComponent() {
    CallGuard guard(*this);
    ReconcileResult result;
    if (!guard.Admitted() || !m_signatures || !m_store)
        return result;
    ListTurns::Turn turn(m_turns);
    ScopedLock lock(m_listLock);
    bool begun = false;
    bool refused = false;
    const auto put = [&](const char* md5, SignatureListKind kind) {
        if (refused || result.stopped)
            return;
        if (Stopping()) {
            result.stopped = true; // the next start puts the rest
            return;
        }
        int held = kSignatureNone;
        if (m_lookup && SUCCEEDED(m_lookup->Lookup(md5, &held)) && held == kind)
            return;
        if (!begun && FAILED(m_signatures->BeginUpdate())) {
            refused = true;
            return;
        }
        begun = true;
        ChangeComponentList(kind, true, md5);
        ++(held == kSignatureNone ? result.added : result.moved);
    };
    // Black last: an MD5 in both tables ends on the blacklist.
    const bool trustedRead = m_store->VisitMd5s(
        ListKind::Trusted, [&](const char* md5) { put(md5, kSignatureTrusted); });
    const bool blackRead =
        m_store->VisitMd5s(ListKind::Black, [&](const char* md5) { put(md5, kSignatureBlack); });
    result.storeUnreadable = !trustedRead || !blackRead;
    if (begun && FAILED(m_signatures->EndUpdate()))
        refused = true;
    result.failed = refused;
    return result;
}
