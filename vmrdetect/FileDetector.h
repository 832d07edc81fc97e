#pragma once
// IFileDetector: the MD5 of a standard PE image, or the zero digest for
// anything else. Each file is opened once and read from its start; a small
// one in one read. The detector keeps no state between calls (everything an
// analysis uses is its own), so AnalyseFile may run on several threads at
// once.

#include "intake/DetectionComponent.h"
#include "vmrdetect/ComObject.h"

// Analyses one file without any object: what AnalyseFile does.
HRESULT AnalyseFileAt(const wchar_t* path, BYTE digest[16], int* extra);

class FileDetector : public ComObject<IFileDetector, IID_IFileDetector> {
public:
    HRESULT STDMETHODCALLTYPE AnalyseFile(const wchar_t* path, int reserved, int* result,
                                          BYTE digest[16], int* extra) override;
};
