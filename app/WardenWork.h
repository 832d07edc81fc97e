#pragma once
// What the main window's workers share with it: the processor, the state of
// its start, and the queues by which finished work comes back to the
// window's thread. Held by a shared pointer, so that a worker still ending
// when the window has gone touches nothing freed (the processor itself
// refuses calls once it is shut down, and posts to a window that is gone
// are dropped).

#include <memory>
#include <string>
#include <vector>

#include "app/OperatedRows.h"
#include "app/WardenMessages.h"
#include "common/CriticalSection.h"
#include "common/Handles.h"
#include "common/HandoverQueue.h"
#include "intake/FileProcessor.h"
#include "intake/IntakeWorkers.h"
#include "ui/windows/CoalescedUpdate.h"
#include "ui/windows/ListRowTable.h"

// A change of the operated tab, in the order the processor made it: a
// committed entry to place, or the end of a removal.
struct OperatedEvent {
    enum class Kind { Place, RemovalEnded };
    Kind kind = Kind::Place;
    OperatedEntry entry;    // Place: the entry; RemovalEnded: its MD5 and name
    RemovalOutcome outcome; // RemovalEnded
};

// The MD5s of a commit that has returned: rows of it not done go back.
struct EndedCommit {
    std::vector<std::string> md5s;
};

// What the start could not do besides finding the component and the store
// usable: read every stored entry, bring the component in step.
struct StartReport {
    bool storeUnreadable = false;
    bool reconcileFailed = false;
    bool Ok() const { return !storeUnreadable && !reconcileFailed; }
};

struct WardenWork {
    FileProcessor processor;
    BusyFlag dropBusy;
    BusyFlag pickBusy;
    // Set once the processor is initialised, the store read and the
    // component reconciled with it.
    UniqueHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CriticalSection loadedLock;
    std::unique_ptr<ListRowTable> loadedRows; // handed to the window's thread
    StartReport startReport;                  // under loadedLock
    HandoverQueue<OperatedEvent> operatedEvents;
    CoalescedUpdate operatedUpdate{WardenMessage::kOperatedEvents, 0, WardenTimer::kOperatedEvents};
    HandoverQueue<EndedCommit> endedCommits[2];

    void WaitUntilReady() const { WaitForSingleObject(ready.Get(), INFINITE); }
    bool IsReady() const { return WaitForSingleObject(ready.Get(), 0) == WAIT_OBJECT_0; }
};
