#pragma once
// Paths of loaded modules and the folders that hold them.

#include <string>
#include <string_view>

#include <windows.h>

// The full path of a module (null: the process's main module). The path is
// read into a buffer of 256 characters that doubles, up to 32,768, while the
// path fills it. Empty when the path cannot be read.
std::wstring GetModulePath(HMODULE module);

// The path less its last component, followed by a backslash ("C:\a\b.exe"
// gives "C:\a\"). A path without any backslash gives an empty folder.
std::wstring FolderOfPath(std::wstring_view path);

// The folder of a module, with its trailing backslash.
inline std::wstring GetModuleFolder(HMODULE module) {
    return FolderOfPath(GetModulePath(module));
}

// Whether a file (not a folder) is at the path.
bool IsExistingFile(const std::wstring& path);

// The full form of a path (GetFullPathNameW); empty when it has none.
std::wstring FullPathName(const std::wstring& path);

// The module that holds the calling code (the DLL or program it is linked into).
HMODULE GetCurrentModule();
