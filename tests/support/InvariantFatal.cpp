// The test programs' InvariantBroken: a broken invariant ends the test
// program at once, naming the invariant and the test that ran, whatever the
// build (the library's goes on in a release build).

#include <cstdio>
#include <cstdlib>

#include "common/Invariant.h"
#include "tests/support/GTest.h"

void InvariantBroken(const char* condition, const char* file, int line) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "%s(%d): invariant broken: %s (in %s.%s)\n", file, line, condition,
                 test ? test->test_suite_name() : "-", test ? test->name() : "-");
    std::fflush(stderr);
    std::abort();
}
