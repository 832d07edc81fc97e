#pragma once
// The machine type a PE file is built for, read from the file's own headers
// (a program can load only DLLs of its own machine type), and how the tool
// names it to the user.

#include <cstdint>
#include <string>

// IMAGE_FILE_MACHINE_* of the PE file at `path`; 0 when the file cannot be
// read or is no PE image.
std::uint16_t ReadPeMachine(const std::wstring& path);

// The machine type this program is built for.
std::uint16_t OwnPeMachine();

// 32 or 64 for the x86 and x64 (and ARM) machine types, 0 for others.
int PeMachineBits(std::uint16_t machine);

// "x86", "x64", "ARM64", ... or the type in hexadecimal.
std::string PeMachineName(std::uint16_t machine);
