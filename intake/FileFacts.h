#pragma once
// The facts the store keeps of a file beside its MD5 (store/EntryDetails.h):
// its SHA-256 and size, and for a PE image its machine type and version
// strings, all from one sequential read of the file.

#include <string>

#include <windows.h>

#include "store/EntryDetails.h"

// Reads the file at `path` once from its start to its end, in large chunks,
// shared with writers and deleters as a scanner opens a file. True when the
// whole file was read. False when it cannot be opened or a read fails:
// `facts` then holds only what was learnt before (the size once the file was
// open, the machine and version strings once the headers and the resource
// section were read), never the digest of a part; `error`, when given, gets
// the system's error (0 on success). Nothing is invented: a fact the file
// does not give stays unknown. The version strings are those of the
// language Explorer shows this user (common/PeVersionInfo.h). Holds at most one chunk and the
// resource section in memory, whatever the file's size. Safe on any number of threads at once.
bool ReadFileFacts(const std::wstring& path, EntryFacts& facts, DWORD* error = nullptr);
