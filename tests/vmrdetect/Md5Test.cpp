#include "vmrdetect/Md5.h"

#include <string>
#include <vector>

#include "intake/Digest.h"
#include "tests/support/GTest.h"
#include "tests/support/ReferenceMd5.h"

namespace {

std::string Md5Text(const std::string& data, std::size_t piece) {
    Md5 md5;
    for (std::size_t at = 0; at < data.size(); at += piece)
        md5.Update(data.data() + at, std::min(piece, data.size() - at));
    unsigned char digest[16];
    md5.Final(digest);
    char text[33];
    BytesToHex(digest, 16, text);
    return text;
}

} // namespace

TEST(Md5, KnownVectors) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Md5Text("", 1));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", Md5Text("a", 1));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Md5Text("abc", 1));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", Md5Text("message digest", 5));
    EXPECT_EQ(
        "57edf4a22be3c955ac49da2e2107b67a",
        Md5Text("12345678901234567890123456789012345678901234567890123456789012345678901234567890",
                7));
}

TEST(Md5, AnySplitOfTheInputGivesTheReferenceDigest) {
    std::string data(200000, '\0');
    unsigned seed = 12345;
    for (char& c : data) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    const std::string reference =
        testsupport::ReferenceMd5OfBytes(data.data(), static_cast<unsigned>(data.size()));
    ASSERT_EQ(32u, reference.size());
    for (std::size_t piece : {1u, 55u, 56u, 63u, 64u, 65u, 4096u, 200000u})
        EXPECT_EQ(reference, Md5Text(data, piece)) << piece;
    // Lengths around the padding boundary.
    for (std::size_t length = 50; length < 140; ++length) {
        const std::string part = data.substr(0, length);
        EXPECT_EQ(testsupport::ReferenceMd5OfBytes(part.data(), static_cast<unsigned>(length)),
                  Md5Text(part, 64))
            << length;
    }
}
