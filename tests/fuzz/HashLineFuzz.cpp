// ClamAV hash lines: any line is read or refused; what is read has an MD5
// text; a line written for any MD5, size and file name reads back to that
// MD5 and to a name that ClamAV takes (no ':', no control or non-ASCII byte)
// and that names our list.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>

#include "intake/Digest.h"
#include "tests/fuzz/FuzzSupport.h"
#include "userlistctl/ClamHashLine.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    unsigned char digest[16];
    for (unsigned char& byte : digest)
        byte = input.ConsumeIntegral<unsigned char>();
    const bool sized = input.ConsumeBool();
    const std::uint64_t fileSize = input.ConsumeIntegral<std::uint64_t>();
    const ListKind list = input.ConsumeBool() ? ListKind::Trusted : ListKind::Black;
    const std::string fileName = input.ConsumeRandomLengthString(128);
    const std::string line = input.ConsumeRemainingBytesAsString();

    ClamHashSignature read;
    if (ParseClamHashLine(line, read))
        FUZZ_CHECK(IsMd5Text(read.md5));

    char md5[kMd5TextLength + 1];
    BytesToHex(digest, sizeof digest, md5);
    const std::string name = ClamSignatureName(list, fileName);
    for (const char c : name)
        FUZZ_CHECK(c != ':' && static_cast<unsigned char>(c) >= 0x20 &&
                   static_cast<unsigned char>(c) < 0x7F);
    std::string written =
        ClamHashLine(md5, sized ? std::optional<std::uint64_t>(fileSize) : std::nullopt, name);
    FUZZ_CHECK(!written.empty() && written.back() == '\n');
    written.pop_back();
    ClamHashSignature back;
    FUZZ_CHECK(ParseClamHashLine(written, back));
    FUZZ_CHECK(back.md5 == md5);
    FUZZ_CHECK(back.name == name);
    FUZZ_CHECK(ListOfClamName(back.name) == list);
    return 0;
}
