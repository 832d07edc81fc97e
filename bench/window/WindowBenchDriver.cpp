// window_bench_driver: the side of the window benchmark that runs as a
// Windows program beside the program under test (bench/window_bench.sh
// runs it step by step), and the table of the figures collected.
//
//   window_bench_driver launch PROGRAM STORED_ROWS LIMIT_S
//   window_bench_driver drop FILES READY_FILE START_FILE LIMIT_S
//   window_bench_driver commit FILES STORE LIMIT_S
//   window_bench_driver memory
//   window_bench_driver remove STORE LIMIT_S [TABLE ROW]
//   window_bench_driver scroll PAGES LIMIT_S
//   window_bench_driver close LIMIT_S
//   window_bench_driver report FIGURES_FILE

#include <cstdio>
#include <cwchar>
#include <string>

#include "bench/window/BenchReport.h"
#include "bench/window/BenchSteps.h"
#include "bench/window/TextFiles.h"

namespace {

constexpr char kUsage[] = "usage: window_bench_driver launch PROGRAM STORED_ROWS LIMIT_S\n"
                          "       window_bench_driver drop FILES READY_FILE START_FILE LIMIT_S\n"
                          "       window_bench_driver commit FILES STORE LIMIT_S\n"
                          "       window_bench_driver memory\n"
                          "       window_bench_driver remove STORE LIMIT_S [TABLE ROW]\n"
                          "       window_bench_driver scroll PAGES LIMIT_S\n"
                          "       window_bench_driver close LIMIT_S\n"
                          "       window_bench_driver report FIGURES_FILE\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int Count(const wchar_t* text) {
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

double Seconds(const wchar_t* text) {
    return std::wcstod(text, nullptr);
}

// A table name: ASCII.
std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow += static_cast<char>(c < 0x80 ? c : '?');
    return narrow;
}

int Report(const std::wstring& figuresFile) {
    const std::optional<std::string> text = ReadTextFile(figuresFile);
    if (!text) {
        std::fputs("window_bench_driver: cannot read the figures\n", stderr);
        return 2;
    }
    std::fputs(FormatReport(BuildReport(ParseFigures(*text))).c_str(), stdout);
    return 0;
}

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    if (command == L"launch" && argc == 5)
        return LaunchStep(argv[2], Count(argv[3]), Seconds(argv[4]));
    if (command == L"drop" && argc == 6)
        return DropStep(Count(argv[2]), argv[3], argv[4], Seconds(argv[5]));
    if (command == L"commit" && argc == 5)
        return CommitStep(Count(argv[2]), argv[3], Seconds(argv[4]));
    if (command == L"memory" && argc == 2)
        return MemoryStep();
    // By default the first trusted entry: the row below the whitelist's group row.
    if (command == L"remove" && argc == 4)
        return RemoveStep(argv[2], "UserTrusted", 1, Seconds(argv[3]));
    if (command == L"remove" && argc == 6)
        return RemoveStep(argv[2], Narrow(argv[4]), Count(argv[5]), Seconds(argv[3]));
    if (command == L"scroll" && argc == 4)
        return ScrollStep(Count(argv[2]), Seconds(argv[3]));
    if (command == L"close" && argc == 3)
        return CloseStep(Seconds(argv[2]));
    if (command == L"report" && argc == 3)
        return Report(argv[2]);
    return Usage();
}
