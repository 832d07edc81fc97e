#include "userlistctl/ImportParser.h"

#include "intake/Digest.h"
#include "userlistctl/ClamHashLine.h"
#include "userlistctl/CsvText.h"
#include "userlistctl/ListExchange.h"

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool BlankOrComment(std::string_view line) {
    const std::string_view text = TrimBlanks(line);
    return text.empty() || text[0] == '#';
}

// At most 40 bytes of a (UTF-8) text for a message, cut between characters.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown)
        return "\"" + std::string(text) + "\"";
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

std::string NotAnMd5(std::string_view text) {
    return Quoted(text) + " is not an MD5 (32 hexadecimal digits)";
}

std::string GiveList(const std::string& why) {
    return why + ": give --list trusted or --list black";
}

} // namespace

const char* ListName(ListKind list) {
    return list == ListKind::Trusted ? "whitelist" : "blacklist";
}

ImportParser::ImportParser(std::optional<ListKind> list) : m_givenList(list) {}

bool ImportParser::Fail(std::size_t line, std::string text, bool needsList) {
    if (!m_problem)
        m_problem = ImportProblem{line, std::move(text), needsList};
    return false;
}

void ImportParser::SetProblem(std::size_t line, std::string text) {
    Fail(line, std::move(text));
}

bool ImportParser::AddLine(std::string_view line, std::size_t number) {
    if (m_problem)
        return false;
    if (number == 1 && line.substr(0, 3) == kUtf8Bom)
        line.remove_prefix(3);
    const std::string notText = LineTextProblem(line);
    if (!notText.empty())
        return Fail(number, notText);
    switch (m_format) {
    case ImportFormat::None:
        return BlankOrComment(line) || Recognise(line, number);
    case ImportFormat::Csv:
        return AddCsvLine(line, number);
    case ImportFormat::ClamHash:
        return BlankOrComment(line) || AddHashLine(line, number);
    case ImportFormat::PlainMd5:
        return BlankOrComment(line) || AddPlainLine(line, number);
    }
    return false;
}

bool ImportParser::Recognise(std::string_view line, std::size_t number) {
    // A signature first: its name may hold commas and a column's name (it is
    // made from a file name), while a CSV header never starts with an MD5.
    ClamHashSignature signature;
    if (ParseClamHashLine(line, signature)) {
        m_format = ImportFormat::ClamHash;
        return AddHashLine(line, number);
    }
    std::string problem;
    if (ParseCsvRecord(line, m_fields, problem) == CsvParse::Complete && m_fields.size() > 1)
        for (const std::string& field : m_fields) {
            const std::string_view name = TrimBlanks(field);
            if (EqualsNoCase(name, "IndicatorType") || EqualsNoCase(name, "IndicatorValue"))
                return ReadCsvHeader(m_fields, number);
        }
    if (IsMd5Text(TrimBlanks(line))) {
        m_format = ImportFormat::PlainMd5;
        if (!m_givenList)
            return Fail(number, GiveList("a plain list of MD5s does not say the list"), true);
        return AddPlainLine(line, number);
    }
    return Fail(number, "not a CSV header (IndicatorType,IndicatorValue,...), a ClamAV hash "
                        "signature (MD5:SIZE:NAME) or an MD5: " +
                            Quoted(line));
}

bool ImportParser::ReadCsvHeader(const std::vector<std::string>& fields, std::size_t number) {
    std::optional<std::size_t> type, value;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view name = TrimBlanks(fields[i]);
        if (!type && EqualsNoCase(name, "IndicatorType"))
            type = i;
        else if (!value && EqualsNoCase(name, "IndicatorValue"))
            value = i;
        else if (!m_columns.action && EqualsNoCase(name, "Action"))
            m_columns.action = i;
    }
    if (!type || !value)
        return Fail(number,
                    "a CSV header needs both an IndicatorType and an IndicatorValue column");
    m_format = ImportFormat::Csv;
    m_columns.count = fields.size();
    m_columns.type = *type;
    m_columns.value = *value;
    if (!m_columns.action && !m_givenList)
        return Fail(number, GiveList("the CSV has no Action column to tell the list"), true);
    return true;
}

bool ImportParser::AddCsvLine(std::string_view line, std::size_t number) {
    if (!m_quoteOpen) {
        if (TrimBlanks(line).empty())
            return true;
        m_record.assign(line);
        m_recordLine = number;
        if (CsvQuoteOpenAfter(line, false)) {
            // A quote that does not open a field is wrong at once, not after
            // the lines it would otherwise swallow.
            std::string problem;
            if (ParseCsvRecord(line, m_fields, problem) == CsvParse::Malformed)
                return Fail(number, problem);
        }
    } else {
        if (m_record.size() + 1 + line.size() > kImportMaxLineBytes)
            return Fail(m_recordLine, "a quoted field runs on past " +
                                          std::to_string(kImportMaxLineBytes) + " bytes");
        m_record += '\n';
        m_record.append(line);
    }
    m_quoteOpen = CsvQuoteOpenAfter(line, m_quoteOpen);
    return m_quoteOpen || AddCsvRow(m_recordLine);
}

bool ImportParser::AddCsvRow(std::size_t number) {
    std::string problem;
    const CsvParse parsed = ParseCsvRecord(m_record, m_fields, problem);
    if (parsed == CsvParse::Unterminated)
        return Fail(number, "a quoted field is not closed");
    if (parsed == CsvParse::Malformed)
        return Fail(number, problem);
    if (m_fields.size() != m_columns.count)
        return Fail(number, std::to_string(m_fields.size()) + " fields where the header has " +
                                std::to_string(m_columns.count));
    const std::string_view type = TrimBlanks(m_fields[m_columns.type]);
    const std::string_view value = TrimBlanks(m_fields[m_columns.value]);
    if (type.empty())
        return Fail(number, "no IndicatorType");
    if (!EqualsNoCase(type, kCsvMd5Type)) {
        m_skipped.push_back(SkippedRow{number, std::string(type)});
        return true;
    }
    if (!IsMd5Text(value))
        return Fail(number, "IndicatorValue " + NotAnMd5(value));
    std::optional<ListKind> list = m_givenList;
    if (!list) {
        const std::string_view action = TrimBlanks(m_fields[*m_columns.action]);
        list = ListOfCsvAction(action);
        if (!list)
            return Fail(number, "Action " + Quoted(action) +
                                    " is none of Allowed, Allow (whitelist), Block, "
                                    "BlockAndRemediate, AlertAndBlock (blacklist)");
    }
    return Take(value, *list, number);
}

bool ImportParser::AddHashLine(std::string_view line, std::size_t number) {
    ClamHashSignature signature;
    if (!ParseClamHashLine(line, signature))
        return Fail(number, "not a ClamAV hash signature (MD5:SIZE:NAME): " + Quoted(line));
    std::optional<ListKind> list = m_givenList;
    if (!list)
        list = ListOfClamName(signature.name);
    if (!list)
        return Fail(number,
                    GiveList("the signature name " + Quoted(signature.name) +
                             " does not say the list (UserWarden.Trusted. or UserWarden.Black.)"),
                    true);
    return Take(signature.md5, *list, number);
}

bool ImportParser::AddPlainLine(std::string_view line, std::size_t number) {
    const std::string_view md5 = TrimBlanks(line);
    if (!IsMd5Text(md5))
        return Fail(number, NotAnMd5(md5));
    return Take(md5, *m_givenList, number);
}

bool ImportParser::Take(std::string_view md5, ListKind list, std::size_t number) {
    std::string lower = LowerMd5(md5);
    const auto found = m_entryOf.find(lower);
    if (found == m_entryOf.end()) {
        m_entryOf.emplace(lower, m_entries.size());
        m_entries.push_back(ImportEntry{std::move(lower), list, number});
        return true;
    }
    const ImportEntry& first = m_entries[found->second];
    if (first.list == list) {
        m_duplicates.push_back(ImportEntry{std::move(lower), list, number});
        return true;
    }
    return Fail(number, lower + " is on line " + std::to_string(first.line) + " for the " +
                            ListName(first.list) + " and here for the " + ListName(list));
}

bool ImportParser::Finish(std::size_t lineCount) {
    if (m_problem)
        return false;
    if (m_quoteOpen)
        return Fail(m_recordLine, "a quoted field is not closed before the end of the file");
    if (lineCount == 0)
        return Fail(1, "the file is empty");
    if (!m_entries.empty())
        return true;
    if (m_format == ImportFormat::Csv)
        return Fail(0, "nothing to import: no FileMd5 row (" + std::to_string(m_skipped.size()) +
                           " rows of other types)");
    return Fail(0, "nothing to import: no MD5 in " + std::to_string(lineCount) + " lines");
}
