// The benchmark's table: figures parsed from the script's lines, ratios
// against the references (lower bounds for steps over their limit), the
// verdicts at the goal size, the growth rows and the column layout.

#include <string>

#include "bench/window/BenchReport.h"
#include "tests/support/GTest.h"

namespace {

const ReportRow* FindRow(const std::vector<ReportRow>& rows, const std::string& files,
                         const std::string& figureStart) {
    for (const ReportRow& row : rows) {
        if (row.files == files && row.figure.rfind(figureStart, 0) == 0)
            return &row;
    }
    return nullptr;
}

BenchFigures GoalSizeFigures() {
    return ParseFigures("100000 scan_ms 10000\n"
                        "100000 drop_ms 20000\n"
                        "100000 answer_ms 80\n"
                        "100000 commit_ms 5000\n"
                        "100000 startup_empty_window_ms 1000\n"
                        "100000 startup_full_window_ms 2500\n"
                        "100000 startup_empty_ms 1100\n"
                        "100000 startup_full_ms 4000\n"
                        "100000 remove_ms 60\n"
                        "100000 working_set_mb 350\n");
}

} // namespace

TEST(BenchReport, FiguresAreNumbersLimitsOrMissing) {
    const Figure value = Figure::Parse("1234.5");
    EXPECT_EQ(Figure::Kind::Value, value.kind);
    EXPECT_DOUBLE_EQ(1234.5, value.value);
    const Figure over = Figure::Parse("over:600");
    EXPECT_EQ(Figure::Kind::Over, over.kind);
    EXPECT_DOUBLE_EQ(600000.0, over.value);
    for (const char* text : {"", "skipped", "12x", "over:", "over:ten"})
        EXPECT_EQ(Figure::Kind::Missing, Figure::Parse(text).kind) << text;

    const BenchFigures figures = ParseFigures("1000 drop_ms 5\n"
                                              "not a line\n"
                                              "1000 drop_ms 7\n"
                                              "10000 scan_ms over:600\n");
    ASSERT_EQ(2u, figures.size());
    EXPECT_DOUBLE_EQ(7.0, figures.at(1000).at("drop_ms").value);
    EXPECT_EQ(Figure::Kind::Over, figures.at(10000).at("scan_ms").kind);
}

TEST(BenchReport, RatiosAgainstTheirReferencesAndVerdictsAtTheGoalSize) {
    const std::vector<ReportRow> rows = BuildReport(GoalSizeFigures());
    const ReportRow* drop = FindRow(rows, "100,000", "drop");
    ASSERT_TRUE(drop);
    EXPECT_EQ("20.00 s", drop->measured);
    EXPECT_EQ("scan 10.00 s", drop->reference);
    EXPECT_EQ("2.00x", drop->ratio);
    EXPECT_EQ("missed", drop->verdict); // goal 1.5x

    const ReportRow* commit = FindRow(rows, "100,000", "OK");
    ASSERT_TRUE(commit);
    EXPECT_EQ("0.50x", commit->ratio);
    EXPECT_EQ("met", commit->verdict);

    const ReportRow* startup = FindRow(rows, "100,000", "start-up");
    ASSERT_TRUE(startup);
    EXPECT_EQ("empty store 1.00 s", startup->reference);
    EXPECT_EQ("2.50x", startup->ratio);
    EXPECT_EQ("missed", startup->verdict); // goal 2x
    // Filling the operated tab after the window shows has no goal.
    const ReportRow* filled = FindRow(rows, "100,000", "start-up with the files stored until list");
    ASSERT_TRUE(filled);
    EXPECT_EQ("3.64x", filled->ratio);
    EXPECT_EQ("-", filled->goal);
    EXPECT_EQ("", filled->verdict);

    const ReportRow* answer = FindRow(rows, "100,000", "longest answer");
    ASSERT_TRUE(answer);
    EXPECT_EQ("80 ms", answer->measured);
    EXPECT_EQ("-", answer->ratio);
    EXPECT_EQ("met", answer->verdict);
    EXPECT_EQ("missed", FindRow(rows, "100,000", "removal")->verdict);
    const ReportRow* memory = FindRow(rows, "100,000", "working set");
    EXPECT_EQ("350 MB", memory->measured);
    EXPECT_EQ("<= 400 MB", memory->goal);
    EXPECT_EQ("met", memory->verdict);
}

TEST(BenchReport, AStepOverItsLimitGivesALowerBound) {
    const std::vector<ReportRow> slow =
        BuildReport(ParseFigures("100000 scan_ms 100000\n100000 drop_ms over:600\n"));
    const ReportRow* drop = FindRow(slow, "100,000", "drop");
    EXPECT_EQ("over 600 s", drop->measured);
    EXPECT_EQ("> 6.00x", drop->ratio);
    EXPECT_EQ("missed", drop->verdict);

    // A bound under the goal proves nothing.
    const std::vector<ReportRow> unknown =
        BuildReport(ParseFigures("100000 scan_ms 1000000\n100000 drop_ms over:600\n"));
    const ReportRow* bound = FindRow(unknown, "100,000", "drop");
    EXPECT_EQ("> 0.60x", bound->ratio);
    EXPECT_EQ("", bound->verdict);

    // Without a reference there is no ratio.
    const std::vector<ReportRow> alone = BuildReport(ParseFigures("100000 drop_ms 5000\n"));
    EXPECT_EQ("-", FindRow(alone, "100,000", "drop")->ratio);
    EXPECT_EQ("scan -", FindRow(alone, "100,000", "drop")->reference);
    EXPECT_EQ("", FindRow(alone, "100,000", "drop")->verdict);
}

TEST(BenchReport, GoalsAreJudgedOnlyAtTheGoalSize) {
    const std::vector<ReportRow> rows =
        BuildReport(ParseFigures("10000 scan_ms 1000\n10000 drop_ms 9000\n10000 answer_ms 900\n"));
    EXPECT_EQ("9.00x", FindRow(rows, "10,000", "drop")->ratio);
    EXPECT_EQ("<= 1.5x", FindRow(rows, "10,000", "drop")->goal);
    EXPECT_EQ("", FindRow(rows, "10,000", "drop")->verdict);
    EXPECT_EQ("", FindRow(rows, "10,000", "longest answer")->verdict);
}

TEST(BenchReport, GrowthOfTheDropBetweenSizes) {
    const std::vector<ReportRow> rows =
        BuildReport(ParseFigures("1000 drop_ms 100\n10000 drop_ms 1000\n100000 drop_ms 12500\n"));
    const ReportRow* first = FindRow(rows, "10,000", "growth");
    ASSERT_TRUE(first);
    EXPECT_EQ("growth of the drop from 1,000", first->figure);
    EXPECT_EQ("10.0x", first->measured);
    EXPECT_EQ("-", first->goal);
    EXPECT_EQ("", first->verdict);
    const ReportRow* goal = FindRow(rows, "100,000", "growth");
    ASSERT_TRUE(goal);
    EXPECT_EQ("12.5x", goal->measured);
    EXPECT_EQ("<= 12x", goal->goal);
    EXPECT_EQ("missed", goal->verdict);

    const std::vector<ReportRow> over =
        BuildReport(ParseFigures("10000 drop_ms 20000\n100000 drop_ms over:600\n"));
    EXPECT_EQ("> 30.0x", FindRow(over, "100,000", "growth")->measured);
    EXPECT_EQ("missed", FindRow(over, "100,000", "growth")->verdict);
    // One size alone has no growth row.
    EXPECT_FALSE(FindRow(BuildReport(ParseFigures("1000 drop_ms 5\n")), "1,000", "growth"));
}

TEST(BenchReport, TableColumnsLineUp) {
    const std::string table = FormatReport(BuildReport(GoalSizeFigures()));
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < table.size();) {
        const std::size_t end = table.find('\n', start);
        ASSERT_NE(std::string::npos, end);
        lines.push_back(table.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(1u + 7u, lines.size());
    EXPECT_EQ(0u, lines[0].find("files "));
    // Every value starts where its column title does, after a gap.
    for (const char* title : {"measured", "reference", "ratio", "goal"}) {
        const std::size_t at = lines[0].find(title);
        ASSERT_NE(std::string::npos, at);
        for (const std::string& line : lines) {
            ASSERT_LT(at, line.size()) << line;
            EXPECT_NE(' ', line[at]) << title << ": " << line;
            EXPECT_EQ("  ", line.substr(at - 2, 2)) << title << ": " << line;
        }
    }
    for (const std::string& line : lines)
        EXPECT_NE(' ', line.back()) << line;
}

TEST(BenchReport, CountsAndDurationsAsPrinted) {
    EXPECT_EQ("0", GroupedCount(0));
    EXPECT_EQ("999", GroupedCount(999));
    EXPECT_EQ("1,000", GroupedCount(1000));
    EXPECT_EQ("100,000", GroupedCount(100000));
    EXPECT_EQ("1,234,567", GroupedCount(1234567));
    EXPECT_EQ("-", DurationText(Figure{}));
    EXPECT_EQ("4.5 ms", DurationText(Figure::Parse("4.5")));
    EXPECT_EQ("38 ms", DurationText(Figure::Parse("37.6")));
    EXPECT_EQ("12.34 s", DurationText(Figure::Parse("12340")));
    EXPECT_EQ("250 s", DurationText(Figure::Parse("250000")));
    EXPECT_EQ("over 600 s", DurationText(Figure::Parse("over:600")));
}
