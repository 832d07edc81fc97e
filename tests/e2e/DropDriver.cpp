// Delivers a drop to a window of another process as the shell does: a wide
// DROPFILES block with the double-NUL-terminated path list is written into
// the target process and WM_DROPFILES posted with its address.
//   drop_driver WINDOW-TITLE PATH...

#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include <shlobj.h>

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window)
        return 3;
    std::vector<wchar_t> list;
    for (int i = 2; i < argc; ++i)
        list.insert(list.end(), argv[i], argv[i] + lstrlenW(argv[i]) + 1);
    list.push_back(L'\0');
    std::vector<char> block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));

    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return 4;
    void* remote =
        VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    const bool copied = remote &&
                        WriteProcessMemory(process, remote, block.data(), block.size(), &written) &&
                        written == block.size();
    CloseHandle(process);
    if (!copied)
        return 5;
    return PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) ? 0 : 6;
}
