#include "vmrdetect/FileDetector.h"

#include <cstring>
#include <vector>

#include "common/Handles.h"
#include "vmrdetect/Md5.h"
#include "vmrdetect/PeImage.h"

namespace {

constexpr DWORD kChunkSize = 1 << 20;

// Reads up to `size` bytes at `offset`; false on a read error.
bool ReadAt(HANDLE file, unsigned long long offset, void* buffer, DWORD size, DWORD* got) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset & 0xffffffffu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    *got = 0;
    if (ReadFile(file, buffer, size, got, &at))
        return true;
    if (GetLastError() == ERROR_HANDLE_EOF) {
        *got = 0;
        return true;
    }
    return false;
}

HRESULT LastErrorResult() {
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

} // namespace

HRESULT AnalyseFileAt(const wchar_t* path, BYTE digest[16], int* extra) {
    std::memset(digest, 0, 16);
    *extra = 0;
    UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return LastErrorResult();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return LastErrorResult();
    const unsigned long long fileSize = static_cast<unsigned long long>(size.QuadPart);

    // Small files take a small buffer: a drop may bring many thousands.
    const DWORD capacity = fileSize < kChunkSize ? static_cast<DWORD>(fileSize) + 1 : kChunkSize;
    std::vector<unsigned char> buffer(capacity < 4096 ? 4096 : capacity);
    DWORD got = 0;
    if (!ReadAt(file.Get(), 0, buffer.data(), static_cast<DWORD>(buffer.size()), &got))
        return LastErrorResult();

    unsigned char peBytes[kPeHeaderBytes] = {};
    const unsigned char* pe = peBytes;
    DWORD peGot = 0;
    const std::uint32_t offset = PeHeaderOffset(buffer.data(), got);
    if (offset != 0 && offset + kPeHeaderBytes <= got) {
        pe = buffer.data() + offset;
        peGot = kPeHeaderBytes;
    } else if (offset != 0 && !ReadAt(file.Get(), offset, peBytes, sizeof peBytes, &peGot)) {
        return LastErrorResult();
    }
    const PeHeaderCheck check = CheckPeHeaders(buffer.data(), got, pe, peGot, fileSize);
    if (!check.isPe)
        return kAnalyseNotPe;

    Md5 md5;
    unsigned long long position = 0;
    while (got != 0) {
        md5.Update(buffer.data(), got);
        position += got;
        // A file read to its known size needs no further read to find its end.
        if (position == fileSize && got < buffer.size())
            break;
        if (!ReadAt(file.Get(), position, buffer.data(), static_cast<DWORD>(buffer.size()), &got))
            return LastErrorResult();
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
