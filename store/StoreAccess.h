#pragma once
// Whether the store's file can be opened and written, and when not, why, in
// the file system's own terms: the tool writes beside itself, which under
// Program Files needs an administrator, and a failure must name its cause.

#include <string>

#include <windows.h>

enum class StoreProblem {
    None,
    CannotOpen,  // the database engine could not open or create the file
    CannotWrite, // it opened, but a write fails
};

enum class StoreCause {
    Unknown,
    FolderMissing,     // the file's folder does not exist
    FolderNotWritable, // no file can be made in the folder (error: why)
    FileReadOnly,      // the file has the read-only attribute
    FileNotWritable,   // the file cannot be opened for writing (error: why)
    FileInUse,         // another program holds the file without sharing it
    NotADatabase,      // the file is no store of this tool, or it is damaged
};

struct StoreAccess {
    StoreProblem problem = StoreProblem::None;
    StoreCause cause = StoreCause::Unknown;
    DWORD error = 0;           // the system's error behind the cause
    std::string engineMessage; // what the database engine said
    bool Ok() const { return problem == StoreProblem::None; }
};

// Asks the file system why the database file at `path` (a full path) cannot
// be opened or written; `error` receives the system's error code.
StoreCause DiagnoseStoreFile(const std::wstring& path, DWORD& error);

// Whether a full path lies on a network share: a UNC path or a network drive.
// The database engine's locking is not reliable there.
bool IsOnNetworkShare(const std::wstring& path);
