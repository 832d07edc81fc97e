// The version resource of a PE image, two ways on every input:
// - the input as a file: the resource range lies inside the file and under
//   the cap, does not depend on how much of the head beyond the headers the
//   reader holds, the strings read from an exact copy of the range are valid
//   UTF-8 without NUL, the same as from the whole image, and empty when no
//   version resource was found;
// - the input as choices for an image written with a version resource
//   (tests/support/PeVersionImage), in one or more languages: its strings
//   come back as chosen, from the language the definition picks for the
//   user's, the table it picks (the translation's pair, else its language,
//   else the first table) and the first entry of each name.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/PeVersionInfo.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/support/PeVersionImage.h"

namespace {

using testsupport::VersionImageSpec;
using testsupport::VersionTable;

// RFC 3629's grammar: per lead byte, the range of the second byte and how
// many continuation bytes follow.
bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned lead = static_cast<unsigned char>(text[i]);
        unsigned low = 0x80, high = 0xBF;
        std::size_t tail = 0;
        if (lead == 0) {
            return false; // a NUL ends a string in the file: none may come out
        } else if (lead < 0x80) {
            tail = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            tail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            tail = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            tail = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i - 1 < tail)
            return false;
        for (std::size_t k = 1; k <= tail; ++k) {
            const unsigned next = static_cast<unsigned char>(text[i + k]);
            const unsigned from = k == 1 ? low : 0x80, to = k == 1 ? high : 0xBF;
            if (next < from || next > to)
                return false;
        }
        i += tail + 1;
    }
    return true;
}

std::vector<const std::string*> Texts(const PeVersionStrings& strings) {
    return {&strings.company, &strings.product, &strings.description, &strings.fileVersion,
            &strings.originalName};
}

void CheckAsFile(const unsigned char* data, std::size_t size) {
    const PeResourceRange range = FindPeResourceRange(data, size, size);
    PeVersionStrings strings;
    bool found = false;
    if (range.size != 0) {
        FUZZ_CHECK(range.offset < size && range.size <= size - range.offset);
        FUZZ_CHECK(range.size <= kMaxPeResourceBytes);
        // Only the head's first bytes may matter: a shorter head finds the
        // same range or, when it cuts the headers, none.
        const PeResourceRange fromShortHead = FindPeResourceRange(data, size / 2, size);
        FUZZ_CHECK(fromShortHead.size == 0 ||
                   (fromShortHead.offset == range.offset && fromShortHead.size == range.size &&
                    fromShortHead.rva == range.rva));
        const std::vector<unsigned char> bytes(data + range.offset,
                                               data + range.offset + range.size);
        found = ReadPeVersionStrings(range, bytes.data(), bytes.size(), strings);
    }
    PeVersionStrings whole;
    FUZZ_CHECK(ReadPeVersionStringsOfImage(data, size, whole) == found);
    const std::vector<const std::string*> texts = Texts(strings), wholeTexts = Texts(whole);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        FUZZ_CHECK(IsUtf8(*texts[i]));
        FUZZ_CHECK(*texts[i] == *wholeTexts[i]);
        FUZZ_CHECK(found || texts[i]->empty());
    }
}

const char* const kKeys[] = {"CompanyName",      "ProductName", "FileDescription", "FileVersion",
                             "OriginalFilename", "Comments",    "InternalName"};
// Pieces of one to four UTF-8 bytes, a character outside the BMP among them.
const char* const kPieces[] = {
    "a", "Z", "0", " ", ".", "\xC3\xA9", "\xE4\xB8\xAD", "\xEF\xBF\xBD", "\xF0\x9F\x98\x80"};

std::string Text(FuzzedDataProvider& input) {
    std::string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 40);
    for (std::size_t i = 0; i < length; ++i)
        text += input.PickValueInArray(kPieces);
    return text;
}

std::string HexKey(std::uint16_t language, std::uint16_t codePage) {
    static const char kDigits[] = "0123456789abcdef";
    const std::uint32_t pair = (std::uint32_t{language} << 16) | codePage;
    std::string key;
    for (int shift = 28; shift >= 0; shift -= 4)
        key += kDigits[(pair >> shift) & 0xF];
    return key;
}

// The value the definition gives for `key` from `table`: its first entry.
std::string FirstValue(const VersionTable& table, const std::string& key) {
    for (const testsupport::VersionString& entry : table.strings) {
        if (entry.key == key)
            return entry.value;
    }
    return std::string();
}

// Tables of one language of the resource.
std::vector<VersionTable> Tables(FuzzedDataProvider& input) {
    std::vector<VersionTable> tables(input.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (VersionTable& table : tables) {
        table.key = HexKey(input.PickValueInArray<std::uint16_t>({0x0409, 0x0804, 0x0407}),
                           input.PickValueInArray<std::uint16_t>({1200, 1252, 936}));
        const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 9);
        for (std::size_t i = 0; i < count; ++i)
            table.strings.push_back({input.PickValueInArray(kKeys), Text(input)});
    }
    return tables;
}

// The language the definition picks for a user of `preferred`: the rules
// in turn, the first language (by id) that meets one.
std::uint16_t ExpectedLanguage(std::vector<std::uint16_t> languages, std::uint16_t preferred) {
    std::sort(languages.begin(), languages.end());
    const std::function<bool(std::uint16_t)> rules[] = {
        [](std::uint16_t l) { return l == 0; },
        [&](std::uint16_t l) { return preferred != 0 && l == preferred; },
        [](std::uint16_t l) { return l == 0x0409; }, [](std::uint16_t) { return true; }};
    for (const auto& rule : rules) {
        for (const std::uint16_t language : languages) {
            if (rule(language))
                return language;
        }
    }
    return languages.front();
}

// The table the definition picks: the translation's pair, else its
// language, else the first.
const VersionTable* ExpectedTable(const std::vector<VersionTable>& tables,
                                  const VersionImageSpec& spec) {
    if (tables.empty())
        return nullptr;
    if (spec.translation) {
        const std::string pair = HexKey(spec.translationLanguage, spec.translationCodePage);
        for (const VersionTable& table : tables) {
            if (table.key == pair)
                return &table;
        }
        for (const VersionTable& table : tables) {
            if (table.key.compare(0, 4, pair, 0, 4) == 0)
                return &table;
        }
    }
    return &tables.front();
}

void CheckRoundTrip(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    VersionImageSpec spec;
    spec.pe32plus = input.ConsumeBool();
    spec.codeBytes = input.ConsumeIntegralInRange<std::uint32_t>(1, 0x3000);
    // The resource in one or more distinct languages, each with its tables.
    const std::uint16_t kLanguages[] = {0x0000, 0x0400, 0x0401, 0x0407,
                                        0x0409, 0x0804, 0x0809, 0x1004};
    const std::uint8_t chosen = input.ConsumeIntegral<std::uint8_t>();
    std::vector<std::uint16_t> languages;
    std::vector<std::vector<VersionTable>> tables;
    for (std::size_t i = 0; i < sizeof kLanguages / sizeof kLanguages[0]; ++i) {
        if ((chosen >> i) & 1) {
            languages.push_back(kLanguages[i]);
            tables.push_back(Tables(input));
        }
    }
    if (languages.empty()) {
        languages.push_back(0x0409);
        tables.push_back(Tables(input));
    }
    spec.resourceLanguage = languages.front();
    spec.tables = tables.front();
    for (std::size_t i = 1; i < languages.size(); ++i)
        spec.moreLanguages.push_back({languages[i], tables[i]});
    spec.translation = input.ConsumeBool();
    spec.translationLanguage = input.PickValueInArray<std::uint16_t>({0x0409, 0x0804, 0x0407});
    spec.translationCodePage = input.PickValueInArray<std::uint16_t>({1200, 1252, 936});
    const std::uint16_t preferred =
        input.PickValueInArray<std::uint16_t>({0, 0x0409, 0x0804, 0x1004, 0x0411});
    const std::vector<unsigned char> image = testsupport::BuildVersionImage(spec).bytes;

    const std::uint16_t language = ExpectedLanguage(languages, preferred);
    const std::size_t index = static_cast<std::size_t>(
        std::find(languages.begin(), languages.end(), language) - languages.begin());
    const VersionTable* table = ExpectedTable(tables[index], spec);

    const PeResourceRange range = FindPeResourceRange(image.data(), 1024, image.size());
    FUZZ_CHECK(range.size != 0);
    PeVersionStrings strings;
    FUZZ_CHECK(
        ReadPeVersionStrings(range, image.data() + range.offset, range.size, strings, preferred));
    if (!table) {
        for (const std::string* text : Texts(strings))
            FUZZ_CHECK(text->empty());
        return;
    }
    FUZZ_CHECK(strings.company == FirstValue(*table, "CompanyName"));
    FUZZ_CHECK(strings.product == FirstValue(*table, "ProductName"));
    FUZZ_CHECK(strings.description == FirstValue(*table, "FileDescription"));
    FUZZ_CHECK(strings.fileVersion == FirstValue(*table, "FileVersion"));
    FUZZ_CHECK(strings.originalName == FirstValue(*table, "OriginalFilename"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    CheckAsFile(data, size);
    CheckRoundTrip(data, size);
    return 0;
}
