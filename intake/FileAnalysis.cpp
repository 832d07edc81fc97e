#include "intake/FileAnalysis.h"

#include <cstring>

#include "common/Handles.h"
#include "intake/Digest.h"
#include "intake/FileFacts.h"

namespace {

bool FitsRecord(const std::wstring& path) {
    return path.size() < MAX_PATH;
}

bool IsZero(const BYTE (&digest)[16]) {
    for (const BYTE byte : digest) {
        if (byte != 0)
            return false;
    }
    return true;
}

DWORD ErrorOrFailure() {
    const DWORD error = GetLastError();
    return error == 0 ? ERROR_READ_FAULT : error;
}

} // namespace

DWORD ReadabilityError(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return ErrorOrFailure();
    char first;
    DWORD got = 0;
    if (!ReadFile(file.Get(), &first, 1, &got, nullptr))
        return ErrorOrFailure();
    return 0;
}

void AnalyseWith(IFileDetector& detector, FileAnalysis& analysis, bool readFacts) {
    analysis.readError = 0;
    if (!FitsRecord(analysis.path)) {
        analysis.result = static_cast<int>(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
        std::memset(analysis.digest, 0, sizeof analysis.digest);
        analysis.extra = 0;
        return;
    }
    detector.AnalyseFile(analysis.path.c_str(), 0, &analysis.result, analysis.digest,
                         &analysis.extra);
    if (IsZero(analysis.digest)) {
        analysis.readError = ReadabilityError(analysis.path);
        return;
    }
    if (readFacts) {
        auto facts = std::make_shared<EntryFacts>();
        // A file changed or locked since the component read it keeps what
        // was learnt; its MD5 stands as the component gave it.
        ReadFileFacts(analysis.path, *facts);
        analysis.facts = std::move(facts);
    }
}

void FillRecord(const FileAnalysis& analysis, FileAnalysisRecord& record) {
    std::memset(&record, 0, sizeof record);
    if (!FitsRecord(analysis.path)) {
        // Refused whole, never cut.
        std::memcpy(record.md5, ZeroDigest, sizeof record.md5);
        record.longPath = analysis.path.c_str();
        return;
    }
    char text[33] = {};
    BytesToHex(analysis.digest, sizeof analysis.digest, text);
    std::memcpy(record.md5, text, sizeof record.md5);
    lstrcpynW(record.path, analysis.path.c_str(), MAX_PATH);
    record.extra = analysis.extra;
    record.readError = analysis.readError;
    record.facts = analysis.facts.get();
}
