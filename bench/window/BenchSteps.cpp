#include "bench/window/BenchSteps.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include "app/WardenElements.h"
#include "bench/BenchTimer.h"
#include "bench/window/AnswerSampler.h"
#include "bench/window/Deadline.h"
#include "bench/window/LayoutPlaces.h"
#include "bench/window/MouseClicks.h"
#include "bench/window/ProgramWindows.h"
#include "bench/window/ScreenPatch.h"
#include "bench/window/StoreWatch.h"
#include "bench/window/TextFiles.h"
#include "bench/window/WallClock.h"
#include "common/Handles.h"
#include "common/ModulePath.h"

namespace {

using namespace WardenElement;

// The program's layouts and the message box's OK (ids of its layout
// documents); the main window's elements are those of app/WardenElements.h.
constexpr int kMainLayout = 101;
constexpr int kBoxLayout = 102;
constexpr int kBoxOk = 102;
constexpr int kGroupRows = 2;
// The restore link is centred in column 2 of each entry row.
constexpr int kLinkColumn = 2;
constexpr int kListRowHeight = 24;
const char kTrustedTable[] = "UserTrusted";

constexpr DWORD kPollMs = 20;
constexpr DWORD kAnswerPeriodMs = 50;
constexpr UINT kAnswerTimeoutMs = 30000;
// The summary is drawn when this many pixels of its place changed by more
// than the tolerance: a line of text changes hundreds.
constexpr int kSummaryTolerance = 48;
constexpr int kSummaryPixels = 24;
// How long the dropper may take to write the drop's instant after the drop.
constexpr double kStartFileWaitSeconds = 30;

void PrintFigure(const char* name, double value) {
    std::printf("%s %.1f\n", name, value);
    std::fflush(stdout);
}

int PrintOver(const char* name, const Deadline& deadline) {
    std::printf("%s over:%.0f\n", name, deadline.LimitSeconds());
    std::fflush(stdout);
    return 1;
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "window_bench_driver: %s\n", what.c_str());
    return 2;
}

struct ProgramWindow {
    HWND main = nullptr;
    HWND view = nullptr;
};

std::optional<ProgramWindow> FindProgram() {
    ProgramWindow program;
    program.main = FindShownWindow(kMainWindowTitle);
    program.view = program.main ? FindDialogView(program.main) : nullptr;
    if (!program.view)
        return std::nullopt;
    return program;
}

std::optional<POINT> ElementCentreOnScreen(HWND view, LayoutPlaces& places, int id) {
    const std::optional<RECT> rect = places.ElementRect(id);
    if (!rect)
        return std::nullopt;
    return ClientToScreenPoint(view, CentreOf(*rect));
}

bool ClickElement(HWND view, LayoutPlaces& places, int id) {
    const std::optional<POINT> centre = ElementCentreOnScreen(view, places, id);
    return centre && ClickAtScreen(*centre);
}

// Looks at the store until `seen` holds; the timer's reading when the look
// that saw it began (the engine reads the file as it was when the statement
// started), nothing at the deadline. Not for a list: a count sent to a
// busy window is answered only once the window is done, so what it shows
// may have happened long after the look began.
template <class Seen>
std::optional<double> FirstStoreLookThat(const Deadline& deadline, const BenchTimer& timer,
                                         Seen seen) {
    double began = 0;
    if (!WaitFor(deadline, 1, [&] {
            began = timer.Seconds();
            return seen();
        }))
        return std::nullopt;
    return began;
}

bool Ended(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

std::optional<double> WaitForDropStart(const std::wstring& startFile) {
    const Deadline deadline(kStartFileWaitSeconds);
    std::optional<double> start;
    WaitFor(deadline, kPollMs, [&] { return (start = ReadNumberFile(startFile)).has_value(); });
    return start;
}

// The centre of a cell of a list of another process, in the list's client
// coordinates, from messages that carry no pointer: the header's height,
// the column widths and the list's fixed row height (the list at its top).
POINT CellCentre(HWND list, int row, int column) {
    RECT header = {};
    if (HWND control = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)))
        GetWindowRect(control, &header);
    int left = 0;
    for (int before = 0; before < column; ++before)
        left += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, before, 0));
    const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    return POINT{left + width / 2,
                 (header.bottom - header.top) + row * kListRowHeight + kListRowHeight / 2};
}

bool OpenOperatedTab(HWND view, HWND list, const Deadline& deadline) {
    if (IsWindowVisible(list))
        return true;
    LayoutPlaces places(kMainLayout);
    const std::optional<RECT> header = places.TabHeaderRect(kTabControl, kOperatedTab);
    if (!header || !ClickAtScreen(ClientToScreenPoint(view, CentreOf(*header))))
        return false;
    return WaitFor(deadline, kPollMs, [&] { return IsWindowVisible(list) != FALSE; });
}

} // namespace

int LaunchStep(const std::wstring& program, int storedRows, double limitSeconds) {
    const Deadline deadline(limitSeconds);
    const BenchTimer timer;
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::wstring folder = FolderOfPath(program);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &created))
        return Fail("cannot start the program");
    const UniqueHandle process(created.hProcess);
    const UniqueHandle thread(created.hThread);
    HWND main = nullptr;
    if (!WaitFor(deadline, 5, [&] {
            main = FindShownWindow(kMainWindowTitle, created.dwProcessId);
            return main || Ended(process.Get());
        }))
        return PrintOver("startup_ms", deadline);
    if (!main)
        return Fail("the program ended during its start");
    PrintFigure("window_ms", timer.Seconds() * 1000.0);
    const HWND list = FindDescendant(main, kOperatedList, WC_LISTVIEWW);
    if (!list)
        return Fail("the main window has no list 403");
    if (!WaitFor(deadline, 5, [&] {
            return ListRowCount(list, deadline.RemainingMs()) >= storedRows + kGroupRows;
        }))
        return PrintOver("startup_ms", deadline);
    PrintFigure("startup_ms", timer.Seconds() * 1000.0);
    return 0;
}

int DropStep(int files, const std::wstring& readyFile, const std::wstring& startFile,
             double limitSeconds) {
    const std::optional<ProgramWindow> program = FindProgram();
    if (!program)
        return Fail("no main window");
    const HWND list = FindDescendant(program->main, kWhitelistList, WC_LISTVIEWW);
    LayoutPlaces places(kMainLayout);
    const std::optional<RECT> summary = places.ElementRect(kWhitelistSummary);
    if (!list || !summary)
        return Fail("no list 401 or summary 501");
    const RECT summaryOnScreen = ClientToScreenRect(program->view, *summary);
    const std::optional<ScreenPatch> before = ScreenPatch::Read(summaryOnScreen);
    if (!before)
        return Fail("cannot read the screen");
    RECT listOnScreen = {};
    GetWindowRect(list, &listOnScreen);
    const POINT dropAt = CentreOf(listOnScreen);

    AnswerSampler sampler(program->main, kAnswerPeriodMs, kAnswerTimeoutMs);
    const Deadline deadline(limitSeconds);
    if (!WriteTextFile(readyFile, std::to_string(dropAt.x) + " " + std::to_string(dropAt.y)))
        return Fail("cannot write the ready file");
    const auto summaryChange = [&] {
        const std::optional<ScreenPatch> now = ScreenPatch::Read(summaryOnScreen);
        return now ? CountChangedPixels(*before, *now, kSummaryTolerance) : 0;
    };
    int rows = 0;
    const bool done = WaitFor(deadline, kPollMs, [&] {
        rows = ListRowCount(list, deadline.RemainingMs());
        return rows >= files && summaryChange() >= kSummaryPixels;
    });
    const double end = EpochSeconds();
    const std::vector<AnswerSample> samples = sampler.Stop();
    const std::optional<double> start = WaitForDropStart(startFile);
    if (!start)
        return Fail("the drop's start time was not written");
    const AnswerSummary answers = SummariseAnswers(samples, *start);
    int result = 0;
    if (done) {
        PrintFigure("drop_ms", (end - *start) * 1000.0);
    } else {
        std::fprintf(stderr,
                     "window_bench_driver: at the limit list 401 held %d of %d rows; %d pixels "
                     "of the summary's place had changed (%d mean it shows)\n",
                     rows, files, summaryChange(), kSummaryPixels);
        result = PrintOver("drop_ms", deadline);
    }
    PrintFigure("answer_ms", answers.longestMs);
    PrintFigure("answer_samples", answers.samples);
    PrintFigure("answer_unanswered", answers.unanswered);
    return result;
}

int CommitStep(int files, const std::wstring& store, double limitSeconds) {
    const std::optional<ProgramWindow> program = FindProgram();
    if (!program)
        return Fail("no main window");
    const HWND list = FindDescendant(program->main, kOperatedList, WC_LISTVIEWW);
    if (!list)
        return Fail("no list 403");
    StoreWatch trusted(store, kTrustedTable);
    LayoutPlaces places(kMainLayout);
    if (!ClickElement(program->view, places, kWhitelistOk))
        return Fail("cannot click OK (106)");
    const BenchTimer timer;
    const Deadline deadline(limitSeconds);
    int rows = 0;
    long long stored = 0;
    const bool listed = WaitFor(deadline, kPollMs, [&] {
        rows = ListRowCount(list, deadline.RemainingMs());
        return rows >= files + kGroupRows;
    });
    const double listedAt = timer.Seconds();
    const std::optional<double> storedAt =
        listed ? FirstStoreLookThat(deadline, timer,
                                    [&] { return (stored = trusted.Rows()) >= files; })
               : std::nullopt;
    if (!storedAt) {
        std::fprintf(stderr,
                     "window_bench_driver: at the limit list 403 held %d rows, the store %lld\n",
                     rows, stored);
        return PrintOver("commit_ms", deadline);
    }
    PrintFigure("commit_ms", std::max(listedAt, *storedAt) * 1000.0);
    return 0;
}

int MemoryStep() {
    const std::optional<ProgramWindow> program = FindProgram();
    if (!program)
        return Fail("no main window");
    const UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ProcessOf(program->main)));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!process || !GetProcessMemoryInfo(process.Get(), &counters, sizeof counters))
        return Fail("cannot read the program's memory counters");
    constexpr double kMiB = 1024.0 * 1024.0;
    PrintFigure("working_set_mb", static_cast<double>(counters.WorkingSetSize) / kMiB);
    PrintFigure("peak_working_set_mb", static_cast<double>(counters.PeakWorkingSetSize) / kMiB);
    return 0;
}

int RemoveStep(const std::wstring& store, const std::string& table, int row, double limitSeconds) {
    const Deadline deadline(limitSeconds);
    const std::optional<ProgramWindow> program = FindProgram();
    if (!program)
        return Fail("no main window");
    const HWND list = FindDescendant(program->main, kOperatedList, WC_LISTVIEWW);
    if (!list)
        return Fail("no list 403");
    if (!OpenOperatedTab(program->view, list, deadline))
        return Fail("the operated tab did not open");
    StoreWatch entries(store, table);
    const int rows = ListRowCount(list, deadline.RemainingMs());
    const long long stored = entries.Rows();
    if (rows <= kGroupRows || stored < 1)
        return Fail("nothing to remove");
    // Clicked as a user clicks it: the list sends the row's key with it.
    if (!ClickAtScreen(ClientToScreenPoint(list, CellCentre(list, row, kLinkColumn))))
        return Fail("cannot click the entry's restore link");
    HWND box = nullptr;
    if (!WaitFor(deadline, kPollMs, [&] {
            return (box = FindShownWindow(kMessageBoxTitle, ProcessOf(program->main))) != nullptr;
        }))
        return Fail("no confirmation box");
    LayoutPlaces boxPlaces(kBoxLayout);
    if (!ClickElement(FindDialogView(box), boxPlaces, kBoxOk))
        return Fail("cannot click the box's OK (102)");
    const BenchTimer timer;
    if (!WaitFor(deadline, 1, [&] { return ListRowCount(list, deadline.RemainingMs()) < rows; }))
        return PrintOver("remove_ms", deadline);
    const double unlisted = timer.Seconds();
    const std::optional<double> unstored =
        FirstStoreLookThat(deadline, timer, [&] { return entries.Rows() < stored; });
    if (!unstored)
        return PrintOver("remove_ms", deadline);
    PrintFigure("remove_ms", std::max(unlisted, *unstored) * 1000.0);
    PrintFigure("remove_unlisted_ms", unlisted * 1000.0);
    return 0;
}

int ScrollStep(int pages, double limitSeconds) {
    const Deadline deadline(limitSeconds);
    const std::optional<ProgramWindow> program = FindProgram();
    if (!program)
        return Fail("no main window");
    const HWND list = FindDescendant(program->main, kOperatedList, WC_LISTVIEWW);
    if (!list)
        return Fail("no list 403");
    if (!OpenOperatedTab(program->view, list, deadline))
        return Fail("the operated tab did not open");
    // The tab's first paint is not a page's.
    SendMessageTimeoutW(list, WM_PAINT, 0, 0, SMTO_NORMAL, deadline.RemainingMs(), nullptr);
    double longest = 0;
    double total = 0;
    double keys = 0;
    for (int page = 0; page < pages; ++page) {
        // The key as the list takes it, then the paint of what it made
        // invalid, sent: both run on the window's thread before the send
        // returns, so the time is that of one page down drawn.
        const BenchTimer timer;
        if (!SendMessageTimeoutW(list, WM_KEYDOWN, VK_NEXT, 0, SMTO_NORMAL, deadline.RemainingMs(),
                                 nullptr))
            return PrintOver("scroll_max_ms", deadline);
        const double keyMs = timer.Seconds() * 1000.0;
        if (!SendMessageTimeoutW(list, WM_PAINT, 0, 0, SMTO_NORMAL, deadline.RemainingMs(),
                                 nullptr))
            return PrintOver("scroll_max_ms", deadline);
        const double ms = timer.Seconds() * 1000.0;
        longest = std::max(longest, ms);
        total += ms;
        keys += keyMs;
    }
    PrintFigure("scroll_max_ms", longest);
    PrintFigure("scroll_mean_ms", pages > 0 ? total / pages : 0);
    PrintFigure("scroll_key_mean_ms", pages > 0 ? keys / pages : 0);
    PrintFigure("scroll_top_row", static_cast<double>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)));
    return 0;
}

int CloseStep(double limitSeconds) {
    const std::optional<ProgramWindow> program = FindProgram();
    if (!program)
        return Fail("no main window");
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(program->main)));
    if (!process)
        return Fail("cannot open the program's process");
    LayoutPlaces places(kMainLayout);
    if (!ClickElement(program->view, places, kCloseButton))
        return Fail("cannot click the close button (102)");
    const BenchTimer timer;
    const Deadline deadline(limitSeconds);
    if (WaitForSingleObject(process.Get(), deadline.RemainingMs()) != WAIT_OBJECT_0)
        return PrintOver("close_ms", deadline);
    PrintFigure("close_ms", timer.Seconds() * 1000.0);
    return 0;
}
