// The floor under a scan: the same walk as the file processor's, and every
// file opened, read to its end and closed on one thread per processor, as the
// detection component reads it (a 64 KiB first read, then 1 MiB reads), but
// nothing hashed, ordered or reported. A scan cannot be faster than this.
//
// usage: scan_floor_bench FOLDER...
// prints: "floor: <files> files, <bytes> bytes, <seconds> s, <threads> threads"

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/BenchTimer.h"
#include "common/Handles.h"
#include "intake/PathWalk.h"

namespace {

constexpr DWORD kHeadSize = 64 * 1024;
constexpr DWORD kChunkSize = 1 << 20;

// Paths handed from the walking thread to the reading threads.
class PathFeed {
public:
    void Put(std::wstring path) {
        AcquireSRWLockExclusive(&m_lock);
        m_paths.push_back(std::move(path));
        const bool wake = m_sleepers != 0;
        ReleaseSRWLockExclusive(&m_lock);
        if (wake)
            WakeConditionVariable(&m_ready);
    }
    void Close() {
        AcquireSRWLockExclusive(&m_lock);
        m_closed = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_ready);
    }
    // False once the feed is closed and empty.
    bool Take(std::wstring& path) {
        AcquireSRWLockExclusive(&m_lock);
        while (m_paths.empty() && !m_closed) {
            ++m_sleepers;
            SleepConditionVariableSRW(&m_ready, &m_lock, INFINITE, 0);
            --m_sleepers;
        }
        const bool got = !m_paths.empty();
        if (got) {
            path = std::move(m_paths.front());
            m_paths.pop_front();
        }
        ReleaseSRWLockExclusive(&m_lock);
        return got;
    }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_ready = CONDITION_VARIABLE_INIT;
    std::deque<std::wstring> m_paths;
    int m_sleepers = 0;
    bool m_closed = false;
};

// Reads a file to its end; the bytes read.
unsigned long long ReadWhole(const std::wstring& path, std::vector<unsigned char>& chunk) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return 0;
    unsigned long long total = 0;
    DWORD want = kHeadSize;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk.data(), want, &got, nullptr))
            return total;
        total += got;
        if (got < want)
            return total;
        want = kChunkSize;
    }
}

struct Reader {
    PathFeed* feed;
    unsigned long long files = 0;
    unsigned long long bytes = 0;

    static DWORD WINAPI Main(void* self) {
        static_cast<Reader*>(self)->Run();
        return 0;
    }
    void Run() {
        std::vector<unsigned char> chunk(kChunkSize);
        std::wstring path;
        while (feed->Take(path)) {
            bytes += ReadWhole(path, chunk);
            ++files;
        }
    }
};

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: scan_floor_bench FOLDER...\n", stderr);
        return 2;
    }
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const unsigned threads = system.dwNumberOfProcessors == 0 ? 1 : system.dwNumberOfProcessors;

    BenchTimer timer;
    PathFeed feed;
    std::vector<Reader> readers(threads, Reader{&feed});
    std::vector<UniqueHandle> running;
    for (Reader& reader : readers) {
        running.emplace_back(CreateThread(nullptr, 0, Reader::Main, &reader, 0, nullptr));
        if (!running.back()) {
            feed.Close();
            std::fputs("scan_floor_bench: cannot start a thread\n", stderr);
            return 1;
        }
    }
    PathWalk walk(std::vector<std::wstring>(argv + 1, argv + argc));
    WalkedFile file;
    while (walk.Next(file))
        feed.Put(std::move(file.path));
    feed.Close();
    for (const UniqueHandle& thread : running)
        WaitForSingleObject(thread.Get(), INFINITE);
    const double seconds = timer.Seconds();

    unsigned long long files = 0, bytes = 0;
    for (const Reader& reader : readers) {
        files += reader.files;
        bytes += reader.bytes;
    }
    std::printf("floor: %llu files, %llu bytes, %.3f s, %u threads\n", files, bytes, seconds,
                threads);
    return 0;
}
