#include "vmrdetect/Md5.h"

#include <cstring>

namespace {

inline std::uint32_t RotateLeft(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline std::uint32_t LoadLe(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void StoreLe(std::uint32_t v, unsigned char* p) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// The round functions F, H and I, written so that each step is one
// expression. A step adds the message word and constant first: they do not
// wait for the previous step, so the processor overlaps them with it.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s)                                                           \
    (a) += (x) + (t);                                                                              \
    (a) += f((b), (c), (d));                                                                       \
    (a) = RotateLeft((a), (s)) + (b)
// G(b, c, d) = (b & d) | (c & ~d): the two terms never share a bit, so they
// are added one by one, and the one without `b` (the latest result) first.
#define MD5_STEP_G(a, b, c, d, x, t, s)                                                            \
    (a) += (x) + (t);                                                                              \
    (a) += ~(d) & (c);                                                                             \
    (a) += (d) & (b);                                                                              \
    (a) = RotateLeft((a), (s)) + (b)

} // namespace

Md5::Md5() : m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u}, m_buffer{} {}

void Md5::Transform(const unsigned char* blocks, std::size_t count) {
    std::uint32_t a0 = m_state[0], b0 = m_state[1], c0 = m_state[2], d0 = m_state[3];
    for (; count != 0; --count, blocks += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLe(blocks + 4 * i);
        std::uint32_t a = a0, b = b0, c = c0, d = d0;

        MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756u, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070dbu, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceeeu, 22);
        MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0fafu, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62au, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613u, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501u, 22);
        MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7afu, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1u, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7beu, 22);
        MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193u, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438eu, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821u, 22);

        MD5_STEP_G(a, b, c, d, x[1], 0xf61e2562u, 5);
        MD5_STEP_G(d, a, b, c, x[6], 0xc040b340u, 9);
        MD5_STEP_G(c, d, a, b, x[11], 0x265e5a51u, 14);
        MD5_STEP_G(b, c, d, a, x[0], 0xe9b6c7aau, 20);
        MD5_STEP_G(a, b, c, d, x[5], 0xd62f105du, 5);
        MD5_STEP_G(d, a, b, c, x[10], 0x02441453u, 9);
        MD5_STEP_G(c, d, a, b, x[15], 0xd8a1e681u, 14);
        MD5_STEP_G(b, c, d, a, x[4], 0xe7d3fbc8u, 20);
        MD5_STEP_G(a, b, c, d, x[9], 0x21e1cde6u, 5);
        MD5_STEP_G(d, a, b, c, x[14], 0xc33707d6u, 9);
        MD5_STEP_G(c, d, a, b, x[3], 0xf4d50d87u, 14);
        MD5_STEP_G(b, c, d, a, x[8], 0x455a14edu, 20);
        MD5_STEP_G(a, b, c, d, x[13], 0xa9e3e905u, 5);
        MD5_STEP_G(d, a, b, c, x[2], 0xfcefa3f8u, 9);
        MD5_STEP_G(c, d, a, b, x[7], 0x676f02d9u, 14);
        MD5_STEP_G(b, c, d, a, x[12], 0x8d2a4c8au, 20);

        MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380cu, 23);
        MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70u, 23);
        MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fau, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05u, 23);
        MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665u, 23);

        MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7u, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47du, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4fu, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314u, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bbu, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391u, 21);

        a0 += a;
        b0 += b;
        c0 += c;
        d0 += d;
    }
    m_state[0] = a0;
    m_state[1] = b0;
    m_state[2] = c0;
    m_state[3] = d0;
}

void Md5::Update(const void* data, std::size_t size) {
    const unsigned char* in = static_cast<const unsigned char*>(data);
    m_length += size;
    if (m_buffered != 0) {
        const std::size_t take = size < 64 - m_buffered ? size : 64 - m_buffered;
        std::memcpy(m_buffer + m_buffered, in, take);
        m_buffered += take;
        in += take;
        size -= take;
        if (m_buffered < 64)
            return;
        Transform(m_buffer, 1);
        m_buffered = 0;
    }
    const std::size_t blocks = size / 64;
    if (blocks != 0) {
        Transform(in, blocks);
        in += blocks * 64;
        size -= blocks * 64;
    }
    if (size != 0) {
        std::memcpy(m_buffer, in, size);
        m_buffered = size;
    }
}

void Md5::Final(unsigned char digest[16]) {
    const std::uint64_t bits = m_length * 8;
    static const unsigned char kPadding[64] = {0x80};
    const std::size_t padding = (m_buffered < 56) ? 56 - m_buffered : 120 - m_buffered;
    Update(kPadding, padding);
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<unsigned char>(bits >> (8 * i));
    Update(length, 8);
    for (int i = 0; i < 4; ++i)
        StoreLe(m_state[i], digest + 4 * i);
}
