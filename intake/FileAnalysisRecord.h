#pragma once
// The report for one analysed file, built afresh for each file; the receiver
// copies what it keeps.

#include <windows.h>

struct EntryFacts;

struct FileAnalysisRecord {
    wchar_t path[MAX_PATH]; // full path as analysed, NUL-terminated
    char md5[33];           // 32 lower-case hex digits, or ZeroDigest
    int extra;              // as the component returned it
    // The whole path when it does not fit `path` (260 characters or more):
    // such a file is reported refused and `path` is left empty. Valid only
    // during the report.
    const wchar_t* longPath;
    // Why a refused file could not be read (a Win32 error code), or 0 when
    // it was read and is no standard PE image. An unreadable file is not a
    // verdict on its format.
    unsigned long readError;
    // The file's facts when they were read (null otherwise). Valid only
    // during the report.
    const EntryFacts* facts;
};

// Whether a report is of a file that could not be read.
inline bool IsUnreadable(const FileAnalysisRecord& record) {
    return record.readError != 0;
}

// The full path of a report, whether or not it fits the record.
inline const wchar_t* FullPathOf(const FileAnalysisRecord& record) {
    return record.longPath ? record.longPath : record.path;
}
