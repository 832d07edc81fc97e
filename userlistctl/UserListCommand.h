#pragma once
// userlistctl: the command-line companion. It works through the same
// FileProcessor, component and store as the main window.
//
//   userlistctl [--store FILE] scan PATH...
//   userlistctl [--store FILE] trust PATH...
//   userlistctl [--store FILE] block PATH...
//   userlistctl [--store FILE] list [trusted|black]
//   userlistctl [--store FILE] remove MD5...
//   userlistctl [--store FILE] export csv|hdb|fp [trusted|black] [-o FILE]
//   userlistctl [--store FILE] import FILE [--list trusted|black]
//   userlistctl [--store FILE] check

#include <ostream>
#include <string>
#include <vector>

#include "userlistctl/CliEnvironment.h"

enum CliExitCode {
    kCliOk = 0,
    kCliNotFound = 1,      // an MD5 to remove is on no list
    kCliUsage = 2,         // bad command line
    kCliRefused = 3,       // the component refused to begin an update
    kCliNoComponent = 4,   // the detection component could not be loaded
    kCliNotRecorded = 5,   // a file was left out: the store cannot record its path
    kCliStoreFailed = 6,   // the store cannot be opened or written: nothing more was changed
    kCliBadImport = 7,     // the import file is malformed or holds nothing to import
    kCliWriteFailed = 8,   // the export file could not be written
    kCliUnreadable = 9,    // a file could not be read (it is neither committed nor refused)
    kCliNetworkStore = 10, // check: the store lies on a network share
    kCliVirtualised = 11,  // check: the store's writes are or were virtualised
};

// Runs one command line (without the program name); texts go to `out` and
// `err` as UTF-8. Returns the exit code.
int RunUserListCtl(const std::vector<std::wstring>& arguments, std::ostream& out,
                   std::ostream& err);
int RunUserListCtl(const std::vector<std::wstring>& arguments, std::ostream& out, std::ostream& err,
                   const CliEnvironment& environment);

extern const char kUserListCtlUsage[];
