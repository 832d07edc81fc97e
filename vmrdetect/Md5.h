#pragma once
// MD5 (RFC 1321), fed in pieces of any size.

#include <cstddef>
#include <cstdint>

class Md5 {
public:
    Md5();
    void Update(const void* data, std::size_t size);
    // Writes the 16-byte digest; the object is spent afterwards.
    void Final(unsigned char digest[16]);

private:
    void Transform(const unsigned char* blocks, std::size_t count);

    std::uint32_t m_state[4];
    std::uint64_t m_length = 0; // bytes fed so far
    unsigned char m_buffer[64];
    std::size_t m_buffered = 0;
};
