#pragma once
// Invariants: what this program's own code keeps true, checked where the
// code relies on it. A broken invariant is a fault of the program, never of
// its input or of the system (those are errors, and are reported as such).
//
// UW_INVARIANT(condition) always evaluates `condition` (keep it cheap) and
// calls InvariantBroken with its text and place when it is false. The
// library's InvariantBroken (Invariant.cpp, alone in its object, so that a
// program defining its own never links it) writes the text to the debugger's
// output; a debug build (NDEBUG not defined) then ends the program there, a
// release build goes on as it would without the check. Every test program
// defines its own (tests/support/InvariantFatal.cpp), which ends the test
// program with the text on standard error: each test checks every invariant
// its code passes.

void InvariantBroken(const char* condition, const char* file, int line);

#define UW_INVARIANT(condition)                                                                    \
    ((condition) ? static_cast<void>(0) : InvariantBroken(#condition, __FILE__, __LINE__))
