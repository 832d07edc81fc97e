// Cost per row of the file lists at 2,000, 20,000 and 100,000 rows, against a
// reference measured in the same run (a hash set and a vector doing the same
// bookkeeping), as a ratio:
// - pending: what a drop does per analysed file (duplicate check by MD5,
//   then the row with its two cells, checked);
// - start-up, alternate: what the operated tab does per entry (the MD5 taken
//   out of both groups, then appended to its group), in start-up order (the
//   whitelist's entries, then the blacklist's) and alternating between them;
// - control: pending rows added to a real list control (one platform item
//   each), 20,000 rows at most.

#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include <windows.h>

#include "bench/BenchTimer.h"
#include "ui/windows/CListViewCtrlEx.h"
#include "ui/windows/ListRowTable.h"

namespace {

std::string Md5Of(unsigned n) {
    char text[33];
    std::snprintf(text, sizeof text, "%032x", n);
    return text;
}

std::vector<std::string> Keys(unsigned rows) {
    std::vector<std::string> keys;
    keys.reserve(rows);
    for (unsigned i = 0; i < rows; ++i)
        keys.push_back(Md5Of(i * 2654435761u));
    return keys;
}

// The same bookkeeping with a hash set: the floor a row may cost.
double ReferenceMicros(const std::vector<std::string>& keys) {
    const BenchTimer timer;
    std::unordered_set<std::string> seen;
    std::vector<std::wstring> texts;
    for (const std::string& key : keys) {
        if (seen.count(key) != 0)
            continue;
        seen.insert(key);
        texts.emplace_back(L"file.exe");
        texts.emplace_back(key.begin(), key.end());
    }
    return timer.Seconds() * 1e6 / static_cast<double>(keys.size());
}

void AddPending(ListRowTable& list, const std::string& key) {
    if (list.FindByKey(key) >= 0)
        return;
    const int row = list.AppendItemRow({L"file.exe", key, L"C:\\dir\\file.exe", kRowCheckBox});
    list.AddCell(row, std::wstring(key.begin(), key.end()), kCellText);
    list.AddCell(row, L"删除", kCellLink);
    list.SetCheck(row, true);
}

double PendingMicros(const std::vector<std::string>& keys) {
    ListRowTable table;
    const BenchTimer timer;
    for (const std::string& key : keys)
        AddPending(table, key);
    return timer.Seconds() * 1e6 / static_cast<double>(keys.size());
}

// Start-up fills the whitelist group, then the blacklist group; a run of
// commits may alternate between them.
double OperatedMicros(const std::vector<std::string>& keys, bool alternating) {
    ListRowTable table;
    table.InsertGroupRow(0, L"trusted", kRowFoldable);
    table.InsertGroupRow(1, L"black", kRowFoldable);
    const BenchTimer timer;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int group = alternating ? static_cast<int>(i % 2) : (i < keys.size() / 2 ? 0 : 1);
        table.RemoveFromGroup(keys[i], 0);
        table.RemoveFromGroup(keys[i], 1);
        table.AppendToGroup(group, {L"file.exe", keys[i], L"C:\\dir\\file.exe"});
    }
    return timer.Seconds() * 1e6 / static_cast<double>(keys.size());
}

double ControlMicros(const std::vector<std::string>& keys) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 400, nullptr, nullptr,
                                  nullptr, nullptr);
    CListViewCtrlEx list;
    list.Create(parent, RECT{0, 0, 620, 370}, WS_CHILD | LVS_SINGLESEL, 401);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 200;
        SendMessageW(list.Hwnd(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    const BenchTimer timer;
    for (const std::string& key : keys)
        AddPending(*list.EditRows(), key);
    const double micros = timer.Seconds() * 1e6 / static_cast<double>(keys.size());
    DestroyWindow(parent);
    return micros;
}

void Report(const char* what, unsigned rows, double micros, double reference) {
    std::printf("%-10s %7u rows: %9.2f us/row   reference %6.3f us/row   ratio %8.1fx\n", what,
                rows, micros, reference, micros / reference);
    std::fflush(stdout);
}

} // namespace

extern "C" int wmain(int, wchar_t**) {
    for (const unsigned rows : {2000u, 20000u, 100000u}) {
        const std::vector<std::string> keys = Keys(rows);
        const double reference = ReferenceMicros(keys);
        Report("pending", rows, PendingMicros(keys), reference);
        Report("start-up", rows, OperatedMicros(keys, false), reference);
        Report("alternate", rows, OperatedMicros(keys, true), reference);
        if (rows <= 20000)
            Report("control", rows, ControlMicros(keys), reference);
    }
    return 0;
}
