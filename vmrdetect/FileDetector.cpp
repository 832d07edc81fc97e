#include "vmrdetect/FileDetector.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/Handles.h"
#include "vmrdetect/Md5.h"
#include "common/PeImage.h"

namespace {

// The first read takes this much: a small file comes in one read and its
// end is known from the short count, with no call for the size. The buffer
// is on the stack: most files need no other, and a buffer from the heap
// would be taken, zeroed and given back again for every file.
constexpr DWORD kHeadSize = 32 * 1024;
// The reads after the first one.
constexpr DWORD kChunkSize = 1 << 20;

HRESULT LastErrorResult() {
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// Reads at the file's position; a count short of `size` means the end of
// the file (a disk file's synchronous read stops short only there).
bool ReadNext(HANDLE file, unsigned char* buffer, DWORD size, DWORD* got) {
    *got = 0;
    return ReadFile(file, buffer, size, got, nullptr) != FALSE;
}

// Reads up to `size` bytes at `offset`, then puts the position back to
// `resume`; false on a read error.
bool ReadAside(HANDLE file, unsigned long long offset, unsigned long long resume, void* buffer,
               DWORD size, DWORD* got) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset & 0xffffffffu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    *got = 0;
    if (!ReadFile(file, buffer, size, got, &at) && GetLastError() != ERROR_HANDLE_EOF)
        return false;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(resume);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

// The PE test on the file's first `got` bytes (all of it when `whole`),
// reading the headers aside when they lie beyond them.
HRESULT CheckImage(HANDLE file, const unsigned char* head, DWORD got, bool whole,
                   PeHeaderCheck& check) {
    unsigned char aside[kPeHeaderBytes] = {};
    const unsigned char* pe = aside;
    DWORD peGot = 0;
    const std::uint32_t offset = PeHeaderOffset(head, got);
    if (offset != 0 && offset + kPeHeaderBytes <= got) {
        pe = head + offset;
        peGot = kPeHeaderBytes;
    } else if (offset != 0 && !whole &&
               !ReadAside(file, offset, got, aside, sizeof aside, &peGot)) {
        return LastErrorResult();
    }
    // The bytes known to be in the file: the headers test against this bound
    // as against the size, since they are only accepted when read in full.
    const std::uint64_t known =
        whole ? got : std::max<std::uint64_t>(got, std::uint64_t{offset} + peGot);
    check = CheckPeHeaders(head, got, pe, peGot, known);
    return S_OK;
}

// Hashes the rest of the file from its position on.
HRESULT HashRest(HANDLE file, Md5& md5) {
    std::vector<unsigned char> chunk(kChunkSize);
    for (;;) {
        DWORD got = 0;
        if (!ReadNext(file, chunk.data(), kChunkSize, &got))
            return LastErrorResult();
        md5.Update(chunk.data(), got);
        if (got < kChunkSize)
            return S_OK;
    }
}

} // namespace

// One open, then reads from the start: a small file is read once, a PE
// image's bytes are hashed as they come, a refused file is read no further
// than its head.
HRESULT AnalyseFileAt(const wchar_t* path, BYTE digest[16], int* extra) {
    std::memset(digest, 0, 16);
    *extra = 0;
    // Shared with writers and deleters: a file that another program has
    // open (a log being written, an installer's file marked for deletion) is
    // still read.
    UniqueFile file(CreateFileW(path, GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return LastErrorResult();
    unsigned char head[kHeadSize];
    DWORD got = 0;
    if (!ReadNext(file.Get(), head, kHeadSize, &got))
        return LastErrorResult();
    const bool whole = got < kHeadSize;

    PeHeaderCheck check = {false, 0};
    const HRESULT checked = CheckImage(file.Get(), head, got, whole, check);
    if (FAILED(checked))
        return checked;
    if (!check.isPe)
        return kAnalyseNotPe;

    Md5 md5;
    md5.Update(head, got);
    if (!whole) {
        const HRESULT hashed = HashRest(file.Get(), md5);
        if (FAILED(hashed))
            return hashed;
    }
    md5.Final(digest);
    *extra = check.machine;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDetector::AnalyseFile(const wchar_t* path, int, int* result,
                                                    BYTE digest[16], int* extra) {
    int ignoredExtra = 0;
    BYTE ignoredDigest[16];
    const HRESULT hr =
        path ? AnalyseFileAt(path, digest ? digest : ignoredDigest, extra ? extra : &ignoredExtra)
             : E_POINTER;
    if (!path && digest)
        std::memset(digest, 0, 16);
    if (result)
        *result = static_cast<int>(hr);
    return hr;
}
