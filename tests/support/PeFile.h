#pragma once
// A small file that passes the component's standard PE test (MZ, PE
// signature, x86-64 machine, PE32+ magic), followed by a payload that makes
// its MD5 its own.

#include <string>

namespace testsupport {

// Writes the file and returns its bytes.
std::string WritePeFile(const std::wstring& path, const std::string& payload);

} // namespace testsupport
