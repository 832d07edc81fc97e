// Style documents in up to four copies: each class name once, the first
// definition winning across copies, so that reading the copies again after
// themselves changes nothing; colours stay colours.

#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzDocuments.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/engine/TwTableDocuments.h"

namespace {

bool IsColor(TwColorRef color) {
    return color == kNoColor || color <= 0xFFFFFFu;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::vector<std::string> copies = DocumentCopies(data, size);
    const std::vector<TwStyleRecord> styles = ReadStyleClasses(copies);
    std::set<std::string> names;
    for (const TwStyleRecord& style : styles) {
        FUZZ_CHECK(names.insert(style.name).second);
        const TwColorValues& c = style.colors;
        FUZZ_CHECK(IsColor(c.crbg) && IsColor(c.crbghover) && IsColor(c.crtext) &&
                   IsColor(c.crhover) && IsColor(c.crdisabled) && IsColor(c.crshadow));
    }
    const std::size_t count = copies.size();
    for (std::size_t i = 0; i < count; ++i)
        copies.push_back(copies[i]);
    const std::vector<TwStyleRecord> twice = ReadStyleClasses(copies);
    FUZZ_CHECK(twice.size() == styles.size());
    for (std::size_t i = 0; i < styles.size(); ++i) {
        FUZZ_CHECK(twice[i].name == styles[i].name && twice[i].skin == styles[i].skin &&
                   twice[i].xMargin == styles[i].xMargin &&
                   twice[i].fontCode == styles[i].fontCode);
    }
    return 0;
}
