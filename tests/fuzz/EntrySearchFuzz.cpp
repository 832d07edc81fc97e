// The search's folding on any bytes: folding twice changes nothing, valid
// UTF-8 stays valid with as many characters, and an entry is always found
// by its own path, by any piece of it, and by its digest's prefix.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "store/EntrySearch.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The number of characters of valid UTF-8, -1 for anything else; a plain
// reading of the encoding's definition.
long Utf8Characters(const std::string& text) {
    long characters = 0;
    for (std::size_t at = 0; at < text.size(); ++characters) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || at + length > text.size())
            return -1;
        unsigned long c = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return -1;
            c = (c << 6) | (next & 0x3Fu);
        }
        const unsigned long least = length == 1   ? 0
                                    : length == 2 ? 0x80
                                    : length == 3 ? 0x800
                                                  : 0x10000;
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return -1;
        at += length;
    }
    return characters;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t from = input.ConsumeIntegral<std::uint8_t>();
    const std::size_t length = input.ConsumeIntegral<std::uint8_t>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string folded = FoldForSearch(text);
    FUZZ_CHECK(FoldForSearch(folded) == folded);
    const long characters = Utf8Characters(text);
    if (characters >= 0)
        FUZZ_CHECK(Utf8Characters(folded) == characters);

    EntrySearchFields entry;
    entry.path = text;
    FUZZ_CHECK(EntrySearch(text).Matches(entry));
    // Any piece cut at ASCII bytes (never inside a character) finds it too.
    if (from <= text.size()) {
        const std::string piece = text.substr(from, length);
        const bool cutAtAscii =
            (from == 0 || static_cast<unsigned char>(text[from]) < 0x80 || from == text.size()) &&
            (from + piece.size() == text.size() ||
             static_cast<unsigned char>(text[from + piece.size()]) < 0x80);
        if (cutAtAscii && Utf8Characters(text) >= 0)
            FUZZ_CHECK(EntrySearch(piece).Matches(entry));
    }
    // The digest's own prefix finds an entry with that digest.
    entry.path = {};
    entry.md5 = "0123456789ABCDEF0123456789abcdef";
    FUZZ_CHECK(EntrySearch(std::string(entry.md5.substr(0, 1 + length % 32))).Matches(entry));
    return 0;
}
