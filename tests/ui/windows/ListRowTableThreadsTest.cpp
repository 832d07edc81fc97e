// The file list's rows shared between a worker and a reader, as the window
// shares them: the worker adds rows and changes them by key (each one step
// under the table's lock) while the reader, holding the lock, walks the rows
// and their counts. Built for Windows and, natively, under the thread
// sanitizer, which reports any access the lock does not cover.

#include <string>
#include <thread>

#include "common/CriticalSection.h"
#include "tests/support/GTest.h"
#include "ui/windows/ListRowTable.h"

namespace {

constexpr int kRows = 2000;

std::string KeyOf(int i) {
    return "key" + std::to_string(i);
}

} // namespace

TEST(ListRowTableThreads, AWorkerAddsAndChangesRowsWhileAReaderHoldsTheLock) {
    ListRowTable table;
    std::thread worker([&table] {
        for (int i = 0; i < kRows; ++i) {
            table.AppendNewItemRow(
                NewRow(L"file" + std::to_wstring(i), KeyOf(i), L"C:\\file", kRowCheckBox));
            if (i % 3 == 0)
                table.UpdateByKey(KeyOf(i / 2), 0, kCellText, L"changed", -1);
        }
    });
    int lastCount = 0;
    while (lastCount < kRows) {
        ScopedLock lock(table.Lock());
        const int count = table.Count();
        ASSERT_GE(count, lastCount);
        for (int i = lastCount; i < count; ++i) {
            const ListRow* row = table.Row(i);
            ASSERT_NE(nullptr, row);
            ASSERT_EQ(KeyOf(i), row->key);
            ASSERT_EQ(i, table.FindByKey(row->key));
        }
        ASSERT_EQ(count, table.CountWithBox());
        lastCount = count;
    }
    worker.join();
    EXPECT_EQ(L"changed", table.CellText(table.FindByKey(KeyOf(0)), 0));
    EXPECT_EQ(kRows, table.Count());
}
