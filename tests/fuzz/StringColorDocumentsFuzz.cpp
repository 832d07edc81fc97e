// String and colour documents in up to four copies: each string id and each
// colour set name once, the first definition winning across copies; the
// level of a colour section selects it exactly.

#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzDocuments.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/engine/TwTableDocuments.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int level = static_cast<signed char>(data[0]);
    const std::vector<std::string> copies = DocumentCopies(data + 1, size - 1);

    std::set<int> ids;
    for (const auto& [id, text] : ReadStrings(copies))
        FUZZ_CHECK(ids.insert(id).second);

    std::set<std::string> names;
    for (const TwColorSetRecord& set : ReadColorSets(copies, level))
        FUZZ_CHECK(names.insert(set.name).second);
    // A level no section gives selects nothing.
    bool other = false;
    for (const std::string& copy : copies)
        other = other || copy.find("level") != std::string::npos;
    if (!other)
        FUZZ_CHECK(ReadColorSets(copies, level).empty());
    return 0;
}
