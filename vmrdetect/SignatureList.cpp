#include "vmrdetect/SignatureList.h"

#include <string>
#include <utility>

#include "common/ModulePath.h"
#include "intake/Digest.h"

namespace {

HRESULT LastErrorResult() {
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

HRESULT WriteWhole(const std::wstring& path, const std::string& text) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastErrorResult();
    std::size_t done = 0;
    while (done < text.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), text.data() + done, piece, &written, nullptr) || written == 0)
            return LastErrorResult();
        done += written;
    }
    if (!FlushFileBuffers(file.Get()))
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

FILETIME SignatureList::FileWriteTime() const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &data))
        return FILETIME{};
    return data.ftLastWriteTime;
}

HRESULT SignatureList::Load() {
    m_loaded = true;
    m_loadedWriteTime = FileWriteTime();
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

HRESULT SignatureList::Save() {
    const std::wstring temporary = m_path + L".tmp";
    HRESULT hr = WriteWhole(temporary, m_table.Serialize());
    if (SUCCEEDED(hr) && !MoveFileExW(temporary.c_str(), m_path.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = LastErrorResult();
    if (FAILED(hr)) {
        DeleteFileW(temporary.c_str());
        return hr;
    }
    m_loadedWriteTime = FileWriteTime();
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
        if (!m_loaded || !SameTime(FileWriteTime(), m_loadedWriteTime))
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

HRESULT STDMETHODCALLTYPE SignatureList::Lookup(const char* md5, int* kind) {
    if (!md5 || !kind)
        return E_POINTER;
    ScopedLock lock(m_lock);
    if (!m_loaded)
        Load();
    *kind = m_table.Find(LowerMd5(md5));
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
