#pragma once

#include <string>
// Hooks the process up to the product's crash-dump monitor: its library is
// loaded and its QlVOpenDumpMonitorEx2 called, on a short thread of its
// own, with the product identifier (the registry's "idex" value, else a
// built-in one). A missing library or export changes nothing else.

inline constexpr wchar_t kDumpLibrary[] = L"qdump.dll";
inline constexpr char kDumpExport[] = "QlVOpenDumpMonitorEx2";
inline constexpr int kDumpFlags = 0x12000;
inline constexpr int kDumpLimit = 300;
// Used when the registry has no identifier: 32 hexadecimal characters.
inline constexpr wchar_t kBuiltInProductId[] = L"7C3E9A1F5B2D4C6E8A0F1B3D5E7C9A2F";

// "SOFTWARE\Classes\CLSID\{component}\Implemented Categories\{category}".
std::wstring ProductIdentifierKey();
// The "idex" value of that key under HKEY_LOCAL_MACHINE, else the built-in one.
std::wstring ReadProductIdentifier();

// 0 when the monitor's thread was started, -1 when the library, its export
// or the thread is missing. `libraryPath` null: the library by name.
int HookUpCrashDumpMonitor(const wchar_t* libraryPath = nullptr);
