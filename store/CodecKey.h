#pragma once
// A page codec key: the SHA-1 digest of the password turned into an RC4 key
// by CryptoAPI (flags 0), with the keystream of the longest page made once.
// A page's bytes are XORed with the first page-size bytes of that keystream,
// the same for every page.

#include <memory>
#include <vector>

#include <windows.h>
#include <wincrypt.h>

inline constexpr unsigned kMaxPageSize = 65536;

class CodecKey {
public:
    explicit CodecKey(HCRYPTKEY key);
    ~CodecKey() { CryptDestroyKey(m_key); }
    CodecKey(const CodecKey&) = delete;
    CodecKey& operator=(const CodecKey&) = delete;
    bool Valid() const { return m_valid; }
    // XORs bytes that start at `position` of a page of `pageSize`.
    void Apply(BYTE* data, int amount, unsigned long long position, unsigned pageSize) const;

private:
    HCRYPTKEY m_key;
    std::vector<BYTE> m_stream;
    bool m_valid = true;
};

enum class Derived { NoKey, Unavailable, Key };

// The key of a password; NoKey for an empty one (or one CryptoAPI refuses),
// Unavailable when the cryptographic provider cannot be had.
Derived DeriveKey(const void* password, int length, std::shared_ptr<CodecKey>& key);
