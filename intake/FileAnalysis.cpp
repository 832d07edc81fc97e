#include "intake/FileAnalysis.h"

#include <cstring>

#include "intake/Digest.h"

namespace {

bool FitsRecord(const std::wstring& path) {
    return path.size() < MAX_PATH;
}

} // namespace

void AnalyseWith(IFileDetector& detector, FileAnalysis& analysis) {
    if (!FitsRecord(analysis.path)) {
        analysis.result = static_cast<int>(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
        std::memset(analysis.digest, 0, sizeof analysis.digest);
        analysis.extra = 0;
        return;
    }
    detector.AnalyseFile(analysis.path.c_str(), 0, &analysis.result, analysis.digest,
                         &analysis.extra);
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
}
