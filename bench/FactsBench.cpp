// The cost of reading a file's facts (intake/FileFacts.h) against reading
// the file plain, in the same run: every file under the folders is read to
// its end on one thread, in rounds of three passes each, the page cache
// warm: plain (opened as ReadFileFacts opens it, read in 1 MiB chunks,
// closed), the detection component's analysis (AnalyseFileAt: what a drop
// already does for each file) and ReadFileFacts. Each pass's best round is
// kept. Last, CNG's SHA-256 over the same number of bytes in memory: the
// floor under the facts of large files.
//
// usage: facts_bench [--rounds N] FOLDER...
// prints one line per pass ("<pass> <seconds> s, <MB/s> MB/s"), the hash in
// memory, and the ratios
//   facts/plain               ReadFileFacts against a plain read
//   (analysis+facts)/analysis a drop that also reads the facts, against one
//                             that does not

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include <bcrypt.h>

#include "bench/BenchTimer.h"
#include "common/Handles.h"
#include "intake/FileFacts.h"
#include "intake/PathWalk.h"
#include "vmrdetect/FileDetector.h"

namespace {

constexpr DWORD kChunkBytes = 1 << 20;

// The file's bytes, read and dropped; false when it cannot be read.
bool ReadPlain(const std::wstring& path, unsigned char* buffer, unsigned long long& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    DWORD got = 0;
    do {
        if (!ReadFile(file.Get(), buffer, kChunkBytes, &got, nullptr))
            return false;
        bytes += got;
    } while (got == kChunkBytes);
    return true;
}

// Seconds CNG's SHA-256 takes over `bytes` bytes held in memory (a MiB
// hashed again and again); 0 when the provider cannot be used.
double HashInMemory(unsigned long long bytes, const unsigned char* block) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return 0;
    BCRYPT_HASH_HANDLE hash = nullptr;
    double seconds = 0;
    if (BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
        BenchTimer timer;
        for (unsigned long long done = 0; done < bytes; done += kChunkBytes) {
            const ULONG piece =
                static_cast<ULONG>(std::min<unsigned long long>(kChunkBytes, bytes - done));
            BCryptHashData(hash, const_cast<PUCHAR>(block), piece, 0);
        }
        unsigned char digest[32];
        BCryptFinishHash(hash, digest, sizeof digest, 0);
        seconds = timer.Seconds();
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return seconds;
}

struct Pass {
    const char* name;
    double best = 0;
    unsigned long long failures = 0;
};

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    int rounds = 5;
    std::vector<std::wstring> folders;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--rounds") == 0 && i + 1 < argc)
            rounds = _wtoi(argv[++i]);
        else
            folders.push_back(argv[i]);
    }
    if (folders.empty() || rounds < 1) {
        std::fputs("usage: facts_bench [--rounds N] FOLDER...\n", stderr);
        return 2;
    }
    std::vector<std::wstring> paths;
    PathWalk walk(folders);
    WalkedFile walked;
    while (walk.Next(walked))
        paths.push_back(std::move(walked.path));

    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kChunkBytes]);
    unsigned long long bytes = 0;
    for (const std::wstring& path : paths) // warms the page cache
        ReadPlain(path, buffer.get(), bytes);

    Pass plain{"plain"}, analysis{"analysis"}, facts{"facts"};
    for (int round = 0; round < rounds; ++round) {
        Pass* order[] = {&plain, &analysis, &facts};
        for (Pass* pass : order) {
            unsigned long long failures = 0, ignored = 0;
            BenchTimer timer;
            for (const std::wstring& path : paths) {
                bool ok;
                if (pass == &plain) {
                    ok = ReadPlain(path, buffer.get(), ignored);
                } else if (pass == &analysis) {
                    BYTE digest[16];
                    int extra = 0;
                    ok = SUCCEEDED(AnalyseFileAt(path.c_str(), digest, &extra));
                } else {
                    EntryFacts entry;
                    ok = ReadFileFacts(path, entry);
                }
                failures += ok ? 0 : 1;
            }
            const double seconds = timer.Seconds();
            if (round == 0 || seconds < pass->best)
                pass->best = seconds;
            pass->failures = failures;
        }
    }

    std::printf("%zu files, %llu bytes, best of %d rounds, one thread\n", paths.size(), bytes,
                rounds);
    for (const Pass* pass : {&plain, &analysis, &facts}) {
        std::printf("%-9s %8.3f s %9.1f MB/s%s\n", pass->name, pass->best,
                    static_cast<double>(bytes) / 1e6 / pass->best,
                    pass->failures ? "  (some files could not be read)" : "");
    }
    const double hashed = HashInMemory(bytes, buffer.get());
    if (hashed > 0)
        std::printf("%-9s %8.3f s %9.1f MB/s  (CNG SHA-256 in memory)\n", "sha256", hashed,
                    static_cast<double>(bytes) / 1e6 / hashed);
    std::printf("facts/plain               %.2f\n", facts.best / plain.best);
    std::printf("(analysis+facts)/analysis %.2f\n", (analysis.best + facts.best) / analysis.best);
    return 0;
}
