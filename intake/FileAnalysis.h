#pragma once
// One file's analysis by the detection component, kept until it is
// reported, and the report made from it.

#include <cstddef>
#include <memory>
#include <string>

#include <windows.h>

#include "intake/DetectionComponent.h"
#include "intake/FileAnalysisRecord.h"
#include "store/EntryDetails.h"

struct FileAnalysis {
    std::wstring path;
    std::size_t givenIndex = 0; // which given path the file came from
    bool given = false;         // the given path itself, not an entry of a folder
    int result = 0;             // the component's result code
    BYTE digest[16] = {};
    int extra = 0;
    DWORD readError = 0; // why the file could not be read when refused; 0 readable
    // What the file says of itself (SHA-256, size, version strings), read
    // for an accepted file when asked for; null otherwise.
    std::shared_ptr<const EntryFacts> facts;
};

// Asks the detector about the file; safe on any thread (the detector keeps no
// state between calls). A path that does not fit the record (260 characters
// or more) is refused whole without asking. A refused file is opened once
// more to tell a file that cannot be read (held by another program, access
// denied, blocked by a scanner, an offline placeholder) from one that is not
// a PE image, whatever the component says.
// With `readFacts`, an accepted file is read once more, right after the
// component read it (so from the system's cache), for its facts.
void AnalyseWith(IFileDetector& detector, FileAnalysis& analysis, bool readFacts = false);

// The report of an analysis. A refused long path is in `longPath`, which
// points into `analysis`.
void FillRecord(const FileAnalysis& analysis, FileAnalysisRecord& record);

// 0 when the file opens for reading (shared with writers and deleters, as a
// scanner opens a file) and its first byte reads; else the system's error.
DWORD ReadabilityError(const std::wstring& path);
