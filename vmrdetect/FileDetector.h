#pragma once
// IFileDetector: the MD5 of a standard PE image, read in large chunks, or
// the zero digest for anything else.

#include "intake/DetectionComponent.h"
#include "vmrdetect/ComObject.h"

// Analyses one file without any object: what AnalyseFile does.
HRESULT AnalyseFileAt(const wchar_t* path, BYTE digest[16], int* extra);

class FileDetector : public ComObject<IFileDetector, IID_IFileDetector> {
public:
    HRESULT STDMETHODCALLTYPE AnalyseFile(const wchar_t* path, int reserved, int* result,
                                          BYTE digest[16], int* extra) override;
};
