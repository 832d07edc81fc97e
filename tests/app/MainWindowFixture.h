#pragma once
// The main window made in the test's process, with files dropped as the
// shell drops them, and the boxes it opens answered: from a pump loop for
// boxes of workers, from a timer for boxes the window opens on its own
// thread (their modal loop runs inside the window's message).

#include <atomic>
#include <thread>

#include <shlobj.h>

#include "app/QUserWardenDlg.h"
#include "app/WardenElements.h"
#include "app/WardenTexts.h"
#include "common/TextConvert.h"
#include "layoutview/UiDocuments.h"
#include "store/ORBDBSqliteConn.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/DialogClicks.h"
#include "tests/support/GTest.h"
#include "tests/support/PeFile.h"
#include "tests/support/ShellDrop.h"
#include "tests/support/TempDir.h"
#include "ui/engine/CTwImageWnd.h"
#include "ui/engine/CTwRichText.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/windows/ListGeometry.h"
#include "ui/windows/QMsgBoxDlg.h"
#include "common/Handles.h"
#include "common/ModulePath.h"

using testsupport::MakeDrop;

namespace {

// Runs the window's messages until `done`, closing message boxes that the
// workers open (as a user answering Cancel would); false on a time-out.
// A box that was closed but has not gone yet (its worker still ending the
// modal loop) is not closed again.
template <typename Done> bool PumpUntil(Done done, DWORD milliseconds = 20000) {
    const DWORD start = GetTickCount();
    HWND closing = nullptr;
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        if (closing && !(IsWindow(closing) && IsWindowVisible(closing)))
            closing = nullptr;
        HWND open = testsupport::OpenMessageBoxWindow();
        if (open && open != closing) {
            closing = open;
            PostMessageW(open, WM_CLOSE, 0, 0);
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
    return true;
}

// Clicks a row's link as the user does, then runs the window's messages
// until the click and the removal it may have started have ended. Boxes are
// answered by a BoxAnswerer of the caller.
// A row of -1 clicks nothing: it only runs the messages of a click posted
// before.
void ClickLinkAndSettle(QUserWardenDlg& window, int tab, int row) {
    if (row >= 0)
        window.List(tab).ClickLink(row, 2);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    PumpUntil([&] { return !window.BusyWithRemoval(); });
}

class MainWindow : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadProgramUiDocuments()); }
    void SetUp() override {
        SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", m_dir.File(L"lists.txt").c_str());
        m_files = {m_dir.File(L"one.exe"), m_dir.File(L"two.exe"), m_dir.File(L"notes.txt")};
        testsupport::WritePeFile(m_files[0], "first");
        testsupport::WritePeFile(m_files[1], "second");
        testsupport::WriteFileBytes(m_files[2], "plain text", 10);
    }
    void TearDown() override { SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr); }

    // The window made, its operated tab filled from the store and the
    // start-up work ended (it happens on a worker, which reconciles the
    // component after the entries show).
    static bool Open(QUserWardenDlg& window) {
        return window.CreateHostWindow(nullptr, nullptr) != nullptr &&
               PumpUntil([&] { return window.OperatedLoaded() && window.StartupEnded(); });
    }

    // Files dropped on the window as the shell drops them; true once the
    // summary `summaryId` (501 whitelist, 503 blacklist) shows.
    static bool DropAndWait(QUserWardenDlg& window, const std::vector<std::wstring>& files,
                            int summaryId = 501) {
        SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
        return PumpUntil([&] { return window.FindById(summaryId)->IsShown(); });
    }

    // Files dropped again once the last drop has ended; the modes of the
    // boxes answered until this drop ends (their texts in m_dropNoticeTexts).
    std::vector<int> DropAnsweringBoxes(QUserWardenDlg& window,
                                        const std::vector<std::wstring>& files) {
        PumpUntil([&] { return !window.BusyWithDrop(); });
        testsupport::BoxAnswerer answers;
        SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
        PumpUntil([&] { return !window.BusyWithDrop(); });
        // The box comes with the summary, once the walk has ended.
        PumpUntil([] { return false; }, 400);
        m_dropNoticeTexts = answers.NoticeTexts();
        return answers.Notices();
    }

    int TrustedInStore() {
        ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"), 1000);
        store.Open();
        UserListRecords records;
        store.LoadUserTrustedData(records);
        return static_cast<int>(records.size());
    }

    testsupport::TempDir m_dir;
    std::vector<std::wstring> m_files;
    std::vector<std::wstring> m_dropNoticeTexts; // of the last DropAnsweringBoxes
};

} // namespace
