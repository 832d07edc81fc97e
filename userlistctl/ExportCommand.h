#pragma once
// userlistctl export csv|hdb|fp [trusted|black] [-o FILE]: the stored lists
// as a CSV of file-hash indicators (both lists unless one is named), or as
// ClamAV MD5 hash signatures: a detect database (.hdb, the blacklist unless
// named) or a false-positive database (.fp, the whitelist unless named).

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "intake/FileProcessor.h"

enum class ExportFormat { Csv, ClamDetect, ClamAllow };

struct ExportRequest {
    ExportFormat format = ExportFormat::Csv;
    std::vector<ListKind> lists; // in the order they are written
    std::wstring outputArgument; // -o FILE as given; empty for standard output
    std::wstring outputPath;
};

// "FORMAT [trusted|black] [-o FILE]"; false with `problem` set.
bool ParseExportArguments(const std::vector<std::wstring>& operands, ExportRequest& request,
                          std::string& problem);

// Writes the export to `out`, or to the file (replaced whole, never left
// half written). Returns the exit code.
int RunExport(FileProcessor& processor, const ExportRequest& request, std::ostream& out,
              std::ostream& err);
