#include "intake/FileProcessor.h"

#include <algorithm>
#include <cstring>

#include "common/Handles.h"
#include "common/ModulePath.h"
#include "intake/Digest.h"
#include "intake/FileAnalysis.h"
#include "intake/OrderedPool.h"
#include "intake/PathWalk.h"
#include "store/ORBDBSqliteConn.h"

// Counts a public call in progress so that Shutdown can wait for it; a call
// made while the processor stops is refused.
class FileProcessor::CallGuard {
public:
    explicit CallGuard(FileProcessor& owner) : m_owner(owner) {
        InterlockedIncrement(&m_owner.m_activeCalls);
        m_admitted = !m_owner.Stopping();
    }
    ~CallGuard() { InterlockedDecrement(&m_owner.m_activeCalls); }
    bool Admitted() const { return m_admitted; }

private:
    FileProcessor& m_owner;
    bool m_admitted;
};

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

// Files in flight per analysis thread during a walk: enough to keep every
// thread busy while a larger file holds up the reports behind it.
constexpr std::size_t kAnalysesInFlightPerThread = 64;

unsigned AnalysisThreadCount() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors == 0 ? 1u : system.dwNumberOfProcessors;
}

} // namespace

FileProcessor::FileProcessor() {
    std::memset(&m_module, 0, sizeof m_module);
}

FileProcessor::~FileProcessor() {
    Shutdown();
}

void FileProcessor::SetCallback(IWardenCallback* callback) {
    if (callback)
        m_callback = callback;
}

int FileProcessor::Initialize() {
    return Initialize(ORBDBSqliteConn::DefaultDatabasePath());
}

int FileProcessor::Initialize(const std::wstring& storePath) {
    return Initialize(storePath, SqlDatabase::kDefaultBusyTimeoutMs);
}

int FileProcessor::Initialize(const std::wstring& storePath, int storeBusyTimeoutMs) {
    // A window initialises on a worker: a Shutdown meanwhile waits for this.
    CallGuard guard(*this);
    if (!guard.Admitted())
        return -1;
    const bool loaded = LoadComponent();
    OpenStore(storePath, storeBusyTimeoutMs);
    return loaded ? 0 : -1;
}

std::wstring FileProcessor::ComponentPath() const {
    if (m_module.library)
        return GetModulePath(m_module.library);
    if (!m_componentFailure.path.empty())
        return m_componentFailure.path;
    return m_componentFailure.folder + m_componentFailure.name;
}

void FileProcessor::SetComponentLibrary(std::wstring nameOrPath) {
    m_componentLibrary = std::move(nameOrPath);
}

bool FileProcessor::LoadComponent() {
    const HRESULT loaded =
        LoadComponentModule(m_module, m_componentLibrary.c_str(), &m_componentFailure);
    if (FAILED(loaded))
        return false;
    CreateComponentObject(m_module, CLSID_VxFileDetector, IID_IFileDetector,
                          reinterpret_cast<void**>(&m_detector));
    if (m_detector)
        CreateComponentObject(m_module, CLSID_VxSignatureList, IID_ISignatureList,
                              reinterpret_cast<void**>(&m_signatures));
    if (m_detector && m_signatures)
        return true;
    m_componentFailure.result = kComponentObjectMissing;
    m_componentFailure.path = GetModulePath(m_module.library);
    m_componentFailure.missing = m_detector ? "ISignatureList" : "IFileDetector";
    if (m_detector) {
        m_detector->Release();
        m_detector = nullptr;
    }
    return false;
}

void FileProcessor::OpenStore(const std::wstring& storePath, int storeBusyTimeoutMs) {
    m_storePath = storePath;
    m_store = std::make_unique<ORBDBSqliteConn>(storePath, storeBusyTimeoutMs);
    m_store->Open();
    m_store->InitUserBlackTable();
    m_store->InitUserTrustedTable();
    m_storeAccess = m_store->CheckAccess();
}

bool FileProcessor::Stopping() const {
    return m_stopping != 0;
}

void FileProcessor::Shutdown() {
    InterlockedExchange(&m_stopping, 1);
    while (m_activeCalls != 0)
        Sleep(1);
    if (m_store) {
        m_store->Close();
        m_store.reset();
    }
    if (m_signatures) {
        m_signatures->Release();
        m_signatures = nullptr;
    }
    if (m_detector) {
        m_detector->Release();
        m_detector = nullptr;
    }
    FreeComponentModule(m_module);
}

void FileProcessor::ReportError(int code) {
    if (m_callback)
        m_callback->OnError(code);
}

bool FileProcessor::BeginListUpdate() {
    HRESULT begun;
    {
        ScopedLock lock(m_listLock);
        begun = m_signatures->BeginUpdate();
    }
    if (FAILED(begun)) {
        ReportError(-1);
        return false;
    }
    return true;
}

int FileProcessor::ExpandPath(const wchar_t* path) {
    if (!path)
        return -1;
    return ExpandPaths({path});
}

int FileProcessor::ExpandPaths(const std::vector<std::wstring>& paths) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_detector)
        return -1;

    IFileDetector& detector = *m_detector;
    int lastResult = 0;
    const unsigned threads = AnalysisThreadCount();
    OrderedPool<FileAnalysis> pool(
        threads, threads * kAnalysesInFlightPerThread,
        [&detector](FileAnalysis& analysis) { AnalyseWith(detector, analysis); },
        [&](FileAnalysis& analysis) {
            if (Stopping())
                return false;
            if (analysis.given && analysis.givenIndex + 1 == paths.size())
                lastResult = analysis.result;
            Report(analysis);
            return true;
        });
    PathWalk walk(paths);
    WalkedFile file;
    while (!Stopping() && walk.Next(file)) {
        FileAnalysis analysis;
        analysis.path = std::move(file.path);
        analysis.givenIndex = file.givenIndex;
        analysis.given = file.given;
        if (!pool.Submit(std::move(analysis)))
            break;
    }
    pool.Finish();
    return lastResult;
}

int FileProcessor::ProcessFile(const wchar_t* path) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_detector || !path)
        return -1;
    FileAnalysis analysis;
    analysis.path = path;
    AnalyseWith(*m_detector, analysis);
    Report(analysis);
    return analysis.result;
}

void FileProcessor::Report(const FileAnalysis& analysis) {
    if (!m_callback)
        return;
    FileAnalysisRecord record;
    FillRecord(analysis, record);
    m_callback->OnFileAnalysed(&record);
}

int FileProcessor::CommitTrusted(const std::vector<std::string>& md5s) {
    return Commit(UserList::Trusted, md5s);
}

int FileProcessor::CommitBlack(const std::vector<std::string>& md5s) {
    return Commit(UserList::Black, md5s);
}

bool FileProcessor::HaveSignatureList() {
    if (m_signatures)
        return true;
    ReportError(kComponentMissing);
    return false;
}

int FileProcessor::Commit(UserList list, const std::vector<std::string>& md5s) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !HaveSignatureList())
        return -1;
    if (!BeginListUpdate())
        return -1;
    const bool trusted = list == UserList::Trusted;
    int count = 0;
    for (const std::string& md5 : md5s) {
        if (Stopping())
            break;
        if (m_callback)
            trusted ? m_callback->OnTrustedItemBegin(md5.c_str())
                    : m_callback->OnBlackItemBegin(md5.c_str());
        {
            ScopedLock lock(m_listLock);
            if (trusted) {
                m_signatures->AddTrusted(md5.c_str());
            } else {
                m_signatures->AddBlack(md5.c_str());
                if (m_store)
                    m_store->DelUserBlackData(md5);
            }
        }
        if (m_callback)
            trusted ? m_callback->OnTrustedItemDone(md5.c_str())
                    : m_callback->OnBlackItemDone(md5.c_str());
        ++count;
    }
    ReportBatchDone(list, count);
    EndListUpdate();
    return 0;
}

int FileProcessor::CommitTrusted(const std::vector<CommitEntry>& entries) {
    return CommitInChunks(UserList::Trusted, entries);
}

int FileProcessor::CommitBlack(const std::vector<CommitEntry>& entries) {
    return CommitInChunks(UserList::Black, entries);
}

void FileProcessor::SetCommitChunkFiles(std::size_t files) {
    m_commitChunkFiles = std::max<std::size_t>(files, 1);
}

// The store is written before the component: a file is never on the
// component's lists without being in the store, where the window lists it
// and from where it can be taken off again. The component writes its lists
// once, when the update ends, so a crash before that leaves stored files
// that the component does not have yet, or, for files moved from the other
// list, still has on that list; committing them again mends both.
int FileProcessor::CommitInChunks(UserList list, const std::vector<CommitEntry>& entries) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !HaveSignatureList())
        return -1;
    if (!BeginListUpdate())
        return -1;
    const std::vector<const CommitEntry*> storable = StorableEntries(entries);
    std::unique_ptr<UserListWriter> writer = OpenStoreWriter(list);
    int result = writer ? 0 : kStoreWriteFailed;
    int done = 0;
    const std::size_t chunkFiles = m_commitChunkFiles;
    for (EntryIterator first = storable.begin(); result == 0 && first != storable.end();) {
        if (Stopping())
            break;
        const EntryIterator last =
            first +
            static_cast<std::ptrdiff_t>(std::min<std::size_t>(chunkFiles, storable.end() - first));
        if (CommitChunk(list, *writer, first, last))
            done += static_cast<int>(last - first);
        else
            result = kStoreWriteFailed;
        first = last;
    }
    CloseStoreWriter(writer);
    if (result == kStoreWriteFailed)
        ReportError(kStoreWriteFailed);
    ReportBatchDone(list, done);
    EndListUpdate();
    return result;
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

std::unique_ptr<UserListWriter> FileProcessor::OpenStoreWriter(UserList list) {
    if (!m_store)
        return nullptr;
    ScopedLock lock(m_listLock);
    return m_store->OpenWriter(list == UserList::Trusted ? UserTable::Trusted : UserTable::Black);
}

void FileProcessor::CloseStoreWriter(std::unique_ptr<UserListWriter>& writer) {
    ScopedLock lock(m_listLock);
    writer.reset();
}

bool FileProcessor::CommitChunk(UserList list, UserListWriter& writer, EntryIterator first,
                                EntryIterator last) {
    ReportItems(list, false, first, last);
    const std::string time = CurrentTimeText();
    UserListRecords records;
    records.reserve(static_cast<std::size_t>(last - first));
    for (EntryIterator entry = first; entry != last; ++entry)
        records.push_back(
            MakeUserListRecord((*entry)->md5.c_str(), time.c_str(), (*entry)->path.c_str()));
    {
        // Store and component change together: another commit's chunk
        // cannot come between them.
        ScopedLock lock(m_listLock);
        if (!writer.Write(records))
            return false;
        AddToComponent(list, first, last);
    }
    ReportItems(list, true, first, last);
    return true;
}

void FileProcessor::AddToComponent(UserList list, EntryIterator first, EntryIterator last) {
    for (EntryIterator entry = first; entry != last; ++entry) {
        if (list == UserList::Trusted)
            m_signatures->AddTrusted((*entry)->md5.c_str());
        else
            m_signatures->AddBlack((*entry)->md5.c_str());
    }
}

void FileProcessor::ReportItems(UserList list, bool done, EntryIterator first, EntryIterator last) {
    if (!m_callback)
        return;
    for (EntryIterator entry = first; entry != last; ++entry) {
        const char* md5 = (*entry)->md5.c_str();
        if (list == UserList::Trusted)
            done ? m_callback->OnTrustedItemDone(md5) : m_callback->OnTrustedItemBegin(md5);
        else
            done ? m_callback->OnBlackItemDone(md5) : m_callback->OnBlackItemBegin(md5);
    }
}

void FileProcessor::ReportBatchDone(UserList list, int count) {
    if (!m_callback)
        return;
    if (list == UserList::Trusted)
        m_callback->OnTrustedBatchDone(count);
    else
        m_callback->OnBlackBatchDone(count);
}

void FileProcessor::EndListUpdate() {
    ScopedLock lock(m_listLock);
    m_signatures->EndUpdate();
}

void FileProcessor::StoreTrusted(const std::string& md5, const std::string& path) {
    Store(UserList::Trusted, md5, path);
}

void FileProcessor::StoreBlack(const std::string& md5, const std::string& path) {
    Store(UserList::Black, md5, path);
}

void FileProcessor::Store(UserList list, const std::string& md5, const std::string& path) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return;
    // A path that does not fit the record is not stored cut.
    if (path.size() >= sizeof(UserListRecord::Path))
        return;
    const std::string time = CurrentTimeText();
    const UserListRecord record = MakeUserListRecord(md5.c_str(), time.c_str(), path.c_str());

    ScopedLock lock(m_listLock);
    // One transaction: a crash never leaves the file on neither list.
    const bool inTransaction = m_store->ExecSql("begin transaction;") == 0;
    int added;
    if (list == UserList::Trusted) {
        if (m_store->UserBlackExists(md5) != -1)
            m_store->DelUserBlackData(md5);
        if (m_store->UserTrustedExists(md5) != -1)
            m_store->DelUserTrustedData(md5);
        added = m_store->AddUserTrustedData(&record);
    } else {
        if (m_store->UserTrustedExists(md5) != -1)
            m_store->DelUserTrustedData(md5);
        if (m_store->UserBlackExists(md5) != -1)
            m_store->DelUserBlackData(md5);
        added = m_store->AddUserBlackData(&record);
    }
    if (inTransaction) {
        if (added == -1 || m_store->ExecSql("commit transaction;") != 0)
            m_store->ExecSql("rollback transaction");
    }
}

int FileProcessor::RemoveTrustedEntry(const std::string& md5) {
    return Remove(UserList::Trusted, md5);
}

int FileProcessor::RemoveBlackEntry(const std::string& md5) {
    return Remove(UserList::Black, md5);
}

int FileProcessor::Remove(UserList list, const std::string& md5) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !HaveSignatureList())
        return -1;
    if (!BeginListUpdate())
        return -1;
    ScopedLock lock(m_listLock);
    if (list == UserList::Trusted) {
        m_signatures->RemoveTrusted(md5.c_str());
        m_signatures->EndUpdate();
        if (m_store)
            m_store->DelUserTrustedData(md5);
    } else {
        m_signatures->RemoveBlack(md5.c_str());
        m_signatures->EndUpdate();
        if (m_store)
            m_store->DelUserBlackData(md5);
    }
    return 0;
}

void FileProcessor::LoadTrustedEntries(UserListRecords& records) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return;
    ScopedLock lock(m_listLock);
    m_store->LoadUserTrustedData(records);
}

void FileProcessor::LoadBlackEntries(UserListRecords& records) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return;
    ScopedLock lock(m_listLock);
    m_store->LoadUserBlackData(records);
}

SignatureListKind FileProcessor::StoredListOf(const std::string& md5) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return kSignatureNone;
    ScopedLock lock(m_listLock);
    if (m_store->UserTrustedExists(md5) != -1)
        return kSignatureTrusted;
    if (m_store->UserBlackExists(md5) != -1)
        return kSignatureBlack;
    return kSignatureNone;
}
