#include "intake/FileProcessor.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "common/Handles.h"
#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "intake/Digest.h"
#include "intake/FileAnalysis.h"
#include "intake/OrderedPool.h"
#include "intake/PathWalk.h"
#include "intake/ProcessorCallGuard.h"
#include "store/ORBDBSqliteConn.h"

namespace {

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
    // Only the class-object export is ever called: a library that lacks
    // one of the other three is used all the same.
    const bool usable = loaded != kComponentNotLoaded && m_module.getClassObject;
    if (usable) {
        CreateComponentObject(m_module, CLSID_VxFileDetector, IID_IFileDetector,
                              reinterpret_cast<void**>(&m_detector));
        if (m_detector)
            CreateComponentObject(m_module, CLSID_VxSignatureList, IID_ISignatureList,
                                  reinterpret_cast<void**>(&m_signatures));
    }
    if (m_detector && m_signatures) {
        m_componentFailure = ComponentLoadFailure{};
        // Beyond the contract: which list holds an MD5, when the component
        // answers it.
        if (FAILED(m_signatures->QueryInterface(IID_ISignatureLookup,
                                                reinterpret_cast<void**>(&m_lookup))))
            m_lookup = nullptr;
        return true;
    }
    if (usable) {
        m_componentFailure.result = kComponentObjectMissing;
        m_componentFailure.path = GetModulePath(m_module.library);
        m_componentFailure.missing = m_detector ? "ISignatureList" : "IFileDetector";
    }
    if (!m_detector) {
        // The processor's one diagnostic line, on standard output as the
        // store's log lines.
        std::cout << "[FileProcessor::Initialize()] no file detector from the detection component "
                  << WideToUtf8(ComponentPath()) << std::endl;
    }
    if (m_detector) {
        m_detector->Release();
        m_detector = nullptr;
    }
    return false;
}

void FileProcessor::OpenStore(const std::wstring& storePath, int storeBusyTimeoutMs) {
    m_storePath = storePath;
    m_store = std::make_unique<ORBDBSqliteConn>(storePath, storeBusyTimeoutMs);
    m_store->SetCancelSignal(&m_stopSignal);
    m_store->Open();
    m_store->InitUserBlackTable();
    m_store->InitUserTrustedTable();
    m_storeAccess = m_store->CheckAccess();
    m_storeSchema = m_store->PrepareDetails();
}

bool FileProcessor::Stopping() const {
    return m_stopping != 0;
}

void FileProcessor::Shutdown() {
    Shutdown(INFINITE);
}

bool FileProcessor::Shutdown(DWORD milliseconds) {
    {
        ScopedLock lock(m_callsLock);
        InterlockedExchange(&m_stopping, 1);
        m_stopSignal.Raise();
        const ULONGLONG deadline = GetTickCount64() + milliseconds;
        while (m_activeCalls != 0) {
            DWORD wait = INFINITE;
            if (milliseconds != INFINITE) {
                const ULONGLONG now = GetTickCount64();
                if (now >= deadline)
                    return false;
                wait = static_cast<DWORD>(deadline - now);
            }
            m_callsLock.Wait(m_callsEnded, wait);
        }
    }
    // A commit stopped between its chunks leaves its update open; every
    // chunk in it is whole, so it ends as usual and the lists are saved.
    if (m_updateOpen && m_signatures)
        m_signatures->EndUpdate();
    m_updateOpen = false;
    if (m_store) {
        m_store->Close();
        m_store.reset();
    }
    if (m_lookup) {
        m_lookup->Release();
        m_lookup = nullptr;
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
    return true;
}

void FileProcessor::ReportError(int code) {
    if (m_callback)
        m_callback->OnError(code);
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
    const bool readFacts = m_readFacts;
    int lastResult = 0;
    const unsigned threads = AnalysisThreadCount();
    OrderedPool<FileAnalysis> pool(
        threads, threads * kAnalysesInFlightPerThread,
        [&detector, readFacts](FileAnalysis& analysis) {
            AnalyseWith(detector, analysis, readFacts);
        },
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
    AnalyseWith(*m_detector, analysis, m_readFacts);
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

void FileProcessor::VisitEntries(ListKind list,
                                 const std::function<void(const UserListRecord&)>& visit) {
    VisitStoredEntries(list, visit);
}

bool FileProcessor::VisitStoredEntries(ListKind list,
                                       const std::function<void(const UserListRecord&)>& visit) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return false;
    ScopedLock lock(m_listLock);
    return m_store->VisitTable(list, visit);
}

bool FileProcessor::UseStore(const std::function<void(ORBDBSqliteConn&)>& use) {
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return false;
    ScopedLock lock(m_listLock);
    use(*m_store);
    return true;
}

SignatureListKind FileProcessor::StoredListOf(const std::string& md5) {
    ListSet lists;
    StoredListsOf(md5, lists);
    return lists.Dominant();
}

bool FileProcessor::StoredListsOf(const std::string& md5, ListSet& lists) {
    lists = ListSet{};
    CallGuard guard(*this);
    if (!guard.Admitted() || !m_store)
        return false;
    ScopedLock lock(m_listLock);
    return ReadStoredLists(md5, lists);
}
