#include "intake/IntakeWorkers.h"

#include "common/TextConvert.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/support/ShellDrop.h"

using testsupport::MakeDrop;
using testsupport::ProcessorTest;

namespace {

struct DoneWindow {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INTAKE_DONE) {
            auto* self = reinterpret_cast<DoneWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            self->tab = static_cast<int>(wParam);
            self->busyWhenDone = self->busy && self->busy->IsBusy();
            ++self->count;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    DoneWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"IntakeDoneTestWindow";
        RegisterClassW(&windowClass);
        handle = CreateWindowW(L"IntakeDoneTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~DoneWindow() { DestroyWindow(handle); }
    HWND handle;
    int tab = -1;
    int count = 0;
    const BusyFlag* busy = nullptr; // whether it is held when the end is handled
    bool busyWhenDone = false;
};

} // namespace

TEST(IntakeWorkers, DroppedPathsAreReadWholeChineseAndLongOnesIncluded) {
    std::wstring longPath = L"C:\\";
    while (longPath.size() < 300)
        longPath += L"d";
    const std::vector<std::wstring> paths = {L"C:\\a b\\x.exe", L"D:\\\x4E2D\x6587\\y.dll",
                                             longPath};
    HDROP drop = MakeDrop(paths);
    const std::vector<std::wstring> read = DroppedPaths(drop);
    ASSERT_EQ(3u, read.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(paths[i], read[i]);
    DragFinish(drop);
}

TEST(IntakeWorkers, OpenDialogSelectionsOfOneOrManyFiles) {
    const wchar_t one[] = L"C:\\dir\\file.exe\0";
    std::vector<std::wstring> files = ParseOpenDialogSelection(one);
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(L"C:\\dir\\file.exe", files[0]);

    const wchar_t many[] = L"C:\\dir\0a.exe\0b c.dll\0";
    files = ParseOpenDialogSelection(many);
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ(L"C:\\dir\\a.exe", files[0]);
    EXPECT_EQ(L"C:\\dir\\b c.dll", files[1]);

    const wchar_t root[] = L"C:\\\0a.exe\0";
    EXPECT_EQ(L"C:\\a.exe", ParseOpenDialogSelection(root)[0]);
    EXPECT_TRUE(ParseOpenDialogSelection(L"").empty());
}

TEST(IntakeWorkers, BusyFlagsAdmitOneHolderAtATime) {
    BusyFlag busy;
    EXPECT_TRUE(busy.TryAcquire());
    EXPECT_FALSE(busy.TryAcquire());
    EXPECT_TRUE(busy.IsBusy());
    busy.Release();
    EXPECT_TRUE(busy.TryAcquire());
}

TEST_F(ProcessorTest, TheDropWorkerAnalysesReleasesAndSignalsTheTabOnce) {
    testsupport::WritePeFile(TreeFile(L"one.exe"), "1");
    testsupport::WritePeFile(TreeFile(L"two.exe"), "2");
    DoneWindow window;
    BusyFlag busy;
    window.busy = &busy;
    ASSERT_TRUE(busy.TryAcquire());
    HDROP drop = MakeDrop({TreeFile(L"one.exe"), m_tree.Path()});
    ASSERT_TRUE(
        StartDetachedWorker([&, drop] { RunDropWork(m_processor, drop, window.handle, 1, busy); }));
    const DWORD start = GetTickCount();
    while ((window.count == 0 || busy.IsBusy()) && GetTickCount() - start < 10000) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(1);
    }
    EXPECT_EQ(1, window.count);
    EXPECT_EQ(1, window.tab);
    // Held while the window takes the drop's end: a drop begun before it
    // would reset the counts of the summary that end shows.
    EXPECT_TRUE(window.busyWhenDone);
    EXPECT_FALSE(busy.IsBusy());
    EXPECT_EQ(3u, m_callback.Events().size()); // one.exe twice (file, then in the folder), two.exe
}

TEST_F(ProcessorTest, TheCommitWorkerCommitsGatheredFilesAndNothingWhenThereAreNone) {
    RunCommitWork(m_processor, ListKind::Black, {});
    EXPECT_TRUE(m_callback.Events().empty());
    RunCommitWork(m_processor, ListKind::Black,
                  {CommitEntry{"0123456789abcdef0123456789abcdef", "C:\\one.exe"}});
    EXPECT_EQ(3u, m_callback.Events().size());
}
