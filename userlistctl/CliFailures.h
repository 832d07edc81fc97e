#pragma once
// The lines userlistctl writes to standard error when the component or the
// store cannot be used or a file cannot be read, naming the file and the
// cause in the file system's terms.

#include <string>

#include <windows.h>

#include "intake/ComponentModule.h"
#include "store/StoreAccess.h"

// "the detection component C:\p\vmrdetect.dll cannot be loaded: it is a
// 32-bit (x86) DLL and this program is 64-bit; use the 32-bit package".
std::string ComponentFailureLine(const ComponentLoadFailure& failure);

// "the store C:\p\UserSign.dat cannot be written: the folder is not
// writable: run the tool as administrator".
std::string StoreFailureLine(const std::wstring& path, const StoreAccess& access);

// Why a file could not be read: the system's words for the error.
std::string ReadErrorReason(DWORD error);

// "x64 (64-bit)".
std::string MachineDescription(std::uint16_t machine);
