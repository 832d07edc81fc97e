#pragma once
// How the file processor reports to its owner. The slot order is fixed; no
// caller reads the results.

#include "intake/FileAnalysisRecord.h"

class IWardenCallback {
public:
    virtual int Reserved0() = 0;
    virtual int OnFileAnalysed(const FileAnalysisRecord* record) = 0;
    virtual int Reserved2(int value) = 0;
    virtual int OnTrustedItemBegin(const char* md5) = 0;
    virtual int OnBlackItemBegin(const char* md5) = 0;
    virtual int OnTrustedItemDone(const char* md5) = 0;
    virtual int OnBlackItemDone(const char* md5) = 0;
    virtual int OnTrustedBatchDone(int count) = 0;
    virtual int OnBlackBatchDone(int count) = 0;
    virtual int OnError(int code) = 0;

protected:
    ~IWardenCallback() = default;
};
