#pragma once
// ISignatureList over the component's list file. The file is read when the
// lists are first used; changes happen only inside BeginUpdate/EndUpdate, and the
// outermost EndUpdate writes them: appended to a large file as one block, or
// the whole file atomically (a temporary file, then a replace). While a
// bracket is open a lock file beside the list keeps other processes'
// brackets out.

#include <string>

#include "common/CriticalSection.h"
#include "common/Handles.h"
#include "intake/DetectionComponent.h"
#include "vmrdetect/ComObject.h"
#include "vmrdetect/SignatureTable.h"

// The list file: "vmrdetect.lists" beside the component, or the file named by
// the environment variable VMRDETECT_LIST_FILE (tests and side-by-side setups).
std::wstring SignatureListFilePath();

// It also answers ISignatureLookup, which list holds an MD5, through
// QueryInterface; the lookup shares the object's reference count.
class SignatureList : public ComObject<ISignatureList, IID_ISignatureList>,
                      public ISignatureLookup {
public:
    explicit SignatureList(std::wstring path);

    // IUnknown, for both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE BeginUpdate() override;
    HRESULT STDMETHODCALLTYPE ReservedSlot5() override;
    HRESULT STDMETHODCALLTYPE Lookup(const char* md5, int* kind) override;
    HRESULT STDMETHODCALLTYPE RemoveTrusted(const char* md5) override;
    HRESULT STDMETHODCALLTYPE AddTrusted(const char* md5) override;
    HRESULT STDMETHODCALLTYPE AddBlack(const char* md5) override;
    HRESULT STDMETHODCALLTYPE RemoveBlack(const char* md5) override;
    HRESULT STDMETHODCALLTYPE EndUpdate() override;

private:
    HRESULT Change(const char* md5, SignatureListKind kind, bool add);
    HRESULT Load();
    HRESULT Save();
    // The list file's last write time and size: another process changed
    // the file when they differ from those last seen.
    struct FileStamp {
        DWORD timeLow = 0, timeHigh = 0, sizeLow = 0, sizeHigh = 0;
        bool operator!=(const FileStamp& other) const {
            return timeLow != other.timeLow || timeHigh != other.timeHigh ||
                   sizeLow != other.sizeLow || sizeHigh != other.sizeHigh;
        }
    };
    FileStamp StampOfFile() const;

    std::wstring m_path;
    CriticalSection m_lock;
    SignatureTable m_table;
    UniqueFile m_updateLock;
    bool m_loaded = false;
    int m_depth = 0;
    bool m_dirty = false;
    FileStamp m_loadedStamp;
};
