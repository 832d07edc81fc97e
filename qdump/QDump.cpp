// qdump.dll, the project's stand-in for the product's crash-dump monitor.
// QlVOpenDumpMonitorEx2 installs an unhandled-exception filter that writes a
// minidump "<product>-<process id>.dmp" into the folder of the dump files
// (QDUMP_FOLDER, else the folder of the DLL). When QDUMP_LOG_FILE is set,
// each call appends "<product>\t<mode>\t<flags>\t<limit>" to that file
// (UTF-8), so that tests can see what the program handed over.

#include <windows.h>
#include <dbghelp.h>

#include <cstdio>
#include <string>

#include "common/ModulePath.h"
#include "common/TextConvert.h"

namespace {

std::wstring g_product;
std::wstring g_folder;

std::wstring Variable(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value) : std::wstring();
}

void AppendLog(const std::string& line) {
    const std::wstring path = Variable(L"QDUMP_LOG_FILE");
    if (path.empty())
        return;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

LONG WINAPI WriteDump(EXCEPTION_POINTERS* exception) {
    wchar_t name[96];
    wsprintfW(name, L"%.63s-%lu.dmp", g_product.c_str(), GetCurrentProcessId());
    const bool separated = !g_folder.empty() && g_folder.back() == L'\\';
    const std::wstring path = g_folder + (separated ? L"" : L"\\") + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        MINIDUMP_EXCEPTION_INFORMATION info = {GetCurrentThreadId(), exception, FALSE};
        MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                          exception ? &info : nullptr, nullptr, nullptr);
        CloseHandle(file);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

extern "C" int WINAPI QlVOpenDumpMonitorEx2(int mode, const wchar_t* product, int flags,
                                            int limit) {
    g_product = product && *product ? product : L"unknown";
    g_folder = Variable(L"QDUMP_FOLDER");
    if (g_folder.empty())
        g_folder = GetModuleFolder(GetCurrentModule());
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "\t%d\t0x%x\t%d\n", mode, flags, limit);
    AppendLog(WideToUtf8(g_product) + numbers);
    SetUnhandledExceptionFilter(&WriteDump);
    return 0;
}
