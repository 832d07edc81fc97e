#pragma once
// Small text files through which the driver and the benchmark script
// hand each other points and instants.

#include <optional>
#include <string>

// Written whole under a temporary name and then renamed, so that a reader
// polling for the file never sees half of it.
bool WriteTextFile(const std::wstring& path, const std::string& text);
std::optional<std::string> ReadTextFile(const std::wstring& path);
// The file's first number ("1765201234.125"); nothing when the file is
// missing or does not start with one.
std::optional<double> ReadNumberFile(const std::wstring& path);
