#pragma once
// Reads a list of MD5s to import, line by line, and checks all of it before
// anything is imported. The format is recognised from the first line that is
// neither blank nor a "#" comment:
//
// - CSV: a header that names IndicatorType and IndicatorValue columns (any
//   order, any letter case; other columns are ignored). Rows of type FileMd5
//   are taken, their list from the Action column; rows of other types
//   (FileSha1, FileSha256, Url, ...) are skipped and remembered.
// - ClamAV hash signatures "MD5:SIZE:NAME[:FLEVEL...]": the list from our
//   own name prefixes (UserWarden.Trusted., UserWarden.Black.).
// - Plain MD5s, one a line.
//
// A list given by the caller overrides all of these. Blank lines are passed
// over everywhere, "#" comments outside CSV. MD5s are taken in either case
// and kept in lower case; an MD5 met again for the same list counts once,
// for the other list it is an error (which one was meant cannot be told).
// The first problem stops the reading: its line number and what is wrong.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/ListKind.h"

// No line, and no CSV record over several lines, is longer: a file that has
// one is no list (and is refused without being read to its end).
inline constexpr std::size_t kImportMaxLineBytes = 64 * 1024;

enum class ImportFormat { None, Csv, ClamHash, PlainMd5 };

struct ImportEntry {
    std::string md5; // lower case
    ListKind list;
    std::size_t line;
};

struct SkippedRow {
    std::size_t line;
    std::string type; // the row's IndicatorType
};

struct ImportProblem {
    std::size_t line = 0;   // 0: the whole file
    std::string text;       // what is wrong
    bool needsList = false; // the file does not say the list: the caller must
};

class ImportParser {
public:
    explicit ImportParser(std::optional<ListKind> list);

    // One line (without its end), numbered from 1; false at a problem.
    bool AddLine(std::string_view line, std::size_t number);
    // After the last line: false for a quoted field left open at the end, an
    // empty file, or a file with nothing to import.
    bool Finish(std::size_t lineCount);

    // A problem found outside the parser (a line too long to read).
    void SetProblem(std::size_t line, std::string text);

    const std::optional<ImportProblem>& Problem() const { return m_problem; }
    ImportFormat Format() const { return m_format; }
    // The MD5s in the order of their first lines.
    const std::vector<ImportEntry>& Entries() const { return m_entries; }
    const std::vector<SkippedRow>& Skipped() const { return m_skipped; }
    // Lines whose MD5 an earlier line already gave for the same list.
    const std::vector<ImportEntry>& Duplicates() const { return m_duplicates; }

private:
    struct CsvColumns {
        std::size_t count = 0;
        std::size_t type = 0;
        std::size_t value = 0;
        std::optional<std::size_t> action;
    };

    bool Fail(std::size_t line, std::string text, bool needsList = false);
    bool Recognise(std::string_view line, std::size_t number);
    bool ReadCsvHeader(const std::vector<std::string>& fields, std::size_t number);
    bool AddCsvLine(std::string_view line, std::size_t number);
    bool AddCsvRow(std::size_t number);
    bool AddHashLine(std::string_view line, std::size_t number);
    bool AddPlainLine(std::string_view line, std::size_t number);
    bool Take(std::string_view md5, ListKind list, std::size_t number);

    const std::optional<ListKind> m_givenList;
    ImportFormat m_format = ImportFormat::None;
    std::optional<ImportProblem> m_problem;
    std::vector<ImportEntry> m_entries;
    std::unordered_map<std::string, std::size_t> m_entryOf; // MD5 -> index in m_entries
    std::vector<SkippedRow> m_skipped;
    std::vector<ImportEntry> m_duplicates;

    CsvColumns m_columns;
    std::string m_record; // a CSV record that goes on over the next line
    std::size_t m_recordLine = 0;
    bool m_quoteOpen = false;
    std::vector<std::string> m_fields;
};

const char* ListName(ListKind list); // "whitelist" or "blacklist"
