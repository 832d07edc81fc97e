#pragma once
// Small texts shared by the list export and import: times, file names, the
// CSV's actions, and the check that a line of an import file is text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/ListKind.h"

// The CSV's columns, in the order the export writes them; the import finds
// its columns by these names, in any order and letter case.
inline constexpr const char* kCsvColumns[] = {"IndicatorType", "IndicatorValue", "Action",
                                              "Title",         "Description",    "CreationTime"};
inline constexpr char kCsvMd5Type[] = "FileMd5";

// The store's Time (decimal seconds since 1970-01-01 UTC) as ISO 8601 UTC,
// "2026-12-08T11:04:18Z"; empty when the text is not such a number.
std::string IsoUtcTime(std::string_view storeTime);
// The same for seconds since 1970 (negative ones before it).
std::string IsoUtcTime(long long seconds);

// The last component of a Windows path ("C:\a\b.exe" -> "b.exe").
std::string_view FileNameOf(std::string_view path);

// The CSV's Action for a list, and the list an Action names
// (Allowed/Allow; Block/BlockAndRemediate/AlertAndBlock; any letter case).
const char* CsvActionOf(ListKind list);
std::optional<ListKind> ListOfCsvAction(std::string_view action);

// ASCII letters compared without case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The text without spaces and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

// Why a line (without its line end) is not text: a NUL or other control
// byte (tab is text), or bytes that are not UTF-8. Empty when it is text.
std::string LineTextProblem(std::string_view line);
