// CSV records: any record text is split or refused; a record split is
// written again and splits to the same fields; any fields written as a record
// split back to themselves; the quote tracking agrees with the split.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "tests/fuzz/FuzzSupport.h"
#include "userlistctl/CsvText.h"

namespace {

// A record as written, without its CRLF.
std::string Written(const std::vector<std::string>& fields) {
    std::string record = CsvRecord(fields);
    FUZZ_CHECK(record.size() >= 2 && record.compare(record.size() - 2, 2, "\r\n") == 0);
    record.resize(record.size() - 2);
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<std::string> given;
    for (int i = input.ConsumeIntegralInRange<int>(1, 6); i > 0; --i)
        given.push_back(input.ConsumeRandomLengthString(64));
    const std::string record = input.ConsumeRemainingBytesAsString();

    std::vector<std::string> fields;
    std::string problem;
    const CsvParse parse = ParseCsvRecord(record, fields, problem);
    FUZZ_CHECK((parse == CsvParse::Unterminated) == CsvQuoteOpenAfter(record, false) ||
               parse == CsvParse::Malformed);
    if (parse == CsvParse::Complete) {
        std::vector<std::string> again;
        FUZZ_CHECK(ParseCsvRecord(Written(fields), again, problem) == CsvParse::Complete);
        FUZZ_CHECK(again == fields);
    }

    std::vector<std::string> back;
    FUZZ_CHECK(ParseCsvRecord(Written(given), back, problem) == CsvParse::Complete);
    FUZZ_CHECK(back == given);
    return 0;
}
