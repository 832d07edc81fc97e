#include "bench/window/BenchReport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace {

// The goals hold at this size; smaller sizes show the trend.
constexpr long kGoalFiles = 100000;
// The growth goal compares the drop at the goal size with a tenth of it.
constexpr long kGrowthFrom = kGoalFiles / 10;
constexpr double kGrowthGoal = 12.0;

enum class Unit { Ms, MiB };
enum class GoalKind { Ratio, Limit, None };

struct FigureSpec {
    const char* name;
    const char* label;
    Unit unit;
    const char* reference; // the reference figure's name, or null
    const char* referenceLabel;
    GoalKind goalKind;
    double goal;
};

const FigureSpec kSpecs[] = {
    {"drop_ms", "drop until all rows and the summary show", Unit::Ms, "scan_ms", "scan",
     GoalKind::Ratio, 1.5},
    {"answer_ms", "longest answer of the window during the drop", Unit::Ms, nullptr, nullptr,
     GoalKind::Limit, 100},
    {"commit_ms", "OK until all files are stored and listed", Unit::Ms, "scan_ms", "scan",
     GoalKind::Ratio, 1.0},
    {"startup_full_window_ms", "start-up with the files stored until the window shows", Unit::Ms,
     "startup_empty_window_ms", "empty store", GoalKind::Ratio, 2.0},
    {"startup_full_ms", "start-up with the files stored until list 403 is filled", Unit::Ms,
     "startup_empty_ms", "empty store", GoalKind::None, 0},
    {"remove_ms", "removal of one entry after its confirmation", Unit::Ms, nullptr, nullptr,
     GoalKind::Limit, 50},
    {"working_set_mb", "working set, all files pending and operated", Unit::MiB, nullptr, nullptr,
     GoalKind::Limit, 400},
};

std::string Printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string ValueText(const Figure& figure, Unit unit) {
    if (unit == Unit::Ms || figure.kind != Figure::Kind::Value)
        return DurationText(figure);
    return Printed("%.0f MB", figure.value);
}

// The ratio of two figures; for a figure over its limit, the limit gives a
// lower bound ("> 4.00x").
struct Ratio {
    double value;
    bool lowerBound;
};

std::optional<Ratio> RatioOf(const Figure& measured, const Figure& reference) {
    if (reference.kind != Figure::Kind::Value || reference.value <= 0 ||
        measured.kind == Figure::Kind::Missing)
        return std::nullopt;
    return Ratio{measured.value / reference.value, measured.kind == Figure::Kind::Over};
}

std::string RatioText(const std::optional<Ratio>& ratio, const char* format) {
    if (!ratio)
        return "-";
    return (ratio->lowerBound ? "> " : "") + Printed(format, ratio->value);
}

// Met when at or under the goal; missed when over it, also when only a
// lower bound is known that is over it; unknown (empty) otherwise.
std::string Verdict(double value, bool lowerBound, double goal) {
    if (value > goal)
        return "missed";
    return lowerBound ? "" : "met";
}

std::string GoalText(const FigureSpec& spec) {
    if (spec.goalKind == GoalKind::None)
        return "-";
    if (spec.goalKind == GoalKind::Ratio)
        return "<= " + Printed("%gx", spec.goal);
    return "<= " + Printed("%g", spec.goal) + (spec.unit == Unit::Ms ? " ms" : " MB");
}

const Figure& FigureOf(const SizeFigures& figures, const char* name) {
    static const Figure missing;
    const auto found = figures.find(name);
    return found == figures.end() ? missing : found->second;
}

ReportRow RowFor(long files, const SizeFigures& figures, const FigureSpec& spec) {
    const Figure& measured = FigureOf(figures, spec.name);
    ReportRow row;
    row.files = GroupedCount(files);
    row.figure = spec.label;
    row.measured = ValueText(measured, spec.unit);
    row.goal = GoalText(spec);
    std::optional<Ratio> ratio;
    if (spec.reference) {
        const Figure& reference = FigureOf(figures, spec.reference);
        row.reference = std::string(spec.referenceLabel) + " " + ValueText(reference, spec.unit);
        ratio = RatioOf(measured, reference);
        row.ratio = RatioText(ratio, "%.2fx");
    } else {
        row.reference = "-";
        row.ratio = "-";
    }
    if (files != kGoalFiles)
        return row;
    if (spec.goalKind == GoalKind::Ratio && ratio)
        row.verdict = Verdict(ratio->value, ratio->lowerBound, spec.goal);
    else if (spec.goalKind == GoalKind::Limit && measured.kind != Figure::Kind::Missing)
        row.verdict = Verdict(measured.value, measured.kind == Figure::Kind::Over, spec.goal);
    return row;
}

ReportRow GrowthRow(long from, const SizeFigures& smaller, long to, const SizeFigures& larger) {
    ReportRow row;
    row.files = GroupedCount(to);
    row.figure = "growth of the drop from " + GroupedCount(from);
    const std::optional<Ratio> growth =
        RatioOf(FigureOf(larger, "drop_ms"), FigureOf(smaller, "drop_ms"));
    row.measured = RatioText(growth, "%.1fx");
    row.reference = "drop at " + GroupedCount(from);
    row.ratio = "-";
    const bool goalStep = from == kGrowthFrom && to == kGoalFiles;
    row.goal = goalStep ? "<= " + Printed("%gx", kGrowthGoal) : "-";
    if (goalStep && growth)
        row.verdict = Verdict(growth->value, growth->lowerBound, kGrowthGoal);
    return row;
}

} // namespace

Figure Figure::Parse(const std::string& text) {
    Figure figure;
    const bool over = text.rfind("over:", 0) == 0;
    const char* number = text.c_str() + (over ? 5 : 0);
    char* end = nullptr;
    const double value = std::strtod(number, &end);
    if (end == number || *end != '\0')
        return figure;
    figure.kind = over ? Kind::Over : Kind::Value;
    figure.value = over ? value * 1000.0 : value;
    return figure;
}

BenchFigures ParseFigures(const std::string& text) {
    BenchFigures figures;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        long files = 0;
        std::string name;
        std::string value;
        if (fields >> files >> name >> value)
            figures[files][name] = Figure::Parse(value);
    }
    return figures;
}

std::vector<ReportRow> BuildReport(const BenchFigures& figures) {
    std::vector<ReportRow> rows;
    const SizeFigures* previous = nullptr;
    long previousFiles = 0;
    for (const auto& [files, sizeFigures] : figures) {
        for (const FigureSpec& spec : kSpecs)
            rows.push_back(RowFor(files, sizeFigures, spec));
        if (previous)
            rows.push_back(GrowthRow(previousFiles, *previous, files, sizeFigures));
        previous = &sizeFigures;
        previousFiles = files;
    }
    return rows;
}

std::string FormatReport(const std::vector<ReportRow>& rows) {
    std::vector<ReportRow> table;
    table.push_back({"files", "figure", "measured", "reference", "ratio", "goal", "at 100,000"});
    table.insert(table.end(), rows.begin(), rows.end());
    std::size_t widths[6] = {};
    for (const ReportRow& row : table) {
        const std::string* cells[6] = {&row.files,     &row.figure, &row.measured,
                                       &row.reference, &row.ratio,  &row.goal};
        for (int i = 0; i < 6; ++i)
            widths[i] = std::max(widths[i], cells[i]->size());
    }
    std::string text;
    for (const ReportRow& row : table) {
        const std::string* cells[7] = {&row.files, &row.figure, &row.measured, &row.reference,
                                       &row.ratio, &row.goal,   &row.verdict};
        std::string line;
        for (int i = 0; i < 7; ++i) {
            line += *cells[i];
            if (i < 6)
                line += std::string(widths[i] - cells[i]->size() + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

std::string GroupedCount(long count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return (count < 0 ? "-" : "") + digits;
}

std::string DurationText(const Figure& figure) {
    switch (figure.kind) {
    case Figure::Kind::Missing:
        return "-";
    case Figure::Kind::Over:
        return Printed("over %.0f s", figure.value / 1000.0);
    case Figure::Kind::Value:
        break;
    }
    if (figure.value < 10)
        return Printed("%.1f ms", figure.value);
    if (figure.value < 1000)
        return Printed("%.0f ms", figure.value);
    if (figure.value < 100000)
        return Printed("%.2f s", figure.value / 1000.0);
    return Printed("%.0f s", figure.value / 1000.0);
}
