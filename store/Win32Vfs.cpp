#include "store/Win32Vfs.h"

#include <cstring>

#include <sqlite3.h>
#include <windows.h>

#include "common/ModulePath.h"
#include "common/TextConvert.h"

const char kWin32VfsName[] = "win32-files";

namespace {

// The engine's lock bytes, as every Windows and POSIX build places them.
constexpr DWORD kPendingByte = 0x40000000;
constexpr DWORD kReservedByte = kPendingByte + 1;
constexpr DWORD kSharedFirst = kPendingByte + 2;
constexpr DWORD kSharedSize = 510;

constexpr int kMaxPathBytes = 32768 * 3;

struct Win32File {
    sqlite3_file base; // must stay first: the engine sees this part only
    HANDLE handle;
    int lockLevel;
};

Win32File* AsFile(sqlite3_file* file) { return reinterpret_cast<Win32File*>(file); }

OVERLAPPED OverlappedAt(sqlite3_int64 offset) {
    OVERLAPPED overlapped = {};
    overlapped.Offset = static_cast<DWORD>(offset & 0xffffffffu);
    overlapped.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    return overlapped;
}

bool LockBytes(HANDLE handle, DWORD offset, DWORD count, bool exclusive) {
    OVERLAPPED overlapped = OverlappedAt(offset);
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY;
    if (exclusive)
        flags |= LOCKFILE_EXCLUSIVE_LOCK;
    return LockFileEx(handle, flags, 0, count, 0, &overlapped) != FALSE;
}

bool UnlockBytes(HANDLE handle, DWORD offset, DWORD count) {
    OVERLAPPED overlapped = OverlappedAt(offset);
    return UnlockFileEx(handle, 0, count, 0, &overlapped) != FALSE;
}

bool GetReadLock(HANDLE handle) { return LockBytes(handle, kSharedFirst, kSharedSize, false); }
bool ReleaseReadLock(HANDLE handle) { return UnlockBytes(handle, kSharedFirst, kSharedSize); }

// ---- file methods ------------------------------------------------------

int FileClose(sqlite3_file* base) {
    Win32File* file = AsFile(base);
    if (file->handle != INVALID_HANDLE_VALUE) {
        CloseHandle(file->handle);
        file->handle = INVALID_HANDLE_VALUE;
    }
    return SQLITE_OK;
}

int FileRead(sqlite3_file* base, void* buffer, int amount, sqlite3_int64 offset) {
    Win32File* file = AsFile(base);
    BYTE* out = static_cast<BYTE*>(buffer);
    int done = 0;
    while (done < amount) {
        OVERLAPPED overlapped = OverlappedAt(offset + done);
        DWORD got = 0;
        if (!ReadFile(file->handle, out + done, static_cast<DWORD>(amount - done), &got,
                      &overlapped)) {
            if (GetLastError() != ERROR_HANDLE_EOF)
                return SQLITE_IOERR_READ;
            got = 0;
        }
        if (got == 0)
            break;
        done += static_cast<int>(got);
    }
    if (done < amount) {
        std::memset(out + done, 0, static_cast<std::size_t>(amount - done));
        return SQLITE_IOERR_SHORT_READ;
    }
    return SQLITE_OK;
}

int FileWrite(sqlite3_file* base, const void* buffer, int amount, sqlite3_int64 offset) {
    Win32File* file = AsFile(base);
    const BYTE* in = static_cast<const BYTE*>(buffer);
    int done = 0;
    while (done < amount) {
        OVERLAPPED overlapped = OverlappedAt(offset + done);
        DWORD written = 0;
        if (!WriteFile(file->handle, in + done, static_cast<DWORD>(amount - done), &written,
                       &overlapped) ||
            written == 0) {
            const DWORD error = GetLastError();
            return (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
                       ? SQLITE_FULL
                       : SQLITE_IOERR_WRITE;
        }
        done += static_cast<int>(written);
    }
    return SQLITE_OK;
}

int FileTruncate(sqlite3_file* base, sqlite3_int64 size) {
    Win32File* file = AsFile(base);
    LARGE_INTEGER position;
    position.QuadPart = size;
    if (!SetFilePointerEx(file->handle, position, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(file->handle))
        return SQLITE_IOERR_TRUNCATE;
    return SQLITE_OK;
}

int FileSync(sqlite3_file* base, int) {
    return FlushFileBuffers(AsFile(base)->handle) ? SQLITE_OK : SQLITE_IOERR_FSYNC;
}

int FileSize(sqlite3_file* base, sqlite3_int64* size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(AsFile(base)->handle, &value))
        return SQLITE_IOERR_FSTAT;
    *size = value.QuadPart;
    return SQLITE_OK;
}

// The engine's Windows locking protocol: a shared lock is a read lock on the
// shared range taken while the pending byte is held; reserved is the
// reserved byte; exclusive is the whole shared range, reached through
// pending so that new readers are kept out while the writer waits.
int FileLock(sqlite3_file* base, int level) {
    Win32File* file = AsFile(base);
    const int current = file->lockLevel;
    if (current >= level)
        return SQLITE_OK;

    bool ok = true;
    bool gotPending = false;
    int newLevel = current;
    if (current == SQLITE_LOCK_NONE ||
        (level == SQLITE_LOCK_EXCLUSIVE && current == SQLITE_LOCK_RESERVED)) {
        // The pending byte may be held for a moment by a reader that is
        // taking its shared lock: try a few times.
        ok = false;
        for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
            ok = LockBytes(file->handle, kPendingByte, 1, true);
            if (!ok)
                Sleep(1);
        }
        gotPending = ok;
    }
    if (level == SQLITE_LOCK_SHARED && ok) {
        ok = GetReadLock(file->handle);
        if (ok)
            newLevel = SQLITE_LOCK_SHARED;
    }
    if (level == SQLITE_LOCK_RESERVED && ok) {
        ok = LockBytes(file->handle, kReservedByte, 1, true);
        if (ok)
            newLevel = SQLITE_LOCK_RESERVED;
    }
    if (level == SQLITE_LOCK_EXCLUSIVE && ok) {
        newLevel = SQLITE_LOCK_PENDING;
        gotPending = false;
        ReleaseReadLock(file->handle);
        ok = LockBytes(file->handle, kSharedFirst, kSharedSize, true);
        if (ok)
            newLevel = SQLITE_LOCK_EXCLUSIVE;
        else
            GetReadLock(file->handle);
    }
    if (gotPending && level == SQLITE_LOCK_SHARED)
        UnlockBytes(file->handle, kPendingByte, 1);

    file->lockLevel = newLevel;
    return ok ? SQLITE_OK : SQLITE_BUSY;
}

int FileUnlock(sqlite3_file* base, int level) {
    Win32File* file = AsFile(base);
    const int current = file->lockLevel;
    int rc = SQLITE_OK;
    if (current >= SQLITE_LOCK_EXCLUSIVE) {
        UnlockBytes(file->handle, kSharedFirst, kSharedSize);
        if (level == SQLITE_LOCK_SHARED && !GetReadLock(file->handle))
            rc = SQLITE_IOERR_UNLOCK;
    }
    if (current >= SQLITE_LOCK_RESERVED)
        UnlockBytes(file->handle, kReservedByte, 1);
    if (level == SQLITE_LOCK_NONE && current >= SQLITE_LOCK_SHARED)
        ReleaseReadLock(file->handle);
    if (current >= SQLITE_LOCK_PENDING)
        UnlockBytes(file->handle, kPendingByte, 1);
    file->lockLevel = level;
    return rc;
}

int FileCheckReservedLock(sqlite3_file* base, int* result) {
    Win32File* file = AsFile(base);
    if (file->lockLevel >= SQLITE_LOCK_RESERVED) {
        *result = 1;
        return SQLITE_OK;
    }
    const bool free = LockBytes(file->handle, kReservedByte, 1, true);
    if (free)
        UnlockBytes(file->handle, kReservedByte, 1);
    *result = free ? 0 : 1;
    return SQLITE_OK;
}

int FileControl(sqlite3_file* base, int op, void* arg) {
    if (op == SQLITE_FCNTL_LOCKSTATE) {
        *static_cast<int*>(arg) = AsFile(base)->lockLevel;
        return SQLITE_OK;
    }
    return SQLITE_NOTFOUND;
}

int FileSectorSize(sqlite3_file*) { return 4096; }

int FileDeviceCharacteristics(sqlite3_file*) { return SQLITE_IOCAP_UNDELETABLE_WHEN_OPEN; }

const sqlite3_io_methods kFileMethods = {
    1, // no shared memory: the store uses rollback journals only
    FileClose,
    FileRead,
    FileWrite,
    FileTruncate,
    FileSync,
    FileSize,
    FileLock,
    FileUnlock,
    FileCheckReservedLock,
    FileControl,
    FileSectorSize,
    FileDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// ---- file layer methods ------------------------------------------------

WString TemporaryFileName() {
    wchar_t folder[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0)
        return WString();
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder, L"etq", 0, name) == 0)
        return WString();
    return WString(name);
}

HANDLE OpenHandle(const WString& path, bool readWrite, DWORD disposition, DWORD attributes) {
    const DWORD access = readWrite ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ;
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       disposition, attributes, nullptr);
}

int VfsOpen(sqlite3_vfs*, const char* name, sqlite3_file* base, int flags, int* outFlags) {
    Win32File* file = AsFile(base);
    file->base.pMethods = nullptr;
    file->handle = INVALID_HANDLE_VALUE;
    file->lockLevel = SQLITE_LOCK_NONE;

    WString path = name ? Utf8ToWide(name) : TemporaryFileName();
    if (path.empty())
        return SQLITE_CANTOPEN;

    const bool readWrite = (flags & SQLITE_OPEN_READWRITE) != 0;
    const bool create = (flags & SQLITE_OPEN_CREATE) != 0;
    const bool exclusive = (flags & SQLITE_OPEN_EXCLUSIVE) != 0;
    DWORD disposition = OPEN_EXISTING;
    if (!name)
        disposition = CREATE_ALWAYS; // the temporary name exists already, empty
    else if (create)
        disposition = exclusive ? CREATE_NEW : OPEN_ALWAYS;

    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (flags & SQLITE_OPEN_DELETEONCLOSE || !name)
        attributes = FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE;

    HANDLE handle = OpenHandle(path, readWrite, disposition, attributes);
    int openedFlags = flags;
    if (handle == INVALID_HANDLE_VALUE && readWrite && GetLastError() == ERROR_ACCESS_DENIED) {
        // A read-only file is opened for reading, as the engine expects.
        handle = OpenHandle(path, false, OPEN_EXISTING, attributes);
        openedFlags = (flags | SQLITE_OPEN_READONLY) & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    }
    if (handle == INVALID_HANDLE_VALUE)
        return SQLITE_CANTOPEN;

    file->handle = handle;
    file->base.pMethods = &kFileMethods;
    if (outFlags)
        *outFlags = openedFlags;
    return SQLITE_OK;
}

int VfsDelete(sqlite3_vfs*, const char* name, int) {
    const WString path = Utf8ToWide(name);
    // Another process may hold the file open for a moment (a reader that
    // checks for a hot journal): retry a little before giving up.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (DeleteFileW(path.c_str()))
            return SQLITE_OK;
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return SQLITE_IOERR_DELETE_NOENT;
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
            break;
        Sleep(25);
    }
    return SQLITE_IOERR_DELETE;
}

int VfsAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    const WString path = Utf8ToWide(name);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        *result = 0;
        return SQLITE_OK;
    }
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    switch (flags) {
    case SQLITE_ACCESS_EXISTS:
        // An empty journal is as good as none.
        *result = isFolder || data.nFileSizeHigh != 0 || data.nFileSizeLow != 0;
        break;
    case SQLITE_ACCESS_READWRITE:
        *result = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
        break;
    default:
        *result = 1;
        break;
    }
    return SQLITE_OK;
}

int VfsFullPathname(sqlite3_vfs*, const char* name, int outSize, char* out) {
    const WString full = FullPathName(Utf8ToWide(name));
    if (full.empty())
        return SQLITE_CANTOPEN_FULLPATH;
    const std::string utf8 = WideToUtf8(full);
    if (static_cast<int>(utf8.size()) >= outSize)
        return SQLITE_CANTOPEN_FULLPATH;
    std::memcpy(out, utf8.c_str(), utf8.size() + 1);
    return SQLITE_OK;
}

int VfsRandomness(sqlite3_vfs*, int size, char* out) {
    std::memset(out, 0, static_cast<std::size_t>(size));
    // Seeds for the engine's own generator: time, counters and ids.
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const DWORD values[] = {counter.LowPart,          static_cast<DWORD>(counter.HighPart),
                            now.dwLowDateTime,        now.dwHighDateTime,
                            GetCurrentProcessId(),    GetCurrentThreadId(),
                            GetTickCount()};
    const std::size_t bytes = sizeof(values) < static_cast<std::size_t>(size)
                                  ? sizeof(values)
                                  : static_cast<std::size_t>(size);
    std::memcpy(out, values, bytes);
    return static_cast<int>(bytes);
}

int VfsSleep(sqlite3_vfs*, int microseconds) {
    const DWORD milliseconds = static_cast<DWORD>((microseconds + 999) / 1000);
    Sleep(milliseconds);
    return static_cast<int>(milliseconds * 1000);
}

int VfsCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    // Julian day of 1601-01-01 (the FILETIME epoch) in milliseconds.
    constexpr sqlite3_int64 kFileTimeEpoch = 23058135LL * 8640000LL;
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    *now = kFileTimeEpoch + static_cast<sqlite3_int64>(ticks.QuadPart / 10000);
    return SQLITE_OK;
}

int VfsCurrentTime(sqlite3_vfs* vfs, double* now) {
    sqlite3_int64 milliseconds = 0;
    VfsCurrentTimeInt64(vfs, &milliseconds);
    *now = static_cast<double>(milliseconds) / 86400000.0;
    return SQLITE_OK;
}

int VfsGetLastError(sqlite3_vfs*, int, char*) { return 0; }

sqlite3_vfs MakeVfs() {
    sqlite3_vfs vfs = {};
    vfs.iVersion = 2;
    vfs.szOsFile = sizeof(Win32File);
    vfs.mxPathname = kMaxPathBytes;
    vfs.zName = kWin32VfsName;
    vfs.xOpen = VfsOpen;
    vfs.xDelete = VfsDelete;
    vfs.xAccess = VfsAccess;
    vfs.xFullPathname = VfsFullPathname;
    vfs.xRandomness = VfsRandomness;
    vfs.xSleep = VfsSleep;
    vfs.xCurrentTime = VfsCurrentTime;
    vfs.xGetLastError = VfsGetLastError;
    vfs.xCurrentTimeInt64 = VfsCurrentTimeInt64;
    return vfs;
}

} // namespace

sqlite3_vfs* EnsureWin32VfsIsDefault() {
    static sqlite3_vfs vfs = MakeVfs();
    static const int registered = sqlite3_vfs_register(&vfs, 1);
    (void)registered;
    return &vfs;
}
