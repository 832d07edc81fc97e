#include "tests/intake/KillDriverRun.h"

#include "common/ModulePath.h"

namespace testsupport {

KillDriverRun::KillDriverRun(const TempDir& dir, int files, int chunk, const wchar_t* mode,
                             const std::string& killAt) {
    static int runs = 0;
    const std::wstring event =
        L"kill-driver-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs);
    m_started = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
    std::wstring command = L"\"" + GetModuleFolder(nullptr) + L"commit_kill_driver.exe\" \"" +
                           dir.File(L"UserSign.dat") + L"\" \"" + dir.File(L"vmrdetect.lists") +
                           L"\" " + std::to_wstring(files) + L" " + std::to_wstring(chunk) + L" " +
                           event + L" " + mode;
    // The child takes the kill point from the environment it inherits.
    SetEnvironmentVariableA("UW_KILL_AT", killAt.empty() ? nullptr : killAt.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    if (m_started && CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &startup, &child)) {
        m_process = UniqueHandle(child.hProcess);
        UniqueHandle thread(child.hThread);
    }
    SetEnvironmentVariableA("UW_KILL_AT", nullptr);
}

bool KillDriverRun::WaitStarted() {
    if (!m_process)
        return false;
    const HANDLE waits[] = {m_started.Get(), m_process.Get()};
    return WaitForMultipleObjects(2, waits, FALSE, 60000) == WAIT_OBJECT_0;
}

DWORD KillDriverRun::WaitEnd(DWORD milliseconds) {
    DWORD code = STILL_ACTIVE;
    if (m_process && WaitForSingleObject(m_process.Get(), milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void KillDriverRun::Kill() {
    if (!m_process)
        return;
    TerminateProcess(m_process.Get(), 9);
    WaitForSingleObject(m_process.Get(), 60000);
}

} // namespace testsupport
