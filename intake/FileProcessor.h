#pragma once
// The back end of the main window: the single owner of the detection
// component's two objects and of the user-list store connection. It turns
// dropped or picked paths into analysed files, commits batches of MD5s to the
// component's lists, stores and removes entries, and reads the stored lists.
// Every report goes out through IWardenCallback on the calling thread.
//
// Calls may come from several threads at once (a drop on one tab while the
// other tab commits): calls into the signature list and the store are
// serialised by one lock, analyses by another, and no report is made while a
// lock is held.

#include <memory>
#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "intake/ComponentModule.h"
#include "intake/DetectionComponent.h"
#include "intake/IWardenCallback.h"
#include "store/UserListRecord.h"
#include "store/iqdatabase.h"

enum class UserList { Trusted, Black };

class FileProcessor {
public:
    FileProcessor();
    ~FileProcessor();
    FileProcessor(const FileProcessor&) = delete;
    FileProcessor& operator=(const FileProcessor&) = delete;

    // A null receiver leaves the previous one in place.
    void SetCallback(IWardenCallback* callback);

    // Loads the component, creates its two objects, then opens the store
    // ("UserSign.dat" beside the executable, or the given file) and makes
    // sure both tables exist. -1 when an object is missing (no store then).
    int Initialize();
    int Initialize(const std::wstring& storePath);

    // One file, or every file under a folder (recursively).
    int ExpandPath(const wchar_t* path);
    // Analyses and reports one file; returns the component's result code.
    int ProcessFile(const wchar_t* path);

    // Commits MD5s in order; -1 when the component refused to begin.
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

    int Commit(UserList list, const std::vector<std::string>& md5s);
    void Store(UserList list, const std::string& md5, const std::string& path);
    int Remove(UserList list, const std::string& md5);
    void ReportError(int code);
    // Whether the component's signature list exists; without it reports -1
    // (the window's component-failure box) and says false.
    bool HaveSignatureList();
    // Opens the component's change bracket; on refusal reports -1 and says false.
    bool BeginListUpdate();
    bool Stopping() const;

    IWardenCallback* m_callback = nullptr;
    IFileDetector* m_detector = nullptr;
    ISignatureList* m_signatures = nullptr;
    ComponentModule m_module;
    std::unique_ptr<iqdatabase> m_store;

    CriticalSection m_listLock;     // signature list and store
    CriticalSection m_detectorLock; // analyses
    volatile LONG m_stopping = 0;
    volatile LONG m_activeCalls = 0;
};
