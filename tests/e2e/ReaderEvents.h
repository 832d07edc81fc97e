#pragma once
// What a screen reader hears of another process, and waiting for it: the
// WinEvents the process raises, hooked out of context. Such a hook's calls
// arrive through this thread's message queue, so every wait here pumps it.

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "tests/support/WinEventRecorder.h"

// Every WinEvent of a process, heard from now while it lives (a failure
// when the hook cannot be set).
class ProcessEvents : public testsupport::WinEventRecorder {
public:
    explicit ProcessEvents(DWORD processId);
};

// Asks `mismatch` every 50 ms, pumping this thread's messages between, until
// it answers nothing (done) or `seconds` pass: then a ReaderFailure saying
// what was awaited and the last answer. A ReaderFailure `mismatch` throws
// counts as its answer.
void WaitUntil(const std::wstring& what, double seconds,
               const std::function<std::wstring()>& mismatch);

// Runs a program with this command line and waits for it (pumping), at most
// `seconds`; its exit code.
DWORD RunProgram(const std::wstring& commandLine, double seconds);

struct ReaderFacts;

// The element an event names (AccessibleObjectFromEvent), read as it is
// now; role 0 and the failure as its name when it cannot be read.
ReaderFacts ReadEventSource(const testsupport::HeardEvent& event);
