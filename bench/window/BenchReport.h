#pragma once
// The benchmark's table: the figures the steps measured for each size,
// each beside its reference measured in the same run, their ratio and the
// goal. The script collects the figures as "FILES NAME VALUE" lines, where
// VALUE is a number (milliseconds, or MiB for memory), "over:SECONDS" for a
// step that ran out of its time limit, or anything else for one that was
// not taken.

#include <map>
#include <string>
#include <vector>

struct Figure {
    enum class Kind { Missing, Value, Over };
    Kind kind = Kind::Missing;
    double value = 0; // the number; for Over the limit in milliseconds

    static Figure Parse(const std::string& text);
};

using SizeFigures = std::map<std::string, Figure>; // by name
using BenchFigures = std::map<long, SizeFigures>;  // by number of files

// Lines that are not "FILES NAME VALUE" are skipped.
BenchFigures ParseFigures(const std::string& text);

struct ReportRow {
    std::string files;
    std::string figure;
    std::string measured;
    std::string reference;
    std::string ratio;
    std::string goal;
    std::string verdict; // "met" or "missed" where the goal applies, else empty
};

std::vector<ReportRow> BuildReport(const BenchFigures& figures);
// The rows as a table with a header line, columns aligned.
std::string FormatReport(const std::vector<ReportRow>& rows);

// "1,000", "100,000".
std::string GroupedCount(long count);
// "850 ms", "12.3 s", "over 600 s", "-".
std::string DurationText(const Figure& figure);
