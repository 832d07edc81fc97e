// The documents' notations: decimal integers, hex numbers, RRGGBB colours and
// font codes, on any text; numbers written back and read again.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "ui/core/TwNotation.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int number = input.ConsumeIntegral<int>();
    const unsigned hex = input.ConsumeIntegral<unsigned>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    ReadDecimal(text.c_str());
    ReadHex(text.c_str());
    const TwColorRef color = ReadColor(text.c_str());
    FUZZ_CHECK(color <= 0xFFFFFFu);
    const unsigned code = ReadHex(text.c_str());
    const FontCode font = DecodeFontCode(code);
    FUZZ_CHECK(font.sizeStep >= -128 && font.sizeStep <= 127);
    FUZZ_CHECK(FontHeightFor(code, -12) == -12 - font.sizeStep);

    FUZZ_CHECK(ReadDecimal(std::to_string(number).c_str()) == number);
    FUZZ_CHECK(ReadDecimal((std::to_string(number) + "px").c_str()) == number);
    char written[16];
    std::snprintf(written, sizeof written, "%x", hex);
    FUZZ_CHECK(ReadHex(written) == hex);
    std::snprintf(written, sizeof written, "%06X", hex & 0xFFFFFFu);
    const unsigned rgb = hex & 0xFFFFFFu;
    FUZZ_CHECK(ReadColor(written) == TwRgb(rgb >> 16, rgb >> 8, rgb));
    return 0;
}
