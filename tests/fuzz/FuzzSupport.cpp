// A failed check or a broken invariant of the code under test ends the run:
// abort() is a crash to libFuzzer, which then writes the input out.

#include "tests/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "common/Invariant.h"

void FuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s(%d): check failed: %s\n", file, line, condition);
    std::abort();
}

void InvariantBroken(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s(%d): invariant broken: %s\n", file, line, condition);
    std::abort();
}
