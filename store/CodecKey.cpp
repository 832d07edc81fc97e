#include "store/CodecKey.h"

#include "store/CodecSeams.h"

namespace {

HCRYPTPROV Provider() {
    static HCRYPTPROV provider = 0;
    if (const CodecSeams* seams = ActiveCodecSeams(); seams && seams->providerUnavailable)
        return 0;
    if (!provider) {
        const wchar_t* name = L"Microsoft Enhanced Cryptographic Provider v1.0";
        if (!CryptAcquireContextW(&provider, nullptr, name, PROV_RSA_FULL, 0) &&
            !CryptAcquireContextW(&provider, nullptr, name, PROV_RSA_FULL, CRYPT_NEWKEYSET))
            provider = 0;
    }
    return provider;
}

} // namespace

CodecKey::CodecKey(HCRYPTKEY key) : m_key(key), m_stream(kMaxPageSize, 0) {
    DWORD length = kMaxPageSize;
    // With the final flag every call starts the keystream afresh.
    if (!CryptEncrypt(m_key, 0, TRUE, 0, m_stream.data(), &length, kMaxPageSize))
        m_valid = false;
}

void CodecKey::Apply(BYTE* data, int amount, unsigned long long position, unsigned pageSize) const {
    const unsigned size = pageSize ? pageSize : kMaxPageSize;
    unsigned at = static_cast<unsigned>(position % size);
    for (int i = 0; i < amount; ++i) {
        data[i] ^= m_stream[at];
        if (++at == size)
            at = 0;
    }
}

Derived DeriveKey(const void* password, int length, std::shared_ptr<CodecKey>& key) {
    key.reset();
    if (!password || length <= 0)
        return Derived::NoKey;
    const HCRYPTPROV provider = Provider();
    if (!provider)
        return Derived::Unavailable;
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash))
        return Derived::NoKey;
    HCRYPTKEY rc4 = 0;
    const bool made =
        CryptHashData(hash, static_cast<const BYTE*>(password), static_cast<DWORD>(length), 0) &&
        CryptDeriveKey(provider, CALG_RC4, hash, 0, &rc4);
    CryptDestroyHash(hash);
    if (!made)
        return Derived::NoKey;
    key = std::make_shared<CodecKey>(rc4);
    if (!key->Valid())
        key.reset();
    return key ? Derived::Key : Derived::NoKey;
}
