#include "tests/e2e/ReaderEvents.h"

#include <oleacc.h>

#include "common/Handles.h"
#include "common/TextConvert.h"
#include "tests/e2e/ReaderTree.h"

namespace {

// Waits up to `ms` for a message, then handles every message queued.
void PumpFor(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

ProcessEvents::ProcessEvents(DWORD processId) : WinEventRecorder(EVENT_MIN, EVENT_MAX, processId) {
    if (!Hooked())
        throw ReaderFailure(L"SetWinEventHook failed with " + std::to_wstring(GetLastError()));
}

void WaitUntil(const std::wstring& what, double seconds,
               const std::function<std::wstring()>& mismatch) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    for (;;) {
        std::wstring last;
        try {
            last = mismatch();
        } catch (const ReaderFailure& failure) {
            last = Utf8ToWide(failure.what()); // not there yet, or gone meanwhile
        }
        if (last.empty())
            return;
        if (GetTickCount64() >= end)
            throw ReaderFailure(what + L": not within " +
                                std::to_wstring(static_cast<int>(seconds)) + L" s: " + last);
        PumpFor(50);
    }
}

DWORD RunProgram(const std::wstring& commandLine, double seconds) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        throw ReaderFailure(L"cannot start " + commandLine + L": error " +
                            std::to_wstring(GetLastError()));
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    WaitUntil(L"the end of " + commandLine, seconds, [&process] {
        return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0 ? L"" : L"still running";
    });
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return code;
}

ReaderFacts ReadEventSource(const testsupport::HeardEvent& event) {
    ComPtr<IAccessible> object;
    VARIANT child;
    VariantInit(&child);
    const HRESULT hr =
        AccessibleObjectFromEvent(event.window, static_cast<DWORD>(event.object),
                                  static_cast<DWORD>(event.child), object.GetAddressOf(), &child);
    ReaderFacts unreadable;
    if (FAILED(hr) || !object || child.vt != VT_I4) {
        unreadable.name = L"(AccessibleObjectFromEvent failed with " + std::to_wstring(hr) + L")";
        return unreadable;
    }
    try {
        return ReaderElement(object, child.lVal).Read();
    } catch (const ReaderFailure& failure) {
        unreadable.name = L"(cannot be read: " + Utf8ToWide(failure.what()) + L")";
        return unreadable;
    }
}
