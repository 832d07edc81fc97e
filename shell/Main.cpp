// The program's entry: COM, common controls and the module, the crash-dump
// monitor, the UI resources, then the main window as a modal dialog; the
// exit code is always 0.

#include "app/QUserWardenDlg.h"
#include "shell/AppModule.h"
#include "shell/CrashDumpHookup.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/engine/TwUiResources.h"
#include "ui/windows/CListViewCtrlEx.h"
#include "ui/windows/QMsgBoxDlg.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// How long the closed window's work may take to stop (whatever another
// program does with the store or the component, the process ends within
// five seconds of the close).
constexpr DWORD kWorkStopMs = 3000;

// The two process-wide messages, registered before the entry runs: the
// message box's own (mode and text while open) and the file list's.
const UINT g_messageBoxUpdate = MsgBoxUpdateMessage();
const UINT g_rowCheckChanged = RowCheckChangedMessage();

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    (void)g_messageBoxUpdate;
    (void)g_rowCheckChanged;
    CoInitialize(nullptr);
    DefWindowProcW(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    AppModule::Instance().Init(instance);
    HookUpCrashDumpMonitor();
    ReloadUiResources();
    LoadStrings(60002);
    {
        QUserWardenDlg window;
        window.RunModal(nullptr, nullptr);
        if (!window.EndWork(kWorkStopMs)) {
            // A call into the component has not returned: the process ends
            // without it, as a killed one does. The store's journal undoes
            // an unfinished write, and the next start puts what the store
            // holds on the component's lists.
            TerminateProcess(GetCurrentProcess(), 0);
        }
        AppModule::Instance().Term();
        CoUninitialize();
    }
    return 0;
}
