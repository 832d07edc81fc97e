// MD5 of any bytes fed in pieces of any sizes equals the reference digest
// (tests/support/ReferenceMd5Plain.cpp, written from RFC 1321 apart from the
// product's code), and its text is a lower-case MD5 text.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "intake/Digest.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/support/ReferenceMd5.h"
#include "vmrdetect/Md5.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<std::size_t> pieces;
    for (int i = input.ConsumeIntegralInRange<int>(0, 8); i > 0; --i)
        pieces.push_back(input.ConsumeIntegralInRange<std::size_t>(0, 200));
    const std::vector<unsigned char> bytes = input.ConsumeRemainingBytes<unsigned char>();

    Md5 md5;
    std::size_t at = 0;
    for (std::size_t piece : pieces) {
        const std::size_t length = std::min(piece, bytes.size() - at);
        md5.Update(bytes.data() + at, length);
        at += length;
    }
    md5.Update(bytes.data() + at, bytes.size() - at);
    unsigned char digest[16];
    md5.Final(digest);
    char text[kMd5TextLength + 1];
    BytesToHex(digest, sizeof digest, text);

    FUZZ_CHECK(text ==
               testsupport::ReferenceMd5OfBytes(bytes.data(), static_cast<unsigned>(bytes.size())));
    FUZZ_CHECK(IsMd5Text(text));
    FUZZ_CHECK(LowerMd5(text) == text);
    return 0;
}
