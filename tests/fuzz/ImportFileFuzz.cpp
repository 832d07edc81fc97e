// Import files: any bytes, cut into lines as the import command cuts a file,
// are recognised as one format or refused, and what is taken is sound (MD5
// texts in lower case, each once per list, in line order). The entries taken
// are then exported in each format the tool writes (CSV, ClamAV hash lines,
// a plain MD5 list) and imported again: the same MD5s on the same lists.

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "intake/Digest.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/support/ImportFeed.h"
#include "userlistctl/ClamHashLine.h"
#include "userlistctl/CsvText.h"
#include "userlistctl/ImportParser.h"
#include "userlistctl/ListExchange.h"

namespace {

using Listed = std::vector<std::pair<std::string, ListKind>>;

Listed EntriesOf(const ImportParser& parser) {
    Listed entries;
    for (const ImportEntry& entry : parser.Entries())
        entries.emplace_back(entry.md5, entry.list);
    return entries;
}

void CheckSound(const ImportParser& parser) {
    std::set<std::pair<std::string, ListKind>> seen;
    std::size_t lastLine = 0;
    for (const ImportEntry& entry : parser.Entries()) {
        FUZZ_CHECK(IsMd5Text(entry.md5) && LowerMd5(entry.md5) == entry.md5);
        FUZZ_CHECK(seen.emplace(entry.md5, entry.list).second);
        FUZZ_CHECK(entry.line > lastLine);
        lastLine = entry.line;
    }
    for (const ImportEntry& duplicate : parser.Duplicates())
        FUZZ_CHECK(seen.count({duplicate.md5, duplicate.list}) == 1);
}

Listed Reimported(const std::string& text, std::optional<ListKind> list) {
    ImportParser parser(list);
    testsupport::FeedImportText(parser, text);
    FUZZ_CHECK(!parser.Problem());
    CheckSound(parser);
    return EntriesOf(parser);
}

void CheckRoundTrips(const Listed& entries, const std::string& name) {
    std::string csv =
        CsvRecord(std::vector<std::string>(std::begin(kCsvColumns), std::end(kCsvColumns)));
    std::string clam;
    for (const auto& [md5, list] : entries) {
        csv += CsvRecord(
            {kCsvMd5Type, md5, CsvActionOf(list), name, "C:\\" + name, IsoUtcTime(1796727858LL)});
        clam += ClamHashLine(md5, std::nullopt, ClamSignatureName(list, name));
    }
    FUZZ_CHECK(Reimported(csv, std::nullopt) == entries);
    FUZZ_CHECK(Reimported(clam, std::nullopt) == entries);
    for (const ListKind list : {ListKind::Trusted, ListKind::Black}) {
        std::string plain;
        Listed onList;
        for (const auto& entry : entries) {
            if (entry.second == list) {
                plain += entry.first + "\n";
                onList.push_back(entry);
            }
        }
        if (!onList.empty())
            FUZZ_CHECK(Reimported(plain, list) == onList);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int given = input.ConsumeIntegralInRange<int>(0, 2);
    const std::string name = input.ConsumeRandomLengthString(32);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::optional<ListKind> list =
        given == 0 ? std::nullopt
                   : std::optional<ListKind>(given == 1 ? ListKind::Trusted : ListKind::Black);
    ImportParser parser(list);
    testsupport::FeedImportText(parser, text);
    CheckSound(parser);
    if (!parser.Problem() && !parser.Entries().empty() && LineTextProblem(name).empty())
        CheckRoundTrips(EntriesOf(parser), name);
    return 0;
}
