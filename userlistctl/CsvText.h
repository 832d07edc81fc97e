#pragma once
// CSV text as RFC 4180 writes it: fields separated by commas, a field that
// holds a comma, a double quote, CR or LF is enclosed in double quotes with
// each quote inside doubled. Records end in CRLF when written; a quoted field
// may run over several lines.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The field as it goes into a record: quoted only when it has to be.
std::string CsvField(std::string_view text);

// One record of the given fields, ended with CRLF.
std::string CsvRecord(const std::vector<std::string>& fields);
// The same record appended to `text` (a million of them make no copies).
void AppendCsvRecord(std::string& text, std::initializer_list<std::string_view> fields);

// Whether a quoted field is still open after `text`, given whether one was
// open before it. Lets a reader join the lines of one record without parsing
// it again for each line: every double quote opens or closes, and a doubled
// quote inside a field closes and opens again.
bool CsvQuoteOpenAfter(std::string_view text, bool openBefore);

enum class CsvParse { Complete, Unterminated, Malformed };

// Splits one whole record (its line ends included when a quoted field holds
// them, without the record's own line end) into fields. Unterminated: a
// quoted field is not closed. Malformed: a quote inside an unquoted field, or
// text after a closing quote; `problem` then says which field.
CsvParse ParseCsvRecord(std::string_view record, std::vector<std::string>& fields,
                        std::string& problem);
