#pragma once
// Turns at the component's lists and the store, given in the order they are
// asked for: a commit asks for one turn per chunk and a removal for one, so
// a removal asked for while a chunk runs comes after that chunk and before
// the commit's next one, whichever threads they run on.

#include "common/CriticalSection.h"

class ListTurns {
public:
    ListTurns() = default;
    ListTurns(const ListTurns&) = delete;
    ListTurns& operator=(const ListTurns&) = delete;

    // Holds a turn for its lifetime; waits for every turn asked for before.
    class Turn {
    public:
        explicit Turn(ListTurns& turns);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        ListTurns& m_turns;
        unsigned long long m_ticket;
    };

    // Asked from within a turn: whether another caller has asked for one
    // since, and waits.
    bool Waiting() const;

private:
    mutable CriticalSection m_lock;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    unsigned long long m_next = 0;    // the ticket the next caller takes
    unsigned long long m_serving = 0; // the ticket whose turn it is
};
