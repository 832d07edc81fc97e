#pragma once
// A seam for the file processor's named work points: it holds a commit or
// a removal at one point until the test lets it go, and makes the store or
// the component fail at a point, so that a test decides who goes first
// without sleeping.

#include <map>
#include <utility>

#include <windows.h>

#include "common/CriticalSection.h"
#include "common/Handles.h"
#include "intake/WorkSeam.h"

namespace testsupport {

class WorkGate {
public:
    // The `nth` time from now (counting from 1) work reaches `point` it
    // waits there until Release. One hold at a time.
    void HoldAt(WorkPoint point, int nth = 1) {
        ScopedLock lock(m_lock);
        m_hold = {point, m_counts[point] + nth};
        ResetEvent(m_held.Get());
        ResetEvent(m_released.Get());
    }
    // The `nth` time from now work reaches `point`, `fault` happens there.
    void FailAt(WorkPoint point, WorkFault fault, int nth = 1) {
        ScopedLock lock(m_lock);
        m_faults[{point, m_counts[point] + nth}] = fault;
    }
    // True once work waits at the held point.
    bool WaitHeld(DWORD milliseconds = 20000) const {
        return WaitForSingleObject(m_held.Get(), milliseconds) == WAIT_OBJECT_0;
    }
    void Release() { SetEvent(m_released.Get()); }
    int Reached(WorkPoint point) const {
        ScopedLock lock(m_lock);
        const auto found = m_counts.find(point);
        return found == m_counts.end() ? 0 : found->second;
    }

    // For FileProcessor::SetWorkSeam; the gate outlives the processor's work.
    WorkSeam Seam() {
        return [this](WorkPoint point) { return Arrive(point); };
    }

private:
    WorkFault Arrive(WorkPoint point) {
        bool hold;
        WorkFault fault = WorkFault::None;
        {
            ScopedLock lock(m_lock);
            const int count = ++m_counts[point];
            hold = m_hold.first == point && m_hold.second == count;
            const auto found = m_faults.find({point, count});
            if (found != m_faults.end())
                fault = found->second;
        }
        if (hold) {
            SetEvent(m_held.Get());
            WaitForSingleObject(m_released.Get(), INFINITE);
        }
        return fault;
    }

    mutable CriticalSection m_lock;
    std::pair<WorkPoint, int> m_hold{WorkPoint::CommitStarted, 0};
    std::map<std::pair<WorkPoint, int>, WorkFault> m_faults;
    std::map<WorkPoint, int> m_counts;
    UniqueHandle m_held{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle m_released{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

} // namespace testsupport
