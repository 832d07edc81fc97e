#pragma once
// What a removal does, decided from what the store and the component hold
// when its turn comes: plain data, no component and no store.

#include "intake/SignatureListKind.h"

enum class RemovalDecision {
    Go,        // change what the plan says
    NotOnList, // the list asked for no longer holds the MD5: change nothing
    NotHeld,   // no list holds it: change nothing
};

struct RemovalPlan {
    RemovalDecision decision = RemovalDecision::Go;
    ListSet targets;         // the lists it is taken off
    ListSet storeTargets;    // the store's tables it is deleted from
    ListSet componentRemove; // the component's lists it is removed from
    // The list the component is to hold it on afterwards because the store
    // still has it there (kSignatureNone: none to add).
    SignatureListKind componentAdd = kSignatureNone;
    ListSet storedAfter; // the tables that hold it afterwards
    // The list the component held it on before (to put it back on a failure).
    SignatureListKind componentBefore = kSignatureNone;
};

// `named`: the list the user confirmed, or kSignatureNone for every list
// that holds it. `stored`: the store's tables that hold it. `held`: the
// component's list when it offers a lookup (`hasLookup`). Without a lookup
// the component is asked to remove it from each list the removal acts on
// (a list that does not hold it has nothing to remove) and is taken to hold
// it where the store's tables put it.
RemovalPlan PlanRemoval(SignatureListKind named, const ListSet& stored, SignatureListKind held,
                        bool hasLookup);
