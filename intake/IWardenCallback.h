#pragma once
// How the file processor reports to its owner. The slot order is fixed; no
// caller reads the results.

#include "intake/FileAnalysisRecord.h"

// Codes of OnError.
// The component refused to begin an update, or is missing.
inline constexpr int kComponentFailed = -1;
// A commit's store transaction failed (the store locked past its busy
// timeout, a full disk, ...): that part is neither stored nor sent to the
// component, and the commit stops.
inline constexpr int kStoreWriteFailed = -2;
// A committed file's path does not fit the store (260 bytes or more): the
// file is left out, neither stored nor sent to the component.
inline constexpr int kPathNotStorable = -3;
// The detection component could not be loaded when the processor started
// (FileProcessor::ComponentFailure says why): nothing can be committed.
inline constexpr int kComponentMissing = -4;
// The component could not save its lists when a commit's update ended: the
// files are stored, and the next start puts them on the component's lists.
inline constexpr int kComponentNotSaved = -5;

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

// A receiver that ignores every report: a receiver that needs a few of them
// overrides only those.
class WardenCallbackBase : public IWardenCallback {
public:
    int Reserved0() override { return 0; }
    int OnFileAnalysed(const FileAnalysisRecord*) override { return 0; }
    int Reserved2(int) override { return 0; }
    int OnTrustedItemBegin(const char*) override { return 0; }
    int OnBlackItemBegin(const char*) override { return 0; }
    int OnTrustedItemDone(const char*) override { return 0; }
    int OnBlackItemDone(const char*) override { return 0; }
    int OnTrustedBatchDone(int) override { return 0; }
    int OnBlackBatchDone(int) override { return 0; }
    int OnError(int) override { return 0; }

protected:
    ~WardenCallbackBase() = default;
};
