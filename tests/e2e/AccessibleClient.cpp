// A screen reader's view of the running program, from another process: the
// main window's accessible tree walked and checked (every shown element's
// role, name and states), elements worked by their default actions, and
// the WinEvents a reader hears. Each step waits for what it expects by
// reading the tree again (at most a bounded time) and prints what it found;
// a mismatch ends it with exit code 1 and a message naming the element.
//   accessible_client start                      the whitelist page, empty
//   accessible_client drop DRIVER TOTAL REFUSED ROW... -- PATH...
//                                                drop_driver's drop of PATHs: the summary's events,
//                                                the rows (named "file, md5"), checked
//   accessible_client where ROW                  "X Y": a screen point in the row's first cell
//   accessible_client hover-tip TEXT             the tip a cell hovered meanwhile shows, saying
//   TEXT accessible_client format-tip                 the summary's link shows and hides the
//   PE-format bubble accessible_client tabs                       to the blacklist page and back
//   accessible_client select-all                 the select-all box off and on, the rows following
//   accessible_client commit                     OK: every checked row committed
//   accessible_client remove FILE                the operated entry's restore link, its question
//                                                box read and answered OK: the entry goes

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include <oleacc.h>

#include "common/ComApartment.h"
#include "common/TextConvert.h"
#include "tests/e2e/ReaderEvents.h"
#include "tests/e2e/ReaderTree.h"

namespace {

// The program as its user and a reader know it.
constexpr wchar_t kMainWindowText[] = L"vmruserwarden";
constexpr wchar_t kTitle[] = L"文件黑白名单管理工具";
const wchar_t* const kTabs[] = {L"文件加白", L"文件加黑", L"已操作文件"};
const wchar_t* const kLists[] = {L"文件加白列表", L"文件加黑列表", L"已操作文件列表"};
constexpr wchar_t kTrustedGroup[] = L"已加白文件";
constexpr wchar_t kClose[] = L"关闭";
constexpr wchar_t kSelectAll[] = L"全选";
constexpr wchar_t kAdd[] = L"添 加";
constexpr wchar_t kOk[] = L"确 定";
constexpr wchar_t kFormatLink[] = L"格式";
constexpr wchar_t kDeleteLink[] = L"删除";
constexpr wchar_t kRestoreLink[] = L"恢复";
constexpr wchar_t kCommitted[] = L"处理成功";
constexpr wchar_t kSummaryStart[] = L"本次共添加 ";
constexpr wchar_t kFormatTip[] = L"(如exe,dll,vdx,sys和vdm等)的标准文件格式";
constexpr wchar_t kBoxTitle[] = L"消息对话框";
constexpr wchar_t kBoxOk[] = L"确定";
constexpr wchar_t kBoxCancel[] = L"取消";
constexpr wchar_t kRemoveTrustedQuestion[] =
    L"删除已加白的文件，终端将不再信任此文件(至多5分钟后生效),且根据文件特征如实报出文件是否有"
    L"毒,确认要删除吗?";

constexpr double kStepSeconds = 30;

void Say(const std::wstring& text) {
    const std::string bytes = WideToUtf8(text + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// An element a page must show: its role and name, states it must have and
// states it must not.
struct Want {
    long role;
    std::wstring name;
    long has = 0;
    long lacks = 0;
};

std::wstring Named(long role, const std::wstring& name) {
    ReaderFacts facts;
    facts.role = role;
    facts.name = name;
    return facts.Line();
}

// What differs between the shown elements below the root and `wants`
// (each shown element matched once, by role and name, in any order);
// empty when nothing does.
std::wstring ShownMismatch(const std::vector<ReaderEntry>& walk, std::vector<Want> wants) {
    std::wstring problems;
    for (std::size_t i = 1; i < walk.size(); ++i) {
        const ReaderFacts& seen = walk[i].facts;
        if (!walk[i].shown)
            continue;
        auto want = wants.begin();
        while (want != wants.end() && (want->role != seen.role || want->name != seen.name))
            ++want;
        if (want == wants.end()) {
            problems += L"  shown, not expected: " + seen.Line() + L"\n";
            continue;
        }
        if (!seen.Has(want->has) || (seen.state & want->lacks))
            problems += L"  wrong states: " + seen.Line() + L" (must have [" +
                        StatesText(want->has) + L"], must lack [" + StatesText(want->lacks) +
                        L"])\n";
        wants.erase(want);
    }
    for (const Want& missing : wants)
        problems += L"  expected, not shown: " + Named(missing.role, missing.name) + L"\n";
    return problems.empty() ? problems : L"\n" + problems + L"the tree:\n" + Describe(walk);
}

long If(bool condition, long states) {
    return condition ? states : 0;
}

// The title, the close button and the tabs, `tab` selected.
std::vector<Want> HeaderWants(int tab) {
    std::vector<Want> wants = {{ROLE_SYSTEM_STATICTEXT, kTitle},
                               {ROLE_SYSTEM_PUSHBUTTON, kClose, STATE_SYSTEM_FOCUSABLE},
                               {ROLE_SYSTEM_PAGETABLIST, L"", STATE_SYSTEM_FOCUSABLE}};
    for (int i = 0; i < 3; ++i)
        wants.push_back({ROLE_SYSTEM_PAGETAB, kTabs[i],
                         STATE_SYSTEM_SELECTABLE | If(i == tab, STATE_SYSTEM_SELECTED),
                         If(i != tab, STATE_SYSTEM_SELECTED)});
    return wants;
}

// A pending page as the reader should find it.
struct PendingPage {
    int tab = 0;
    std::vector<std::wstring> rows; // "file, md5"
    bool checked = true;            // the rows' boxes
    bool committed = false;         // the rows done: no box, no link
    std::wstring summary;           // empty while none is shown
};

std::vector<Want> PendingWants(const PendingPage& page) {
    std::vector<Want> wants = HeaderWants(page.tab);
    // The select-all box acts on the rows not yet committed.
    const bool boxes = !page.rows.empty() && !page.committed;
    const bool checked = boxes && page.checked;
    wants.push_back({ROLE_SYSTEM_CHECKBUTTON, kSelectAll,
                     If(checked, STATE_SYSTEM_CHECKED) | If(!boxes, STATE_SYSTEM_UNAVAILABLE),
                     If(!checked, STATE_SYSTEM_CHECKED) | If(boxes, STATE_SYSTEM_UNAVAILABLE)});
    wants.push_back(
        {ROLE_SYSTEM_PUSHBUTTON, kAdd, STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_UNAVAILABLE});
    // OK is there once rows came (committed ones pressed again do nothing).
    const bool rows = !page.rows.empty();
    wants.push_back({ROLE_SYSTEM_PUSHBUTTON, kOk, If(!rows, STATE_SYSTEM_UNAVAILABLE),
                     If(rows, STATE_SYSTEM_UNAVAILABLE)});
    if (page.committed) // the operated tab's badge: how many entries are new there
        wants.push_back({ROLE_SYSTEM_STATICTEXT, std::to_wstring(page.rows.size())});
    if (!page.summary.empty()) {
        wants.push_back({ROLE_SYSTEM_STATICTEXT, page.summary});
        wants.push_back({ROLE_SYSTEM_LINK, kFormatLink, STATE_SYSTEM_LINKED});
    }
    wants.push_back({ROLE_SYSTEM_LIST, kLists[page.tab], STATE_SYSTEM_FOCUSABLE});
    for (const std::wstring& row : page.rows) {
        if (page.committed) {
            wants.push_back(
                {ROLE_SYSTEM_LISTITEM, row + L", " + kCommitted, 0, STATE_SYSTEM_CHECKED});
            continue;
        }
        wants.push_back({ROLE_SYSTEM_LISTITEM, row, If(page.checked, STATE_SYSTEM_CHECKED),
                         If(!page.checked, STATE_SYSTEM_CHECKED)});
        wants.push_back({ROLE_SYSTEM_LINK, kDeleteLink, STATE_SYSTEM_LINKED});
    }
    return wants;
}

HWND MainWindow() {
    HWND window = FindWindowW(nullptr, kMainWindowText);
    if (!window)
        throw ReaderFailure(std::wstring(L"no window \"") + kMainWindowText + L"\"");
    return window;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The main window's tree; its root must be the client object named by the
// layout's title.
std::vector<ReaderEntry> WalkMain() {
    std::vector<ReaderEntry> walk = WalkWindow(MainWindow());
    const ReaderFacts& root = walk.front().facts;
    if (root.role != ROLE_SYSTEM_CLIENT || root.name != kTitle)
        throw ReaderFailure(L"the main window's root is " + root.Line() + L", not " +
                            Named(ROLE_SYSTEM_CLIENT, kTitle));
    return walk;
}

// Waits until the main window shows what `wants` says, and prints it.
void AwaitMain(const std::wstring& what, const std::function<std::vector<Want>()>& wants) {
    std::vector<ReaderEntry> walk;
    WaitUntil(what, kStepSeconds, [&] {
        walk = WalkMain();
        return ShownMismatch(walk, wants());
    });
    Say(what + L":\n" + Describe(walk));
}

// The shown entries of a role and name whose name starts with `prefix`.
const ReaderEntry* FindShownPrefixed(const std::vector<ReaderEntry>& walk, long role,
                                     const std::wstring& prefix) {
    for (const ReaderEntry& entry : walk) {
        if (entry.shown && entry.facts.role == role && entry.facts.name.rfind(prefix, 0) == 0)
            return &entry;
    }
    return nullptr;
}

// The shown top-level windows of the main window's process besides it.
struct WindowSearch {
    DWORD process;
    HWND main;
    std::vector<HWND> windows;
};

BOOL CALLBACK NoteOtherShownWindow(HWND window, LPARAM context) {
    auto& found = *reinterpret_cast<WindowSearch*>(context);
    if (window != found.main && IsWindowVisible(window) && ProcessOf(window) == found.process)
        found.windows.push_back(window);
    return TRUE;
}

// The one visible top-level window of the program's process, other than
// the main window, whose tree shows a static text `text`; null for none.
HWND ShownWindowSaying(const std::wstring& text) {
    WindowSearch search{ProcessOf(MainWindow()), MainWindow(), {}};
    EnumWindows(&NoteOtherShownWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.windows) {
        if (!FindShown(WalkWindow(window), ROLE_SYSTEM_STATICTEXT, text).empty())
            return window;
    }
    return nullptr;
}

// Waits for a window of the program saying `text` (a static text and
// nothing else shown) and prints its tree.
HWND AwaitTextWindow(const std::wstring& what, const std::wstring& text) {
    HWND window = nullptr;
    WaitUntil(what, kStepSeconds, [&] {
        window = ShownWindowSaying(text);
        return window ? L"" : L"no shown window says \"" + text + L"\"";
    });
    const std::vector<ReaderEntry> walk = WalkWindow(window);
    const std::wstring mismatch = ShownMismatch(walk, {{ROLE_SYSTEM_STATICTEXT, text}});
    if (!mismatch.empty())
        throw ReaderFailure(what + L": " + mismatch);
    Say(what + L":\n" + Describe(walk));
    return window;
}

// The shown list items of the list named `list` with a box (a default
// action), the walk's entries.
std::vector<const ReaderEntry*> BoxedRows(const std::vector<ReaderEntry>& walk,
                                          const std::wstring& list) {
    std::vector<const ReaderEntry*> rows;
    for (const ReaderEntry* row : ChildrenOf(walk, TheShown(walk, ROLE_SYSTEM_LIST, list))) {
        if (row->facts.role == ROLE_SYSTEM_LISTITEM && !row->facts.defaultAction.empty())
            rows.push_back(row);
    }
    return rows;
}

// The whitelist page's pending rows, by name, as they are now.
std::vector<std::wstring> PendingRowNames(const std::vector<ReaderEntry>& walk) {
    std::vector<std::wstring> names;
    for (const ReaderEntry* row : BoxedRows(walk, kLists[0]))
        names.push_back(row->facts.name);
    if (names.empty())
        throw ReaderFailure(std::wstring(L"no pending rows in ") + kLists[0] + L":\n" +
                            Describe(walk));
    return names;
}

std::wstring EventName(DWORD event) {
    switch (event) {
    case EVENT_OBJECT_NAMECHANGE:
        return L"a name change";
    case EVENT_OBJECT_LIVEREGIONCHANGED:
        return L"a live region change";
    case EVENT_OBJECT_STATECHANGE:
        return L"a state change";
    case EVENT_SYSTEM_ALERT:
        return L"an alert";
    default:
        return L"event " + std::to_wstring(event);
    }
}

// Nothing when the log heard `event` from a shown element of this role and
// name; what it heard otherwise.
std::wstring HeardFrom(const ProcessEvents& log, DWORD event, long role, const std::wstring& name) {
    std::wstring heard;
    for (const testsupport::HeardEvent& got : log.Of(event)) {
        const ReaderFacts source = ReadEventSource(got);
        if (source.role == role && source.name == name && !source.Has(STATE_SYSTEM_INVISIBLE))
            return L"";
        heard += L"\n  from " + source.Line();
    }
    return EventName(event) + L" from " + Named(role, name) + L" not heard" +
           (heard.empty() ? L"" : L"; heard it" + heard);
}

void SayHeard(const ProcessEvents& log, DWORD event) {
    for (const testsupport::HeardEvent& got : log.Of(event))
        Say(L"  heard " + EventName(event) + L" from " + ReadEventSource(got).Line());
}

// The summary's text as the page shows it, empty while it shows none.
std::wstring ShownSummary(const std::vector<ReaderEntry>& walk) {
    const ReaderEntry* summary = FindShownPrefixed(walk, ROLE_SYSTEM_STATICTEXT, kSummaryStart);
    return summary ? summary->facts.name : std::wstring();
}

// Steps.

void Start() {
    AwaitMain(L"the whitelist page at the start", [] { return PendingWants(PendingPage{}); });
    // Each tab's list is a window of its own in the main window, reached
    // through the platform's window object, hidden with its tab.
    HWND main = MainWindow();
    const std::vector<ReaderEntry> walk = WalkMain();
    for (const wchar_t* name : kLists) {
        const ReaderEntry* list = nullptr;
        for (const ReaderEntry& entry : walk) {
            if (entry.facts.role == ROLE_SYSTEM_LIST && entry.facts.name == name)
                list = &entry;
        }
        if (!list || !list->window || !IsChild(main, list->window))
            throw ReaderFailure(Named(ROLE_SYSTEM_LIST, name) +
                                L" is not a window of the main window:\n" + Describe(walk));
    }
}

std::wstring Quoted(const std::wstring& argument) {
    return L"\"" + argument + L"\"";
}

void Drop(const std::vector<std::wstring>& args) {
    // DRIVER TOTAL REFUSED ROW... -- PATH...
    std::size_t split = 3;
    while (split < args.size() && args[split] != L"--")
        ++split;
    if (args.size() < 3 || split + 1 >= args.size())
        throw ReaderFailure(L"drop DRIVER TOTAL REFUSED ROW... -- PATH...");
    PendingPage page;
    page.rows.assign(args.begin() + 3, args.begin() + static_cast<std::ptrdiff_t>(split));
    page.summary = kSummaryStart + args[1] + L" 个文件，其中 " + args[2] + L" 个文件不符合添加格式";
    std::wstring command = Quoted(args[0]) + L" " + kMainWindowText;
    for (std::size_t i = split + 1; i < args.size(); ++i)
        command += L" " + Quoted(args[i]);

    ProcessEvents log(ProcessOf(MainWindow()));
    const DWORD code = RunProgram(command, kStepSeconds);
    if (code != 0)
        throw ReaderFailure(L"drop_driver ended with " + std::to_wstring(code));
    AwaitMain(L"the whitelist page after the drop", [&page] { return PendingWants(page); });
    // A reader speaks the summary: its name changed, and it is a live region.
    for (const DWORD event : {EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED})
        WaitUntil(L"the summary's event " + std::to_wstring(event), kStepSeconds,
                  [&] { return HeardFrom(log, event, ROLE_SYSTEM_STATICTEXT, page.summary); });
    SayHeard(log, EVENT_OBJECT_NAMECHANGE);
    SayHeard(log, EVENT_OBJECT_LIVEREGIONCHANGED);
}

void Where(const std::wstring& row) {
    const std::vector<ReaderEntry> walk = WalkMain();
    const ReaderEntry* found = FindShownPrefixed(walk, ROLE_SYSTEM_LISTITEM, row);
    if (!found)
        throw ReaderFailure(L"no shown row " + Quoted(row) + L":\n" + Describe(walk));
    const RECT& place = found->facts.place;
    Say(std::to_wstring(place.left + 24) + L" " + std::to_wstring((place.top + place.bottom) / 2));
}

void HoverTip(const std::wstring& text) {
    // The caller moves the pointer once this line is out: the tip shows for
    // five seconds, and the wait is running by then.
    Say(L"waiting for the tip");
    AwaitTextWindow(L"the tip of the hovered cell", text);
}

void FormatTip() {
    const auto link = [] { return TheShown(WalkMain(), ROLE_SYSTEM_LINK, kFormatLink).element; };
    link().DoDefaultAction();
    HWND bubble = AwaitTextWindow(L"the PE-format bubble after the summary's link", kFormatTip);
    link().DoDefaultAction();
    WaitUntil(L"the PE-format bubble hidden by the link again", kStepSeconds,
              [bubble] { return IsWindowVisible(bubble) ? L"still shown" : L""; });
    Say(L"the PE-format bubble hidden again");
}

// The shown elements' lines, the focus and pointer states left out.
std::vector<std::wstring> ShownLines(const std::vector<ReaderEntry>& walk) {
    std::vector<std::wstring> lines;
    for (const ReaderEntry& entry : walk) {
        ReaderFacts facts = entry.facts;
        facts.state &= ~(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED);
        if (entry.shown)
            lines.push_back(facts.Line());
    }
    return lines;
}

void SwitchTab(int tab) {
    TheShown(WalkMain(), ROLE_SYSTEM_PAGETAB, kTabs[tab]).element.DoDefaultAction();
}

void Tabs() {
    const std::vector<std::wstring> before = ShownLines(WalkMain());
    SwitchTab(1);
    AwaitMain(L"the blacklist page after its tab's default action", [] {
        PendingPage page;
        page.tab = 1;
        return PendingWants(page);
    });
    SwitchTab(0);
    std::vector<ReaderEntry> walk;
    WaitUntil(L"the whitelist page as it was, after its tab's default action", kStepSeconds, [&] {
        walk = WalkMain();
        return ShownLines(walk) == before ? L"" : L"it differs:\n" + Describe(walk);
    });
    Say(L"the whitelist page as before");
}

// The select-all box's default action: every row's box follows it, OK is
// available while rows are checked, and the reader hears the box's change.
void ClickSelectAll(PendingPage page, bool checked) {
    ProcessEvents log(ProcessOf(MainWindow()));
    TheShown(WalkMain(), ROLE_SYSTEM_CHECKBUTTON, kSelectAll).element.DoDefaultAction();
    page.checked = checked;
    std::vector<ReaderEntry> walk;
    WaitUntil(checked ? L"every row checked with the select-all box"
                      : L"every row unchecked with the select-all box",
              kStepSeconds, [&] {
                  walk = WalkMain();
                  return ShownMismatch(walk, PendingWants(page));
              });
    WaitUntil(L"the select-all box's state change", kStepSeconds, [&] {
        return HeardFrom(log, EVENT_OBJECT_STATECHANGE, ROLE_SYSTEM_CHECKBUTTON, kSelectAll);
    });
    Say(L"the select-all box now " +
        TheShown(walk, ROLE_SYSTEM_CHECKBUTTON, kSelectAll).facts.Line() + L"; the rows:");
    for (const ReaderEntry* row : BoxedRows(walk, kLists[0]))
        Say(L"  " + row->facts.Line());
}

// The whitelist page with its pending rows, all checked, and the summary
// it shows now; a failure when it shows anything else.
PendingPage CheckedPendingPage() {
    const std::vector<ReaderEntry> walk = WalkMain();
    PendingPage page;
    page.rows = PendingRowNames(walk);
    page.summary = ShownSummary(walk);
    const std::wstring mismatch = ShownMismatch(walk, PendingWants(page));
    if (!mismatch.empty())
        throw ReaderFailure(L"the whitelist page with its rows checked: " + mismatch);
    return page;
}

void SelectAll() {
    const PendingPage page = CheckedPendingPage();
    ClickSelectAll(page, false);
    ClickSelectAll(page, true);
}

void Commit() {
    PendingPage page = CheckedPendingPage();
    TheShown(WalkMain(), ROLE_SYSTEM_PUSHBUTTON, kOk).element.DoDefaultAction();
    page.committed = true;
    AwaitMain(L"the whitelist page after OK", [&page] { return PendingWants(page); });
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Waits for the operated page showing the entry of `file`, and prints it.
std::vector<ReaderEntry> AwaitOperatedEntry(const std::wstring& file) {
    std::vector<ReaderEntry> walk;
    WaitUntil(L"the operated page with the entry of " + file, kStepSeconds, [&] {
        walk = WalkMain();
        const bool shown =
            TheShown(walk, ROLE_SYSTEM_PAGETAB, kTabs[2]).facts.Has(STATE_SYSTEM_SELECTED);
        return shown && FindShownPrefixed(walk, ROLE_SYSTEM_LISTITEM, file + L", ")
                   ? L""
                   : L"no shown entry of " + file + L":\n" + Describe(walk);
    });
    Say(L"the operated page:\n" + Describe(walk));
    return walk;
}

// The restore link of the entry of `file`, which names its group.
const ReaderEntry& RestoreLinkOf(const std::vector<ReaderEntry>& walk, const std::wstring& file) {
    const ReaderEntry& entry = *FindShownPrefixed(walk, ROLE_SYSTEM_LISTITEM, file + L", ");
    if (!EndsWith(entry.facts.name, std::wstring(L", ") + kTrustedGroup))
        throw ReaderFailure(entry.facts.Line() + L" is not named by its group " + kTrustedGroup);
    const std::vector<const ReaderEntry*> links = ChildrenOf(walk, entry);
    if (links.size() != 1 || links[0]->facts.role != ROLE_SYSTEM_LINK ||
        links[0]->facts.name != kRestoreLink)
        throw ReaderFailure(entry.facts.Line() + L" has not its one link " + kRestoreLink);
    return *links[0];
}

// Waits for a box of the program to alert a reader with `message`; the box.
HWND AwaitAlertingBox(const ProcessEvents& log, const std::wstring& message) {
    HWND box = nullptr;
    WaitUntil(L"the box's alert", kStepSeconds, [&] {
        for (const testsupport::HeardEvent& alert : log.Of(EVENT_SYSTEM_ALERT)) {
            if (GetAncestor(alert.window, GA_ROOT) != MainWindow())
                box = GetAncestor(alert.window, GA_ROOT);
        }
        return box ? HeardFrom(log, EVENT_SYSTEM_ALERT, ROLE_SYSTEM_STATICTEXT, message)
                   : L"no alert from a box";
    });
    SayHeard(log, EVENT_SYSTEM_ALERT);
    return box;
}

// The removal question's tree: its title, message and buttons, OK focused.
std::vector<ReaderEntry> CheckQuestionBox(HWND box, const std::wstring& message) {
    std::vector<ReaderEntry> walk = WalkWindow(box);
    const ReaderFacts& root = walk.front().facts;
    if (root.role != ROLE_SYSTEM_DIALOG || root.name != kBoxTitle)
        throw ReaderFailure(L"the box's root is " + root.Line() + L", not " +
                            Named(ROLE_SYSTEM_DIALOG, kBoxTitle));
    const std::wstring mismatch = ShownMismatch(
        walk, {{ROLE_SYSTEM_STATICTEXT, kTitle},
               {ROLE_SYSTEM_PUSHBUTTON, kClose, STATE_SYSTEM_FOCUSABLE},
               {ROLE_SYSTEM_STATICTEXT, message},
               {ROLE_SYSTEM_PUSHBUTTON, kBoxOk, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED},
               {ROLE_SYSTEM_PUSHBUTTON, kBoxCancel, STATE_SYSTEM_FOCUSABLE}});
    if (!mismatch.empty())
        throw ReaderFailure(L"the question box: " + mismatch);
    Say(L"the question box:\n" + Describe(walk));
    return walk;
}

void Remove(const std::wstring& file) {
    SwitchTab(2);
    const std::vector<ReaderEntry> page = AwaitOperatedEntry(file);
    ProcessEvents log(ProcessOf(MainWindow()));
    RestoreLinkOf(page, file).element.DoDefaultAction();
    const std::wstring message = L"“" + file + L"”\n" + kRemoveTrustedQuestion;
    HWND box = AwaitAlertingBox(log, message);
    TheShown(CheckQuestionBox(box, message), ROLE_SYSTEM_PUSHBUTTON, kBoxOk)
        .element.DoDefaultAction();
    std::vector<ReaderEntry> walk;
    WaitUntil(L"the box closed and the entry gone", kStepSeconds, [&] {
        if (IsWindow(box) && IsWindowVisible(box))
            return std::wstring(L"the box is still shown");
        walk = WalkMain();
        return FindShownPrefixed(walk, ROLE_SYSTEM_LISTITEM, file + L", ")
                   ? L"the entry is still listed:\n" + Describe(walk)
                   : L"";
    });
    Say(L"the box closed; the operated page:\n" + Describe(walk));
}

int Usage() {
    Say(L"usage: accessible_client start | drop DRIVER TOTAL REFUSED ROW... -- PATH... | where ROW "
        L"| hover-tip TEXT | format-tip | tabs | select-all | commit | remove FILE");
    return 2;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.empty())
        return Usage();
    const std::vector<std::wstring> rest(args.begin() + 1, args.end());
    const std::map<std::wstring, std::function<void()>> plain = {
        {L"start", Start},          {L"tabs", Tabs},     {L"format-tip", FormatTip},
        {L"select-all", SelectAll}, {L"commit", Commit},
    };
    const std::map<std::wstring, std::function<void(const std::wstring&)>> named = {
        {L"where", Where},
        {L"hover-tip", HoverTip},
        {L"remove", Remove},
    };
    if (args[0] == L"drop")
        Drop(rest);
    else if (const auto step = plain.find(args[0]); step != plain.end() && rest.empty())
        step->second();
    else if (const auto withName = named.find(args[0]); withName != named.end() && rest.size() == 1)
        withName->second(rest[0]);
    else
        return Usage();
    return 0;
}

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    const ComApartment com;
    try {
        return Run(std::vector<std::wstring>(argv + 1, argv + argc));
    } catch (const ReaderFailure& failure) {
        std::fprintf(stderr, "accessible_client: %s\n", failure.what());
        return 1;
    }
}
