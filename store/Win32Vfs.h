#pragma once
// The database engine's file layer over Win32 files.
//
// The engine linked into the program is the host's, whose own file layer
// speaks POSIX paths; the program names its files with Windows paths
// ("C:\...\UserSign.dat"). This layer opens, reads, writes, locks and deletes
// files through the Win32 file API with the engine's Windows locking protocol
// (the lock bytes at offset 0x40000000), and is made the engine's default
// before the first connection is opened.

struct sqlite3_vfs;

// Registers the layer as the engine's default file layer, once per process.
// Returns the layer.
sqlite3_vfs* EnsureWin32VfsIsDefault();

// The name under which the layer is registered.
extern const char kWin32VfsName[];
