// The reference MD5 of the native build, where there is no CryptoAPI: RFC
// 1321 read as plainly as it is written, one round loop over the whole
// message at once, its 64 constants computed from the sine as the RFC
// defines them rather than copied, so that it shares no table and no
// shortcut with the product's unrolled implementation.

#include "tests/support/ReferenceMd5.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace testsupport {

namespace {

std::uint32_t RotateLeft(std::uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

} // namespace

std::string ReferenceMd5OfBytes(const void* data, unsigned size) {
    static const unsigned kShifts[4][4] = {
        {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    std::uint32_t k[64];
    for (int i = 0; i < 64; ++i)
        k[i] = static_cast<std::uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));

    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> message(bytes, bytes + size);
    message.push_back(0x80);
    while (message.size() % 64 != 56)
        message.push_back(0);
    const std::uint64_t bits = static_cast<std::uint64_t>(size) * 8;
    for (int i = 0; i < 8; ++i)
        message.push_back(static_cast<unsigned char>(bits >> (8 * i)));

    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (std::size_t block = 0; block < message.size(); block += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i) {
            const unsigned char* w = &message[block + 4 * static_cast<std::size_t>(i)];
            x[i] = static_cast<std::uint32_t>(w[0]) | (static_cast<std::uint32_t>(w[1]) << 8) |
                   (static_cast<std::uint32_t>(w[2]) << 16) |
                   (static_cast<std::uint32_t>(w[3]) << 24);
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        for (int i = 0; i < 64; ++i) {
            const int round = i / 16;
            std::uint32_t f;
            int word;
            if (round == 0) {
                f = (b & c) | (~b & d);
                word = i;
            } else if (round == 1) {
                f = (b & d) | (c & ~d);
                word = (5 * i + 1) % 16;
            } else if (round == 2) {
                f = b ^ c ^ d;
                word = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                word = (7 * i) % 16;
            }
            const std::uint32_t next =
                b + RotateLeft(a + f + k[i] + x[word], kShifts[round][i % 4]);
            a = d;
            d = c;
            c = b;
            b = next;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
    }
    std::string text;
    for (std::uint32_t word : state) {
        for (int i = 0; i < 4; ++i) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", (word >> (8 * i)) & 0xffu);
            text += pair;
        }
    }
    return text;
}

} // namespace testsupport
