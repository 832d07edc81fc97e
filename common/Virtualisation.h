#pragma once
// File virtualisation: Windows redirects the writes of a process that runs
// without a manifest, unelevated, from protected folders (Program Files,
// Windows, ProgramData) into the user's own VirtualStore, so that each user
// and an elevated run see another copy of the same file.

#include <string>

// Whether this process's writes are virtualised (its token says so).
bool ProcessWritesVirtualised();

// Where a virtualised write of the file at `path` (a full path on a drive)
// lands: "<localAppData>\VirtualStore\<path without its drive>". Empty for
// a path on no drive letter, which is never virtualised.
std::wstring VirtualStorePath(const std::wstring& path, const std::wstring& localAppData);

// The user's %LOCALAPPDATA% folder; empty when it is not known.
std::wstring LocalAppDataFolder();
