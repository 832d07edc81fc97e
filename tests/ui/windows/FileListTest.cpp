// The owner-drawn file list in a plain parent that reflects its drawing and
// notifications back to it, as the main window does: the empty picture,
// rows painted from the row table, clicks on boxes, links and groups, the
// owner's notifications, column widths and the refill.

#include <atomic>
#include <thread>
#include <vector>

#include "tests/ui/windows/FileListFixture.h"
#include "ui/skin/TwImagePools.h"
#include "ui/windows/ListGeometry.h"

TEST(ListGeometry, CellsBoxesGroupsAndTheEmptyPicture) {
    const RECT label = {100, 0, 200, 24};
    EXPECT_EQ(102, CellTextRect(label, 0, true).left);
    EXPECT_EQ(87, CellTextRect(label, 0, false).left); // 20 back, then 7 in
    EXPECT_EQ(107, CellTextRect(label, 1, false).left);
    EXPECT_EQ(192, CellTextRect(label, 1, false).right);
    const RECT box = RowBoxRect(RECT{0, 24, 600, 48});
    EXPECT_EQ(3, box.left);
    EXPECT_EQ(29, box.top);
    const RECT cell =
        GroupCellRect(RECT{-100, 2, -10, 20}, RECT{0, 48, 640, 72}, 640, false, 8, -1);
    EXPECT_EQ(540, cell.left);
    EXPECT_EQ(630, cell.right);
    EXPECT_EQ(50, cell.top);
    const RECT first = GroupCellRect(RECT{}, RECT{0, 48, 640, 72}, 640, true, 8, -1);
    EXPECT_EQ(8, first.left);
    EXPECT_EQ(70, first.bottom);
    EXPECT_EQ(480, GroupRowWidth(640, 500));
    EXPECT_EQ(640, GroupRowWidth(640, 700));
    EXPECT_EQ(125, EmptyPictureOrigin(620, 370).x);
    EXPECT_EQ(139, EmptyPictureOrigin(620, 370).y);
}

TEST_F(FileList, AnEmptyListShowsItsPictureUntilARowComes) {
    testsupport::DibSurface surface(620, 370);
    Print(surface);
    HBITMAP picture = TwBmpPool::Instance().Get(405);
    ASSERT_NE(nullptr, picture);
    testsupport::DibSurface reference(370, 92);
    {
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(source, picture);
        BitBlt(reference.Dc(), 0, 0, 370, 92, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    // The whole picture, pixel for pixel, centred on the client area (the
    // header's strip included); the same comparison a few pixels off finds
    // differences, so the place is checked, not just the look.
    const POINT at = EmptyPictureOrigin(620, 370);
    const auto differing = [&](int dx, int dy) {
        int count = 0;
        for (int y = 0; y < 92; ++y)
            for (int x = 0; x < 370; ++x)
                count += surface.At(at.x + x + dx, at.y + y + dy) != reference.At(x, y);
        return count;
    };
    EXPECT_EQ(0, differing(0, 0));
    EXPECT_GT(differing(0, 3), 100);
    EXPECT_GT(differing(3, 0), 100);
    AddPending("a");
    testsupport::DibSurface after(620, 370);
    Print(after);
    // The picture's own drawing (what differs from its corner's colour) is
    // gone with the first row.
    int ink = 0, inkLeft = 0;
    for (int y = 0; y < 92; ++y)
        for (int x = 0; x < 370; ++x) {
            if (reference.At(x, y) == reference.At(0, 0))
                continue;
            ++ink;
            inkLeft += after.At(at.x + x, at.y + y) == reference.At(x, y);
        }
    ASSERT_GT(ink, 500);
    EXPECT_LT(inkLeft, ink / 10);
}

TEST_F(FileList, RowsArePaintedFromTheTable) {
    AddPending("a");
    m_list.EditRows()->SetCheck(0, true);
    testsupport::DibSurface surface(620, 370);
    Print(surface);
    const RECT row = ItemRect(0);
    EXPECT_EQ(kListRowHeight, row.bottom - row.top);
    const RECT box = RowBoxRect(row);
    // The checked cell of 403 (the drawn row may start a pixel or two in).
    EXPECT_EQ(0x1F6FD8u, surface.At(box.left + 6, box.top + 2));
    EXPECT_EQ(0xFBFDFDu, surface.At(box.left + 6, box.top - 3)); // the row's background
    EXPECT_EQ(0xEAE8E1u, surface.At(300, row.bottom - 1));       // the line under the row
}

TEST_F(FileList, ClicksToggleBoxesOpenLinksAndFoldGroups) {
    const int row = AddPending("a");
    const RECT rect = ItemRect(row);
    Click(row, 1, POINT{300, (rect.top + rect.bottom) / 2});
    EXPECT_TRUE(m_list.IsChecked(row));
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListCheckToggle, m_posted[0].message);
    EXPECT_EQ(1, m_posted[0].lparam);
    m_posted.clear();
    // The link "删除" is centred in column 2 (x 540-620).
    Click(row, 2, POINT{587, (rect.top + rect.bottom) / 2});
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListLinkClick, m_posted[0].message);
    EXPECT_EQ(2, m_posted[0].lparam);
    EXPECT_TRUE(m_list.IsChecked(row)); // a link click does not toggle

    const int plain = m_list.EditRows()->AppendItemRow({L"b", "b", L""});
    m_posted.clear();
    Click(plain, 0, POINT{50, ItemRect(plain).top + 5});
    EXPECT_TRUE(m_posted.empty());

    const int group = m_list.EditRows()->InsertGroupRow(0, L"  已加白文件", kRowFoldable);
    m_list.EditRows()->AppendToGroup(0, {L"c", "c", L""});
    m_list.EditRows()->AppendToGroup(0, {L"d", "d", L""});
    EXPECT_EQ(5, ItemCount());
    Click(group, 0, POINT{50, ItemRect(group).top + 5});
    EXPECT_EQ(3, ItemCount());
    Click(group, 0, POINT{50, ItemRect(group).top + 5});
    EXPECT_EQ(5, ItemCount());
    EXPECT_EQ(4, m_list.FindByKey("d"));
}

TEST_F(FileList, KeysAndClicksMoveTheSelectionAsThePlatformDoes) {
    // The list deselects a lone selected row itself before a key or a
    // click: the row the key or click goes to ends up the only one selected.
    for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j",
                            "k", "l", "m", "n", "o", "p", "q", "r", "s", "t"})
        m_list.EditRows()->AppendItemRow({L"x", key, L""});
    const auto selected = [this] {
        std::vector<int> rows;
        for (int i = 0; i < ItemCount(); ++i)
            if (SendMessageW(m_list.Hwnd(), LVM_GETITEMSTATE, i, LVIS_SELECTED))
                rows.push_back(i);
        return rows;
    };
    const RECT third = ItemRect(2);
    SendMessageW(m_list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, third.top + 5));
    SendMessageW(m_list.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(300, third.top + 5));
    Pump();
    EXPECT_EQ(std::vector<int>{2}, selected());
    SendMessageW(m_list.Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(std::vector<int>{3}, selected());
    SendMessageW(m_list.Hwnd(), WM_KEYDOWN, VK_NEXT, 0);
    const std::vector<int> paged = selected();
    ASSERT_EQ(1u, paged.size());
    EXPECT_GT(paged[0], 3);
    EXPECT_EQ(paged[0], static_cast<int>(SendMessageW(m_list.Hwnd(), LVM_GETNEXTITEM,
                                                      static_cast<WPARAM>(-1), LVNI_FOCUSED)));
    SendMessageW(m_list.Hwnd(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(std::vector<int>{0}, selected());
}

TEST_F(FileList, ColumnsKeepTheirMinimumAndWidenToTheirContent) {
    AddPending("a");
    m_list.SetColumnMinWidth(0, 260);
    HWND header = reinterpret_cast<HWND>(SendMessageW(m_list.Hwnd(), LVM_GETHEADER, 0, 0));
    HDITEMW item = {};
    item.mask = HDI_WIDTH;
    item.cxy = 40;
    NMHEADERW end = {};
    end.hdr.hwndFrom = header;
    end.hdr.code = HDN_ENDTRACKW;
    end.iItem = 0;
    end.pitem = &item;
    SendMessageW(m_list.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(260, SendMessageW(m_list.Hwnd(), LVM_GETCOLUMNWIDTH, 0, 0));

    SendMessageW(m_list.Hwnd(), LVM_SETCOLUMNWIDTH, 1, 30);
    testsupport::DibSurface surface(620, 370);
    Print(surface); // painting records what the MD5 text needs
    EXPECT_GT(m_list.ContentWidth(1), 100);
    NMHEADERW divider = {};
    divider.hdr.hwndFrom = header;
    divider.hdr.code = HDN_DIVIDERDBLCLICKW;
    divider.iItem = 1;
    SendMessageW(m_list.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&divider));
    EXPECT_EQ(m_list.ContentWidth(1), SendMessageW(m_list.Hwnd(), LVM_GETCOLUMNWIDTH, 1, 0));
}

TEST_F(FileList, ColumnZeroOfARowWithABoxWidensToTheTextAfterTheBox) {
    // The same name in column 0 (after the check box) and in column 1.
    const wchar_t name[] = L"a rather long file name of a pending row.exe";
    const int row = m_list.EditRows()->AppendItemRow({name, "k", L"C:\\x.exe", kRowCheckBox});
    m_list.EditRows()->AddCell(row, name, kCellText);
    SendMessageW(m_list.Hwnd(), LVM_SETCOLUMNWIDTH, 0, 40);
    testsupport::DibSurface surface(620, 370);
    Print(surface);
    RECT label = {};
    label.top = 0;
    label.left = LVIR_LABEL;
    SendMessageW(m_list.Hwnd(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    const int textOffset = CellTextRect(label, 0, true).left - ItemRect(0).left;
    ASSERT_GT(textOffset, kListBoxSize);
    // Column 1's text starts 7 pixels into its cell and records width + 10.
    const int textWidth = m_list.ContentWidth(1) - 10;
    EXPECT_EQ(textOffset + textWidth + 10, m_list.ContentWidth(0));

    HWND header = reinterpret_cast<HWND>(SendMessageW(m_list.Hwnd(), LVM_GETHEADER, 0, 0));
    NMHEADERW divider = {};
    divider.hdr.hwndFrom = header;
    divider.hdr.code = HDN_DIVIDERDBLCLICKW;
    divider.iItem = 0;
    SendMessageW(m_list.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&divider));
    EXPECT_EQ(textOffset + textWidth + 10, SendMessageW(m_list.Hwnd(), LVM_GETCOLUMNWIDTH, 0, 0));
}

TEST_F(FileList, RefillRebuildsTheItemsFromTheTable) {
    for (const char* key : {"a", "b", "c"})
        AddPending(key);
    SendMessageW(m_list.Hwnd(), LVM_DELETEALLITEMS, 0, 0);
    ASSERT_EQ(0, ItemCount());
    m_list.Run(nullptr);
    Pump();
    EXPECT_EQ(3, ItemCount());
    EXPECT_EQ(3, m_list.CountWithBox());
}

TEST_F(FileList, RowsAddedByAWorkerNeverWaitForTheListAndShowInFewUpdates) {
    // The list's thread does not run messages while the worker adds: a
    // worker that waited for the list would never finish.
    constexpr int kRows = 20000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kRows; ++i) {
            const std::string key = std::to_string(i);
            m_list.EditRows()->AppendNewItemRow(
                {L"f.exe",
                 key,
                 L"C:\\f.exe",
                 kRowCheckBox,
                 {MakeCell(kCellText, L"md5"), MakeCell(kCellLink, L"删除")},
                 true});
            m_list.UpdateRowByKey(key, 2, kCellText, L"正在处理", 0);
        }
        done = true;
    });
    for (int waited = 0; !done && waited < 20000; waited += 10)
        Sleep(10);
    ASSERT_TRUE(done.load());
    worker.join();
    EXPECT_EQ(0, ItemCount()); // nothing shown before the list's thread runs

    // The 40,000 changes reach the list as one message.
    int syncs = 0;
    MSG message;
    while (PeekMessageW(&message, m_list.Hwnd(), kSyncRows, kSyncRows, PM_REMOVE)) {
        ++syncs;
        DispatchMessageW(&message);
    }
    EXPECT_EQ(1, syncs);
    EXPECT_EQ(kRows, ItemCount());
    EXPECT_EQ(kRows, m_list.ShownCount());
    EXPECT_EQ(0, m_list.CountChecked()); // the reports took the boxes away
}

TEST_F(FileList, AnUpdateSoonAfterTheLastWaitsForTheTimer) {
    CoalescedUpdate update(WM_APP + 7, 3, 77, 200);
    update.Attach(m_parent);
    for (int i = 0; i < 1000; ++i)
        update.Request();
    MSG message;
    int posted = 0;
    while (PeekMessageW(&message, m_parent, WM_APP + 7, WM_APP + 7, PM_REMOVE)) {
        ++posted;
        EXPECT_EQ(3u, message.wParam);
        EXPECT_EQ(CoalescedUpdate::Step::Now, update.OnMessage(message.message, message.wParam));
    }
    EXPECT_EQ(1, posted);
    EXPECT_EQ(CoalescedUpdate::Step::NotMine, update.OnMessage(WM_APP + 7, 4));
    EXPECT_EQ(CoalescedUpdate::Step::NotMine, update.OnMessage(WM_TIMER, 78));

    // Again at once: the message comes, but the update waits for the timer,
    // and announcements meanwhile post nothing.
    update.Request();
    ASSERT_TRUE(PeekMessageW(&message, m_parent, WM_APP + 7, WM_APP + 7, PM_REMOVE));
    EXPECT_EQ(CoalescedUpdate::Step::Wait, update.OnMessage(message.message, message.wParam));
    update.Request();
    EXPECT_FALSE(PeekMessageW(&message, m_parent, WM_APP + 7, WM_APP + 7, PM_REMOVE));
    const DWORD start = GetTickCount();
    bool timer = false;
    while (!timer && GetTickCount() - start < 2000) {
        if (PeekMessageW(&message, m_parent, WM_TIMER, WM_TIMER, PM_REMOVE))
            timer = message.wParam == 77;
        else
            Sleep(5);
    }
    ASSERT_TRUE(timer);
    EXPECT_GE(GetTickCount() - start, 100u);
    EXPECT_EQ(CoalescedUpdate::Step::Now, update.OnMessage(WM_TIMER, 77));
    update.Request(); // after the update, an announcement posts again
    EXPECT_TRUE(PeekMessageW(&message, m_parent, WM_APP + 7, WM_APP + 7, PM_REMOVE));
}

TEST_F(FileList, ChangesThatComeSoonAfterAnUpdateShowWhenItsTimerFires) {
    const auto addFromAWorker = [this](int first, int count) {
        std::thread([&, first, count] {
            for (int i = first; i < first + count; ++i)
                m_list.EditRows()->AppendNewItemRow(
                    {L"f.exe", std::to_string(i), L"C:\\f.exe", kRowCheckBox, {}, true});
        }).join();
    };
    addFromAWorker(0, 10);
    Pump();
    ASSERT_EQ(10, ItemCount());
    // Within the interval after that update: the list's thread waits for
    // the timer, then shows them.
    addFromAWorker(10, 5);
    const DWORD start = GetTickCount();
    while (ItemCount() != 15 && GetTickCount() - start < 2000) {
        Pump();
        Sleep(5);
    }
    EXPECT_EQ(15, ItemCount());
    addFromAWorker(15, 1);
    while (ItemCount() != 16 && GetTickCount() - start < 4000) {
        Pump();
        Sleep(5);
    }
    EXPECT_EQ(16, ItemCount());
}

TEST_F(FileList, AClickActsOnTheRowPaintedUnderThePointerThoughRowsMovedSince) {
    const auto entry = [](const char* key) {
        return NewRow(L"f.exe", key, L"C:\\f.exe", 0,
                      {MakeCell(kCellText, L"md5"), MakeCell(kCellLink, L"恢复")});
    };
    m_list.EditRows()->InsertGroupRow(0, L"  已加白文件", kRowFoldable);
    m_list.EditRows()->AppendToGroup(0, entry("a"));
    m_list.EditRows()->InsertGroupRow(1, L"  已加黑文件", kRowFoldable);
    m_list.EditRows()->AppendToGroup(1, entry("c"));
    m_list.EditRows()->AppendToGroup(1, entry("d"));
    Pump();
    UpdateWindow(m_list.Hwnd());
    ASSERT_EQ(4, m_list.FindByKey("d"));
    const RECT painted = ItemRect(4);
    // An entry placed at the end of the first group before the click is
    // handled: every row below moves down, and is not painted yet.
    m_list.EditRows()->AppendToGroup(0, entry("x"));
    ASSERT_EQ(4, m_list.FindByKey("c"));
    Click(4, 2, POINT{587, (painted.top + painted.bottom) / 2});
    CListViewCtrlEx::ClickedLink link;
    ASSERT_TRUE(m_list.PeekClickedLink(link));
    EXPECT_EQ("d", link.key); // what the user saw there
    EXPECT_EQ(1, link.group);
    m_list.TakeClickedLink();
    EXPECT_FALSE(m_list.PeekClickedLink(link));
}
