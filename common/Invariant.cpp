#include "common/Invariant.h"

#include <cstdio>
#include <cstdlib>

#include <windows.h>

void InvariantBroken(const char* condition, const char* file, int line) {
    char text[1024];
    std::snprintf(text, sizeof text, "%s(%d): invariant broken: %s\n", file, line, condition);
    OutputDebugStringA(text);
#ifndef NDEBUG
    std::fputs(text, stderr);
    std::abort();
#endif
}
