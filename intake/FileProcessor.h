#pragma once
// The back end of the main window: the single owner of the detection
// component's two objects and of the user-list store connection. It turns
// dropped or picked paths into analysed files, commits batches of MD5s to the
// component's lists, stores and removes entries, and reads the stored lists.
// Every report goes out through IWardenCallback on the calling thread.
//
// Calls may come from several threads at once (a drop on one tab while the
// other tab commits): calls into the signature list and the store are
// serialised by one lock, and no report is made while a lock is held. The
// detection component's detector keeps no state between calls: analyses run
// on several threads at once, unlocked.

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/CancelSignal.h"
#include "common/CriticalSection.h"
#include "common/ListKind.h"
#include "intake/ComponentModule.h"
#include "intake/DetectionComponent.h"
#include "intake/IWardenCallback.h"
#include "intake/ListTurns.h"
#include "intake/WorkSeam.h"
#include "store/ORBDBSqliteConn.h"
#include "store/UserListRecord.h"

enum class RemovalResult {
    Removed,           // off the component's saved lists and out of the store
    NotHeld,           // neither the store nor the component holds it
    NotOnList,         // the list named no longer holds it: nothing changed
    ComponentRefused,  // the component refused to begin its update: nothing changed
    ComponentNotSaved, // the component could not save its lists: nothing changed
    StoreFailed,       // the store could not be written: nothing changed
    StoreUnreadable,   // the store could not be read: nothing changed
    Unavailable,       // no component, or the processor is shutting down
};

struct RemovalOutcome {
    RemovalResult result = RemovalResult::Unavailable;
    // The list it was taken off (the blacklist when both were), or the one
    // asked for.
    SignatureListKind list = kSignatureNone;
    ListSet removed; // the lists it was taken off
    ListSet stored;  // the tables that hold it afterwards (when read)
};

struct ReconcileResult {
    int added = 0;                // stored entries put on the component's lists
    int moved = 0;                // stored entries the component had on the other list
    bool failed = false;          // the component refused its update or did not save
    bool storeUnreadable = false; // the store's entries could not all be read
    bool stopped = false;         // the processor began to stop: the rest waits for the next start
};

// One file to commit: its MD5 text and its full path in the system code page
// (fewer than 260 bytes, or the file is left out).
struct CommitEntry {
    CommitEntry() = default;
    CommitEntry(std::string entryMd5, std::string entryPath,
                std::shared_ptr<const EntryFacts> entryFacts = nullptr, std::string entryNote = {})
        : md5(std::move(entryMd5)), path(std::move(entryPath)), facts(std::move(entryFacts)),
          note(std::move(entryNote)) {}

    std::string md5;
    std::string path;
    // What was read off the file when it was examined (null: nothing, as
    // for an imported MD5), and the entry's own note (empty: the batch's).
    std::shared_ptr<const EntryFacts> facts;
    std::string note;
};

struct FileAnalysis;

class FileProcessor {
public:
    FileProcessor();
    ~FileProcessor();
    FileProcessor(const FileProcessor&) = delete;
    FileProcessor& operator=(const FileProcessor&) = delete;

    // A null receiver leaves the previous one in place.
    void SetCallback(IWardenCallback* callback);

    // The component library Initialize loads: a file name sought as the
    // component is, or a full path loaded from there only (tests).
    void SetComponentLibrary(std::wstring nameOrPath);

    // After Initialize: whether the component is there, and if not why.
    bool HasComponent() const { return m_detector && m_signatures; }
    const ComponentLoadFailure& ComponentFailure() const { return m_componentFailure; }
    // The component's file: the one loaded, else the one found that failed,
    // else where it was sought first.
    std::wstring ComponentPath() const;
    // After Initialize: whether the store opened and can be written.
    const StoreAccess& StoreState() const { return m_storeAccess; }
    // The store's schema version, and whether its entries' details are
    // written (a store of a newer release's are only read).
    const StoreSchema& StoreSchemaState() const { return m_storeSchema; }
    // The store's file (after Initialize).
    const std::wstring& StorePath() const { return m_storePath; }

    // Loads the component and creates its two objects, then opens the store
    // ("UserSign.dat" beside the executable, or the given file), makes sure
    // both tables exist and tries a write. -1 when the component or one of
    // its objects is missing (ComponentFailure says why); the store is opened
    // all the same, so that what it holds can be listed. StoreState says
    // whether the store can be written.
    int Initialize();
    int Initialize(const std::wstring& storePath);
    int Initialize(const std::wstring& storePath, int storeBusyTimeoutMs);

    // Analyses every file under the given paths: each path in turn, a folder
    // walked depth first in the order its directory search gives. The files
    // are analysed on one thread per processor (at most a window of them in
    // flight) and reported on the calling thread in walk order. Returns what
    // ExpandPath returns for the last path; -1 without a detector.
    int ExpandPaths(const std::vector<std::wstring>& paths);
    // One path: a plain file's result code, 0 for a folder.
    int ExpandPath(const wchar_t* path);
    // Analyses and reports one file; returns the component's result code.
    int ProcessFile(const wchar_t* path);

    // Commits files to a list and to the store, in chunks of files. Each
    // chunk has a turn of its own at the component and the store (turns go
    // in the order asked for, so a removal asked for meanwhile runs between
    // two chunks). In its turn, in list order: the begin reports of its
    // files, then one store transaction for all of them (each taken off the
    // other table and off its own, then recorded with the current time),
    // committed to disk; only then are they added to the component and
    // their done reports made, so a done report means the file is stored
    // for good. The component's update stays open from chunk to chunk
    // unless other work waits for a turn, and ends with the last chunk.
    // Then the batch report with the number done.
    //
    // A file whose path does not fit the store is left out and reported as
    // OnError(kPathNotStorable), before the first chunk. When a chunk's
    // transaction fails it is rolled back and not added to the component;
    // OnError(kStoreWriteFailed) is reported and the commit stops (batch
    // report still follows) and returns kStoreWriteFailed. -1 when the
    // component refused to begin (OnError(-1), nothing changed). A component
    // that cannot save its lists when the update ends is reported as
    // OnError(kComponentNotSaved): the files are stored, and the next start
    // puts them on its lists.
    // `origin` (who commits, how, and the batch's note) goes into each
    // entry's details with the entry's facts; null: not known.
    int CommitTrusted(const std::vector<CommitEntry>& entries, const EntryOrigin* origin = nullptr);
    int CommitBlack(const std::vector<CommitEntry>& entries, const EntryOrigin* origin = nullptr);

    // Files per store transaction of a commit. Each transaction writes every
    // index page it touches twice (rollback journal and database), and a
    // chunk of random MD5s touches nearly every page of the MD5 indexes once
    // it holds more files than they have pages (about one per 90 files): so
    // chunks are large. 20,000 files take well under a second to store.
    static constexpr std::size_t kDefaultCommitChunkFiles = 20000;
    // Files per chunk of later commits (tests and benchmarks); at least 1.
    void SetCommitChunkFiles(std::size_t files);
    // Whether the analysis of later intakes reads each accepted file's facts
    // for its details (on unless turned off: benchmarks compare).
    void SetReadFacts(bool read) { m_readFacts = read; }

    // Takes one MD5 off every list the store holds it on when the removal's
    // turn comes (when the store holds it on none, off the component's list
    // that holds it): first off the component, whose lists are saved, then
    // out of the store (both tables in one transaction), so that a removal
    // cut short leaves the file stored, and the next start puts it back on
    // the component's list. A failure undoes the component's part; a store
    // that cannot be read changes nothing. `ended`, when given, hears the
    // outcome still in the removal's turn: before any later change, so that
    // what it passes on stays in order with the commits' done reports.
    using RemovalEnded = std::function<void(const RemovalOutcome&)>;
    RemovalOutcome RemoveEntry(const std::string& md5, const RemovalEnded& ended = nullptr);
    // The same off the named list only, the one the user confirmed: when by
    // the removal's turn that list no longer holds the MD5, nothing changes
    // (NotOnList, with where the store holds it now). An MD5 the store also
    // holds on the other list stays there, and on the component's list.
    RemovalOutcome RemoveEntry(const std::string& md5, SignatureListKind list,
                               const RemovalEnded& ended = nullptr);
    // The same; 0 when removed or on neither, -1 when the component or the
    // store failed.
    int RemoveTrustedEntry(const std::string& md5);
    int RemoveBlackEntry(const std::string& md5);

    // Puts every stored entry on the component's matching list where it is
    // missing or on the other list (an MD5 in both tables ends black). With
    // a component that answers no lookup, every stored entry is put on its
    // list. What only the component holds is left: the product and other
    // tools put entries there too. Runs in a turn of its own, reading the
    // store's MD5s as it goes (a million of them are not held at once); it
    // ends early when the processor stops.
    ReconcileResult ReconcileComponent();

    // Whether the component answers which list holds an MD5 (after Initialize).
    bool HasLookup() const { return m_lookup != nullptr; }

    // Tests: the seam called at each named point of commits and removals.
    void SetWorkSeam(WorkSeam seam);

    void LoadTrustedEntries(UserListRecords& records);
    void LoadBlackEntries(UserListRecords& records);
    // The records of one list in the order the loads give them, one at a
    // time (for a reader that writes each out: no list of them all).
    void VisitEntries(ListKind list, const std::function<void(const UserListRecord&)>& visit);

    // The records of one list as VisitEntries gives them; false when the
    // store could not be read (those visited until then stay visited).
    bool VisitStoredEntries(ListKind list, const std::function<void(const UserListRecord&)>& visit);

    // Runs `use` with the store, under the lock that keeps commits and
    // removals out meanwhile (reads and writes of details, notes); false,
    // without calling it, when there is no store or the processor stops.
    bool UseStore(const std::function<void(ORBDBSqliteConn&)>& use);

    // Which table of the store holds an MD5 (kSignatureNone when neither;
    // the blacklist when both).
    SignatureListKind StoredListOf(const std::string& md5);
    // Which tables hold an MD5; false when the store could not be read.
    bool StoredListsOf(const std::string& md5, ListSet& lists);

    // Ends the processor's work: calls in progress stop at their next file or
    // MD5, waits for another program's lock end at once, and the calls are
    // waited for; later calls do nothing and fail. Then the store is deleted
    // and the component freed. Called by the destructor.
    void Shutdown();
    // The same, waiting at most `milliseconds` for the calls in progress;
    // false (and nothing freed) when one is still running then, inside the
    // component: the process is about to end.
    bool Shutdown(DWORD milliseconds);

private:
    class CallGuard;
    using EntryIterator = std::vector<const CommitEntry*>::const_iterator;

    int CommitInChunks(ListKind list, const std::vector<CommitEntry>& entries,
                       const EntryOrigin* origin);
    // The entries whose paths the store can record; each other one is
    // reported as OnError(kPathNotStorable).
    std::vector<const CommitEntry*> StorableEntries(const std::vector<CommitEntry>& entries);
    std::unique_ptr<UserListWriter> OpenStoreWriter(ListKind list);
    void CloseStoreWriter(std::unique_ptr<UserListWriter>& writer);
    // One chunk in its turn: begin reports, store transaction, component,
    // end of the update when due, done reports. 0, -1 when the component
    // refused to begin, kStoreWriteFailed.
    int CommitChunk(ListKind list, UserListWriter* writer, const EntryOrigin* origin,
                    EntryIterator first, EntryIterator last, bool lastChunk);
    void AddToComponent(ListKind list, EntryIterator first, EntryIterator last);
    void ReportItems(ListKind list, bool done, EntryIterator first, EntryIterator last);
    void ReportBatchDone(ListKind list, int count);
    // In a turn: opens the component's update for a commit's chunk, unless
    // a chunk before left it open; false when the component refused.
    bool OpenUpdate();
    // In a turn: ends the open update; false when the lists were not saved.
    bool EndOpenUpdate(WorkPoint point);
    RemovalOutcome Remove(SignatureListKind named, const std::string& md5,
                          const RemovalEnded& ended);
    RemovalOutcome RemoveInTurn(SignatureListKind named, const std::string& md5);
    // Under the list lock: which tables hold an MD5; false when unreadable.
    bool ReadStoredLists(const std::string& md5, ListSet& lists);
    // Under the list lock: adds the MD5 to, or removes it from, a list of
    // the component (nothing for kSignatureNone).
    void ChangeComponentList(SignatureListKind list, bool add, const char* md5);
    // Under the list lock: puts an MD5 back as the component held it (on
    // `list`, or on none), in an update of its own.
    void PutBack(SignatureListKind list, const std::string& md5);
    WorkFault AtPoint(WorkPoint point) const;
    void ReportError(int code);
    // Whether the component's signature list exists; without it reports
    // kComponentMissing and says false.
    bool HaveSignatureList();
    // Loads the component and makes its objects; false when one is missing.
    bool LoadComponent();
    void OpenStore(const std::wstring& storePath, int storeBusyTimeoutMs);
    bool Stopping() const;
    // Reports one analysed file on the calling thread.
    void Report(const FileAnalysis& analysis);

    IWardenCallback* m_callback = nullptr;
    IFileDetector* m_detector = nullptr;
    ISignatureList* m_signatures = nullptr;
    ISignatureLookup* m_lookup = nullptr; // null when the component offers none
    ComponentModule m_module;
    std::wstring m_componentLibrary = kDetectionComponentName;
    ComponentLoadFailure m_componentFailure;
    // Raised when the processor stops: the store's waits for another
    // program's lock end (declared before the store, which uses it).
    CancelSignal m_stopSignal;
    std::unique_ptr<ORBDBSqliteConn> m_store;
    std::wstring m_storePath;
    StoreAccess m_storeAccess;
    StoreSchema m_storeSchema;
    std::atomic<std::size_t> m_commitChunkFiles{kDefaultCommitChunkFiles};
    std::atomic<bool> m_readFacts{true};

    WorkSeam m_seam;
    ListTurns m_turns; // ordered turns of commits' chunks, removals, reconciliation
    // Whether commits' chunks left the component's update open (read and
    // changed in a turn, or by Shutdown once every call has ended).
    bool m_updateOpen = false;
    CriticalSection m_listLock; // signature list and store
    volatile LONG m_stopping = 0;
    CriticalSection m_callsLock; // the count of calls in progress
    CONDITION_VARIABLE m_callsEnded = CONDITION_VARIABLE_INIT;
    int m_activeCalls = 0;
};
