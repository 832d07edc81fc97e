#pragma once
// Paths reach the user-list store in the system's narrow code page, in a
// field of 260 bytes. A path that does not fit, or that the code page cannot
// carry exactly, is never stored cut or mangled.

#include <string>
#include <string_view>

enum class StorePathResult { Ok, TooLong, NotRepresentable };

// The narrow form of a path for the store, in `narrow` when Ok.
StorePathResult ToStorePath(std::wstring_view path, std::string& narrow);

// A short English reason for a refused path.
const char* StorePathProblem(StorePathResult result);
