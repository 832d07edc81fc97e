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
#include <memory>
#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "intake/ComponentModule.h"
#include "intake/DetectionComponent.h"
#include "intake/IWardenCallback.h"
#include "store/ORBDBSqliteConn.h"
#include "store/UserListRecord.h"

enum class UserList { Trusted, Black };

// One file to commit: its MD5 text and its full path in the system code page
// (fewer than 260 bytes, or the file is left out).
struct CommitEntry {
    std::string md5;
    std::string path;
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

    // Commits files to a list and to the store, in chunks of files. For each
    // chunk, in list order: the begin reports of its files, then one store
    // transaction for all of them (each taken off the other table and off
    // its own, then recorded with the current time), committed to disk; only
    // then are they added to the component and their done reports made, so
    // a done report means the file is stored for good. Then the batch report
    // with the number done, and the component's update ends.
    //
    // A file whose path does not fit the store is left out and reported as
    // OnError(kPathNotStorable), before the first chunk. When a chunk's
    // transaction fails it is rolled back and not added to the component;
    // OnError(kStoreWriteFailed) is reported and the commit stops (batch
    // report and end of update still follow) and returns kStoreWriteFailed.
    // -1 when the component refused to begin (OnError(-1), nothing changed).
    int CommitTrusted(const std::vector<CommitEntry>& entries);
    int CommitBlack(const std::vector<CommitEntry>& entries);

    // Files per store transaction of a commit. Each transaction writes every
    // index page it touches twice (rollback journal and database), and a
    // chunk of random MD5s touches nearly every page of the MD5 indexes once
    // it holds more files than they have pages (about one per 90 files): so
    // chunks are large. 20,000 files take well under a second to store.
    static constexpr std::size_t kDefaultCommitChunkFiles = 20000;
    // Files per chunk of later commits (tests and benchmarks); at least 1.
    void SetCommitChunkFiles(std::size_t files);

    // Commits MD5s to the component alone, in order, leaving the store to the
    // done reports' receiver; -1 when the component refused to begin.
    int CommitTrusted(const std::vector<std::string>& md5s);
    int CommitBlack(const std::vector<std::string>& md5s);

    // Stores one committed file (path in the system code page) in its list
    // and takes it off the other, in one transaction.
    void StoreTrusted(const std::string& md5, const std::string& path);
    void StoreBlack(const std::string& md5, const std::string& path);

    // Takes one entry off component and store; -1 when the component refused.
    int RemoveTrustedEntry(const std::string& md5);
    int RemoveBlackEntry(const std::string& md5);

    void LoadTrustedEntries(UserListRecords& records);
    void LoadBlackEntries(UserListRecords& records);

    // Which table of the store holds an MD5 (kSignatureNone when neither).
    SignatureListKind StoredListOf(const std::string& md5);

    // Ends the processor's work: calls in progress stop at their next file or
    // MD5 and are waited for; later calls do nothing and fail. Then the store
    // is deleted and the component freed. Called by the destructor.
    void Shutdown();

private:
    class CallGuard;
    using EntryIterator = std::vector<const CommitEntry*>::const_iterator;

    int Commit(UserList list, const std::vector<std::string>& md5s);
    int CommitInChunks(UserList list, const std::vector<CommitEntry>& entries);
    // The entries whose paths the store can record; each other one is
    // reported as OnError(kPathNotStorable).
    std::vector<const CommitEntry*> StorableEntries(const std::vector<CommitEntry>& entries);
    std::unique_ptr<UserListWriter> OpenStoreWriter(UserList list);
    void CloseStoreWriter(std::unique_ptr<UserListWriter>& writer);
    // One chunk: begin reports, store transaction, component, done reports.
    // False when the transaction failed.
    bool CommitChunk(UserList list, UserListWriter& writer, EntryIterator first,
                     EntryIterator last);
    void AddToComponent(UserList list, EntryIterator first, EntryIterator last);
    void ReportItems(UserList list, bool done, EntryIterator first, EntryIterator last);
    void ReportBatchDone(UserList list, int count);
    void EndListUpdate();
    void Store(UserList list, const std::string& md5, const std::string& path);
    int Remove(UserList list, const std::string& md5);
    void ReportError(int code);
    // Whether the component's signature list exists; without it reports
    // kComponentMissing and says false.
    bool HaveSignatureList();
    // Loads the component and makes its objects; false when one is missing.
    bool LoadComponent();
    void OpenStore(const std::wstring& storePath, int storeBusyTimeoutMs);
    // Opens the component's change bracket; on refusal reports -1 and says false.
    bool BeginListUpdate();
    bool Stopping() const;
    // Reports one analysed file on the calling thread.
    void Report(const FileAnalysis& analysis);

    IWardenCallback* m_callback = nullptr;
    IFileDetector* m_detector = nullptr;
    ISignatureList* m_signatures = nullptr;
    ComponentModule m_module;
    std::wstring m_componentLibrary = kDetectionComponentName;
    ComponentLoadFailure m_componentFailure;
    std::unique_ptr<ORBDBSqliteConn> m_store;
    std::wstring m_storePath;
    StoreAccess m_storeAccess;
    std::atomic<std::size_t> m_commitChunkFiles{kDefaultCommitChunkFiles};

    CriticalSection m_listLock; // signature list and store
    volatile LONG m_stopping = 0;
    volatile LONG m_activeCalls = 0;
};
