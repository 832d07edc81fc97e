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

int g_boxesClosed = 0;
std::vector<int> g_closedModes;          // the modes of the boxes PumpUntil closed
std::vector<std::wstring> g_closedTexts; // and their texts

// Runs the window's messages until `done`, closing message boxes that the
// workers open (as a user answering Cancel would); false on a time-out.
// A box is a stack object of the worker that runs it: its mode and text are
// read before it is closed, and a box that was closed but has not gone yet
// (its worker still ending the modal loop) is neither touched nor counted
// again.
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
            if (const auto* question =
                    dynamic_cast<const QMsgBoxDlg*>(testsupport::DialogOf(open))) {
                g_closedModes.push_back(question->Mode());
                g_closedTexts.push_back(question->Text());
            }
            closing = open;
            PostMessageW(open, WM_CLOSE, 0, 0);
            ++g_boxesClosed;
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

// Answers OK in the message box that the window opens on its own thread.
void CALLBACK ConfirmFromTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (CTwDialogHost* box = testsupport::OpenMessageBox()) {
        KillTimer(nullptr, timer);
        testsupport::ClickElement(*box, BoxElement::kOkButton);
    }
}

// Clicks element `g_clickId` of the box the window opens, once, noting the
// box's mode.
int g_clickId = 0;
int g_lastMode = 0;
[[maybe_unused]] void CALLBACK ClickFromTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (auto* box = dynamic_cast<QMsgBoxDlg*>(testsupport::OpenMessageBox())) {
        KillTimer(nullptr, timer);
        g_lastMode = box->Mode();
        testsupport::ClickElement(*box, g_clickId);
    }
}

// Answers every box the window opens from a repeating timer: OK for the
// removal questions, and notes each other mode closed.
std::vector<int> g_noticesClosed;
std::vector<std::wstring> g_noticeTexts;
void CALLBACK AnswerBoxesFromTimer(HWND, UINT, UINT_PTR, DWORD) {
    auto* box = dynamic_cast<QMsgBoxDlg*>(testsupport::OpenMessageBox());
    if (!box)
        return;
    if (box->Mode() == BoxMode::kRemoveTrusted || box->Mode() == BoxMode::kRemoveBlack) {
        testsupport::ClickElement(*box, BoxElement::kOkButton);
    } else {
        g_noticesClosed.push_back(box->Mode());
        g_noticeTexts.push_back(box->Text());
        testsupport::ClickElement(*box, BoxElement::kSoleOkButton);
    }
}

// Boxes the window opens on its own thread answered from here on, with
// their modes and texts in g_noticesClosed and g_noticeTexts, until the
// timer is killed.
UINT_PTR AnswerBoxesFromNowOn() {
    g_noticesClosed.clear();
    g_noticeTexts.clear();
    return SetTimer(nullptr, 0, 50, &AnswerBoxesFromTimer);
}

// Clicks a row's link as the user does, then runs the window's messages
// until the click and the removal it may have started have ended. Boxes are
// answered by a timer the caller sets.
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

    // The window made, and its operated tab filled from the store (which
    // happens on a worker).
    static bool Open(QUserWardenDlg& window) {
        return window.CreateHostWindow(nullptr, nullptr) != nullptr &&
               PumpUntil([&] { return window.OperatedLoaded(); });
    }

    // Files dropped on the window as the shell drops them; true once the
    // summary `summaryId` (501 whitelist, 503 blacklist) shows.
    static bool DropAndWait(QUserWardenDlg& window, const std::vector<std::wstring>& files,
                            int summaryId = 501) {
        SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
        return PumpUntil([&] { return window.FindById(summaryId)->IsShown(); });
    }

    // Files dropped again once the last drop has ended; the modes of the
    // boxes answered (their texts in g_noticeTexts) until this drop ends.
    static std::vector<int> DropAnsweringBoxes(QUserWardenDlg& window,
                                               const std::vector<std::wstring>& files) {
        PumpUntil([&] { return !window.BusyWithDrop(); });
        g_noticesClosed.clear();
        g_noticeTexts.clear();
        const UINT_PTR answers = SetTimer(nullptr, 0, 50, &AnswerBoxesFromTimer);
        SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
        PumpUntil([&] { return !window.BusyWithDrop(); });
        // The box comes with the summary, once the walk has ended.
        PumpUntil([] { return false; }, 400);
        KillTimer(nullptr, answers);
        return g_noticesClosed;
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
};

} // namespace
