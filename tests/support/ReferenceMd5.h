#pragma once
// MD5 (and SHA-256) texts computed independently of the project's own code: on Windows
// through the platform's CryptoAPI provider (ReferenceMd5.cpp); in the native
// build by ReferenceMd5Plain.cpp, which has only ReferenceMd5OfBytes.

#include <string>

namespace testsupport {

std::string ReferenceMd5OfBytes(const void* data, unsigned size);
// Empty when the file cannot be read.
std::string ReferenceMd5OfFile(const std::wstring& path);
// The SHA-256 text (64 lower-case hex digits) of the file; Windows only.
std::string ReferenceSha256OfFile(const std::wstring& path);

} // namespace testsupport
