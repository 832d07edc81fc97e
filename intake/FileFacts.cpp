#include "intake/FileFacts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <bcrypt.h>

#include "common/Handles.h"
#include "common/PeImage.h"
#include "common/PeVersionInfo.h"
#include "common/SlimSync.h"
#include "intake/Digest.h"

namespace {

// Reads of this size keep the system's read-ahead busy and the calls few; a
// smaller file is read in one call into a buffer of its own size.
constexpr DWORD kChunkBytes = 1 << 20;
constexpr ULONG kSha256Bytes = 32;

// The process's SHA-256 provider and its idle hash objects. Opening a
// provider is slow, so it is opened once, and never closed: detached workers
// may still hash while the process ends. Where the system makes reusable
// hash objects (Windows 8 and later) a finished one waits here for the next
// file; where it refuses the flag, each file makes its own.
class Sha256Objects {
public:
    static Sha256Objects& Instance() {
        static Sha256Objects* const objects = new Sha256Objects();
        return *objects;
    }

    // An object ready for a new hash; null when the provider is unusable.
    BCRYPT_HASH_HANDLE Take() {
        {
            SlimLockHolder hold(m_lock);
            if (!m_idle.empty()) {
                BCRYPT_HASH_HANDLE hash = m_idle.back();
                m_idle.pop_back();
                return hash;
            }
        }
        return Create();
    }
    // Hands back an object taken; `fresh` when its last hash was finished
    // (a reusable object is then ready again).
    void Give(BCRYPT_HASH_HANDLE hash, bool fresh) {
        if (m_reusable && fresh) {
            SlimLockHolder hold(m_lock);
            m_idle.push_back(hash);
            return;
        }
        BCryptDestroyHash(hash);
    }

private:
    Sha256Objects() {
        if (!BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&m_algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            m_algorithm = nullptr;
            return;
        }
        BCRYPT_HASH_HANDLE first = nullptr;
        m_reusable = BCRYPT_SUCCESS(BCryptCreateHash(m_algorithm, &first, nullptr, 0, nullptr, 0,
                                                     BCRYPT_HASH_REUSABLE_FLAG));
        if (m_reusable)
            m_idle.push_back(first);
    }

    BCRYPT_HASH_HANDLE Create() const {
        BCRYPT_HASH_HANDLE hash = nullptr;
        if (!m_algorithm ||
            !BCRYPT_SUCCESS(BCryptCreateHash(m_algorithm, &hash, nullptr, 0, nullptr, 0,
                                             m_reusable ? BCRYPT_HASH_REUSABLE_FLAG : 0)))
            return nullptr;
        return hash;
    }

    BCRYPT_ALG_HANDLE m_algorithm = nullptr;
    bool m_reusable = false;
    SlimLock m_lock;
    std::vector<BCRYPT_HASH_HANDLE> m_idle;
};

// One file's hash, on an object of the process's pool.
class Sha256 {
public:
    Sha256() : m_hash(Sha256Objects::Instance().Take()) {}
    ~Sha256() {
        if (!m_hash)
            return;
        // An unfinished reusable object is finished to start it afresh.
        unsigned char digest[kSha256Bytes];
        const bool fresh =
            m_finished || BCRYPT_SUCCESS(BCryptFinishHash(m_hash, digest, sizeof digest, 0));
        Sha256Objects::Instance().Give(m_hash, fresh);
    }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    bool Usable() const { return m_hash != nullptr; }
    bool Add(const unsigned char* data, DWORD size) {
        return BCRYPT_SUCCESS(BCryptHashData(m_hash, const_cast<PUCHAR>(data), size, 0));
    }
    // The digest as 64 lower-case hex digits; empty on failure.
    std::string Finish() {
        unsigned char digest[kSha256Bytes];
        m_finished = true;
        if (!BCRYPT_SUCCESS(BCryptFinishHash(m_hash, digest, sizeof digest, 0))) {
            m_finished = false;
            return std::string();
        }
        char text[2 * kSha256Bytes + 1];
        BytesToHex(digest, sizeof digest, text);
        return text;
    }

private:
    BCRYPT_HASH_HANDLE m_hash;
    bool m_finished = false;
};

// The resource section as the file streams past: read in place when the
// first chunk holds all of it, else gathered from the chunks that hold a
// part (no byte of the file is read twice).
class ResourceCapture {
public:
    // From the first chunk, which starts the file.
    void Start(const unsigned char* head, DWORD got, std::uint64_t fileSize,
               PeVersionStrings& strings) {
        m_range = FindPeResourceRange(head, got, fileSize);
        if (m_range.size == 0)
            return;
        if (m_range.offset + m_range.size <= got) {
            Parse(head + m_range.offset, m_range.size, strings);
            return;
        }
        m_bytes.resize(m_range.size);
        Take(head, 0, got);
    }
    // A chunk of `got` bytes from file offset `at` on.
    void Take(const unsigned char* chunk, std::uint64_t at, DWORD got) {
        if (m_done || m_range.size == 0)
            return;
        const std::uint64_t from = std::max(at, m_range.offset);
        const std::uint64_t to = std::min(at + got, m_range.offset + m_range.size);
        if (from >= to)
            return;
        std::memcpy(m_bytes.data() + (from - m_range.offset), chunk + (from - at),
                    static_cast<std::size_t>(to - from));
        m_held = static_cast<std::size_t>(to - m_range.offset);
    }
    // After the file's last chunk: the strings of what was gathered.
    void Finish(PeVersionStrings& strings) {
        if (!m_done && m_held != 0)
            Parse(m_bytes.data(), m_held, strings);
        m_done = true;
    }
    bool Found() const { return m_found; }

private:
    // In the language Explorer shows this user.
    void Parse(const unsigned char* bytes, std::size_t size, PeVersionStrings& strings) {
        m_found = ReadPeVersionStrings(m_range, bytes, size, strings, GetUserDefaultUILanguage());
        m_done = true;
    }

    PeResourceRange m_range;
    std::vector<unsigned char> m_bytes;
    std::size_t m_held = 0; // bytes of the range gathered, from its start
    bool m_done = false;
    bool m_found = false;
};

void TakeStrings(const PeVersionStrings& strings, EntryFacts& facts) {
    facts.company = strings.company;
    facts.product = strings.product;
    facts.description = strings.description;
    facts.fileVersion = strings.fileVersion;
    facts.originalName = strings.originalName;
}

DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error == 0 ? fallback : error;
}

} // namespace

bool ReadFileFacts(const std::wstring& path, EntryFacts& facts, DWORD* error) {
    facts = EntryFacts();
    DWORD ignored = 0;
    DWORD& failure = error ? *error : ignored;
    failure = 0;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
        failure = LastErrorOr(ERROR_READ_FAULT);
        return false;
    }
    facts.size = size.QuadPart;
    Sha256 hash;
    if (!hash.Usable()) {
        failure = ERROR_NOT_SUPPORTED;
        return false;
    }
    const std::uint64_t fileSize = static_cast<std::uint64_t>(size.QuadPart);
    // One byte more than a small file holds, so that its one read ends short.
    const DWORD chunk = fileSize < kChunkBytes ? static_cast<DWORD>(fileSize) + 1 : kChunkBytes;
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[chunk]);

    ResourceCapture resources;
    PeVersionStrings strings;
    // What the resource section gave is kept even when the read fails later.
    const auto fail = [&](DWORD code) {
        if (resources.Found())
            TakeStrings(strings, facts);
        failure = code;
        return false;
    };
    std::uint64_t total = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.get(), chunk, &got, nullptr))
            return fail(LastErrorOr(ERROR_READ_FAULT));
        if (total == 0) {
            const PeHeaderCheck pe = CheckPeHead(buffer.get(), got, fileSize);
            if (pe.isPe)
                facts.machine = pe.machine;
            resources.Start(buffer.get(), got, fileSize, strings);
        } else {
            resources.Take(buffer.get(), total, got);
        }
        if (!hash.Add(buffer.get(), got))
            return fail(ERROR_INVALID_DATA);
        total += got;
        if (got < chunk)
            break;
    }
    resources.Finish(strings);
    facts.sha256 = hash.Finish();
    if (facts.sha256.empty())
        return fail(ERROR_INVALID_DATA);
    if (resources.Found())
        TakeStrings(strings, facts);
    facts.size = static_cast<std::int64_t>(total);
    return true;
}
