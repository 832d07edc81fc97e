#pragma once
// ClamAV's MD5 hash signatures, as its .hdb (detect) and .fp (allow)
// databases hold them, one a line:
//
//   MD5:SIZE:NAME            the file of that MD5 and that size in bytes
//   MD5:*:NAME:73            the file of that MD5, any size; ClamAV takes a
//                            size of "*" only with a functionality level of
//                            at least 73 in the fourth field
//
// Names of the lists' entries carry the list: "UserWarden.Black.<file name>"
// and "UserWarden.Trusted.<file name>".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/ListKind.h"

inline constexpr char kClamTrustedPrefix[] = "UserWarden.Trusted.";
inline constexpr char kClamBlackPrefix[] = "UserWarden.Black.";

// A file name (UTF-8) made fit for a signature name: every character that
// ClamAV does not take or does not show on one line becomes "_": the field
// separator ":", control characters, and every non-ASCII character (ClamAV
// 1.4 aborts on a name that is not valid UTF-8, and older releases take
// ASCII only). An empty name becomes "_".
std::string ClamNameText(std::string_view fileNameUtf8);

// "UserWarden.Black.<name>" or "UserWarden.Trusted.<name>", the name made fit.
std::string ClamSignatureName(ListKind list, std::string_view fileNameUtf8);

// One line with its LF: "MD5:SIZE:NAME", or "MD5:*:NAME:73" without a size.
std::string ClamHashLine(std::string_view md5, std::optional<std::uint64_t> size,
                         std::string_view name);

struct ClamHashSignature {
    std::string md5; // as written (either case)
    std::string name;
};

// Reads "32 hex digits:(digits|*):name[:flevel[:flevel]]" (the line without
// its end); false for anything else.
bool ParseClamHashLine(std::string_view line, ClamHashSignature& signature);

// The list a signature name of ours names; none for other names.
std::optional<ListKind> ListOfClamName(std::string_view name);
