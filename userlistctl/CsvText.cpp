#include "userlistctl/CsvText.h"

#include <algorithm>

namespace {

bool NeedsQuotes(std::string_view text) {
    // A plain loop: find_first_of looks each character up in the set with a
    // call of its own, and an export checks every field of a million records.
    for (const char c : text) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

// A quoted field from `pos` (at its opening quote): its text in `field`,
// `pos` past the closing quote. False when the record ends inside it.
bool ReadQuotedField(std::string_view record, std::size_t& pos, std::string& field) {
    ++pos;
    while (pos < record.size()) {
        const std::size_t quote = record.find('"', pos);
        if (quote == std::string_view::npos)
            return false;
        field.append(record.substr(pos, quote - pos));
        if (quote + 1 < record.size() && record[quote + 1] == '"') {
            field += '"';
            pos = quote + 2;
            continue;
        }
        pos = quote + 1;
        return true;
    }
    return false;
}

} // namespace

namespace {

void AppendCsvField(std::string& record, std::string_view text) {
    if (!NeedsQuotes(text)) {
        record.append(text);
        return;
    }
    record += '"';
    for (const char c : text) {
        if (c == '"')
            record += '"';
        record += c;
    }
    record += '"';
}

template <class Fields> void AppendFields(std::string& record, const Fields& fields) {
    bool first = true;
    for (const auto& field : fields) {
        if (!first)
            record += ',';
        first = false;
        AppendCsvField(record, field);
    }
    record += "\r\n";
}

} // namespace

std::string CsvField(std::string_view text) {
    std::string field;
    AppendCsvField(field, text);
    return field;
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string record;
    AppendFields(record, fields);
    return record;
}

void AppendCsvRecord(std::string& text, std::initializer_list<std::string_view> fields) {
    AppendFields(text, fields);
}

bool CsvQuoteOpenAfter(std::string_view text, bool openBefore) {
    bool open = openBefore;
    for (const char c : text) {
        if (c == '"')
            open = !open;
    }
    return open;
}

CsvParse ParseCsvRecord(std::string_view record, std::vector<std::string>& fields,
                        std::string& problem) {
    fields.clear();
    std::size_t pos = 0;
    for (;;) {
        std::string field;
        const std::size_t number = fields.size() + 1;
        if (pos < record.size() && record[pos] == '"') {
            if (!ReadQuotedField(record, pos, field))
                return CsvParse::Unterminated;
            if (pos < record.size() && record[pos] != ',') {
                problem = "text after the closing quote of field " + std::to_string(number);
                return CsvParse::Malformed;
            }
        } else {
            const std::size_t end = std::min(record.find(',', pos), record.size());
            field.assign(record.substr(pos, end - pos));
            if (field.find('"') != std::string::npos) {
                problem = "a quote inside unquoted field " + std::to_string(number);
                return CsvParse::Malformed;
            }
            pos = end;
        }
        fields.push_back(std::move(field));
        if (pos >= record.size())
            return CsvParse::Complete;
        ++pos; // the comma
    }
}
