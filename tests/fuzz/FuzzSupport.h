#pragma once
// What the fuzz harnesses share: a check that ends the run as a finding, with
// the text of what failed, so that libFuzzer saves the input that broke it.

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] void FuzzCheckFailed(const char* condition, const char* file, int line);
