#pragma once
// The named points of a commit and a removal at which a test may hold the
// work until it lets it go, or make the store or the component fail there.
// Without a seam (the program) each point costs a test of one pointer.

#include <functional>

enum class WorkPoint {
    CommitStarted,    // a commit was called, before its first chunk's turn
    ChunkTurn,        // before a chunk asks for its turn (between chunks)
    ChunkWrite,       // in the chunk's turn, before its store transaction
    ChunkStored,      // the chunk is stored, not yet on the component's list
    CommitEndUpdate,  // before the commit ends the component's update
    RemovalTurn,      // a removal was called, before it asks for its turn
    RemovalEndUpdate, // off the component's list, before the update ends
    RemovalStore,     // off the component's saved lists, still in the store
};

enum class WorkFault {
    None,
    StoreFails,     // at ChunkWrite or RemovalStore: the store's write fails
    ComponentFails, // at CommitEndUpdate or RemovalEndUpdate: the save fails
};

// Called on the working thread at each point; what it returns happens there.
using WorkSeam = std::function<WorkFault(WorkPoint point)>;

// "ChunkStored" and so on: the names the kill driver takes.
const char* WorkPointName(WorkPoint point);
inline constexpr int kWorkPointCount = 8;
