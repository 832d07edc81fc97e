#include "vmrdetect/SignatureList.h"

#include <cstdint>
#include <string>
#include <utility>

#include "common/FileWrites.h"
#include "common/ModulePath.h"
#include "intake/Digest.h"

namespace {

HRESULT ResultOf(DWORD error) {
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

HRESULT LastErrorResult() {
    return ResultOf(GetLastError());
}

// Writes a file anew: a temporary file beside it, then a replace.
HRESULT ReplaceWhole(const std::wstring& path, const std::string& text) {
    ReplacingFile file(path);
    if (file.Open() && file.Write(text.data(), text.size()) && file.Commit())
        return S_OK;
    return ResultOf(file.Error());
}

// Writes `text` at `offset` of an existing file and ends the file after it
// (over a block an interrupted append left).
HRESULT AppendAt(const std::wstring& path, std::uint64_t offset, const std::string& text) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastErrorResult();
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()) ||
        !WriteAllBytes(file.Get(), text.data(), text.size()) || !FlushFileBuffers(file.Get()))
        return LastErrorResult();
    return S_OK;
}

} // namespace

std::wstring SignatureListFilePath() {
    wchar_t overridden[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", overridden,
                                                 sizeof overridden / sizeof overridden[0]);
    if (length > 0 && length < sizeof overridden / sizeof overridden[0])
        return std::wstring(overridden, length);
    return GetModuleFolder(GetCurrentModule()) + L"vmrdetect.lists";
}

// The file is read when the lists are first used: a program that only
// analyses files, or reads the store, never reads a million entries.
SignatureList::SignatureList(std::wstring path) : m_path(std::move(path)) {}

SignatureList::FileStamp SignatureList::StampOfFile() const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &data))
        return FileStamp{};
    return FileStamp{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime,
                     data.nFileSizeLow, data.nFileSizeHigh};
}

HRESULT SignatureList::Load() {
    m_loaded = true;
    m_loadedStamp = StampOfFile();
    UniqueFile file(CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        m_table.Parse("");
        return GetLastError() == ERROR_FILE_NOT_FOUND ? S_OK : LastErrorResult();
    }
    std::string text;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got != 0)
        text.append(chunk, got);
    return m_table.Parse(text) ? S_OK : E_FAIL;
}

// A large file takes the changes as a block appended to it; a small one, or
// one that holds many blocks already, is written anew. An append that fails
// leaves the file as it was to the lists (a block cut short is ignored):
// then the whole file is written instead.
HRESULT SignatureList::Save() {
    SignatureTable::FileUpdate update = m_table.Update();
    HRESULT hr = update.append ? AppendAt(m_path, m_table.FileBytes(), update.text) : E_FAIL;
    if (FAILED(hr)) {
        if (update.append)
            update = SignatureTable::FileUpdate{false, m_table.Serialize(), 0};
        hr = ReplaceWhole(m_path, update.text);
    }
    if (FAILED(hr))
        return hr;
    m_table.Written(update);
    m_loadedStamp = StampOfFile();
    m_dirty = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SignatureList::BeginUpdate() {
    ScopedLock lock(m_lock);
    if (m_depth == 0) {
        // The lock file proves the folder is writable and keeps other
        // processes' brackets out until EndUpdate.
        const std::wstring lockPath = m_path + L".lock";
        UniqueFile updateLock(
            CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!updateLock)
            return LastErrorResult();
        if (GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            UniqueFile writable(CreateFileW(m_path.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!writable)
                return LastErrorResult();
        }
        // Another process may have changed the lists since they were read.
        if (!m_loaded || StampOfFile() != m_loadedStamp)
            Load();
        m_updateLock = std::move(updateLock);
    }
    ++m_depth;
    return S_OK;
}

HRESULT SignatureList::Change(const char* md5, SignatureListKind kind, bool add) {
    if (!md5 || !IsMd5Text(md5))
        return E_INVALIDARG;
    ScopedLock lock(m_lock);
    if (m_depth == 0)
        return E_UNEXPECTED;
    const std::string key = LowerMd5(md5);
    const bool changed = add ? m_table.Put(key, kind) : m_table.Remove(key, kind);
    m_dirty = m_dirty || changed;
    return changed ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SignatureList::QueryInterface(REFIID id, void** object) {
    if (object && IsEqualGUID(id, IID_ISignatureLookup)) {
        *object = static_cast<ISignatureLookup*>(this);
        AddRef();
        return S_OK;
    }
    return ComObject::QueryInterface(id, object);
}

ULONG STDMETHODCALLTYPE SignatureList::AddRef() {
    return ComObject::AddRef();
}

ULONG STDMETHODCALLTYPE SignatureList::Release() {
    return ComObject::Release();
}

HRESULT STDMETHODCALLTYPE SignatureList::ReservedSlot5() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignatureList::Lookup(const char* md5, int* kind) {
    if (!md5 || !kind)
        return E_POINTER;
    ScopedLock lock(m_lock);
    if (!m_loaded)
        Load();
    *kind = m_table.Find(md5);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SignatureList::RemoveTrusted(const char* md5) {
    return Change(md5, kSignatureTrusted, false);
}
HRESULT STDMETHODCALLTYPE SignatureList::AddTrusted(const char* md5) {
    return Change(md5, kSignatureTrusted, true);
}
HRESULT STDMETHODCALLTYPE SignatureList::AddBlack(const char* md5) {
    return Change(md5, kSignatureBlack, true);
}
HRESULT STDMETHODCALLTYPE SignatureList::RemoveBlack(const char* md5) {
    return Change(md5, kSignatureBlack, false);
}

HRESULT STDMETHODCALLTYPE SignatureList::EndUpdate() {
    ScopedLock lock(m_lock);
    if (m_depth == 0)
        return E_UNEXPECTED;
    if (--m_depth != 0)
        return S_OK;
    const HRESULT hr = m_dirty ? Save() : S_OK;
    m_updateLock.Reset();
    return hr;
}
