#include "tests/support/ReferenceMd5.h"

#include <vector>

#include <windows.h>
#include <wincrypt.h>

namespace testsupport {

namespace {

// A hash of the platform's CryptoAPI: MD5 from the base provider, SHA-256
// from the AES one (the base provider has none).
class CryptoApiHash {
public:
    CryptoApiHash(DWORD providerType, ALG_ID algorithm) {
        if (CryptAcquireContextW(&m_provider, nullptr, nullptr, providerType, CRYPT_VERIFYCONTEXT))
            CryptCreateHash(m_provider, algorithm, 0, 0, &m_hash);
    }
    ~CryptoApiHash() {
        if (m_hash)
            CryptDestroyHash(m_hash);
        if (m_provider)
            CryptReleaseContext(m_provider, 0);
    }
    void Add(const void* data, DWORD size) {
        if (m_hash)
            CryptHashData(m_hash, static_cast<const BYTE*>(data), size, 0);
    }
    std::string Text() {
        BYTE digest[64];
        DWORD size = sizeof digest;
        if (!m_hash || !CryptGetHashParam(m_hash, HP_HASHVAL, digest, &size, 0))
            return std::string();
        static const char kDigits[] = "0123456789abcdef";
        std::string text;
        for (DWORD i = 0; i < size; ++i) {
            text += kDigits[digest[i] >> 4];
            text += kDigits[digest[i] & 15];
        }
        return text;
    }

private:
    HCRYPTPROV m_provider = 0;
    HCRYPTHASH m_hash = 0;
};

// The hash of the file's whole content; empty when it cannot be read.
std::string HashFile(const std::wstring& path, CryptoApiHash& hash) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::vector<BYTE> buffer(1 << 16);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
           got != 0)
        hash.Add(buffer.data(), got);
    CloseHandle(file);
    return hash.Text();
}

} // namespace

std::string ReferenceMd5OfBytes(const void* data, unsigned size) {
    CryptoApiHash hash(PROV_RSA_FULL, CALG_MD5);
    hash.Add(data, size);
    return hash.Text();
}

std::string ReferenceMd5OfFile(const std::wstring& path) {
    CryptoApiHash hash(PROV_RSA_FULL, CALG_MD5);
    return HashFile(path, hash);
}

std::string ReferenceSha256OfFile(const std::wstring& path) {
    CryptoApiHash hash(PROV_RSA_AES, CALG_SHA_256);
    return HashFile(path, hash);
}

} // namespace testsupport
