#include "tests/support/ReferenceMd5.h"

#include <vector>

#include <windows.h>
#include <wincrypt.h>

namespace testsupport {

namespace {

class Md5Hash {
public:
    Md5Hash() {
        if (CryptAcquireContextW(&m_provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
            CryptCreateHash(m_provider, CALG_MD5, 0, 0, &m_hash);
    }
    ~Md5Hash() {
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
        BYTE digest[16];
        DWORD size = sizeof digest;
        if (!m_hash || !CryptGetHashParam(m_hash, HP_HASHVAL, digest, &size, 0))
            return std::string();
        static const char kDigits[] = "0123456789abcdef";
        std::string text;
        for (BYTE b : digest) {
            text += kDigits[b >> 4];
            text += kDigits[b & 15];
        }
        return text;
    }

private:
    HCRYPTPROV m_provider = 0;
    HCRYPTHASH m_hash = 0;
};

} // namespace

std::string ReferenceMd5OfBytes(const void* data, unsigned size) {
    Md5Hash hash;
    hash.Add(data, size);
    return hash.Text();
}

std::string ReferenceMd5OfFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    Md5Hash hash;
    std::vector<BYTE> buffer(1 << 16);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
           got != 0)
        hash.Add(buffer.data(), got);
    CloseHandle(file);
    return hash.Text();
}

} // namespace testsupport
