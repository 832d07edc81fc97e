#include "intake/RemovalPlan.h"

RemovalPlan PlanRemoval(SignatureListKind named, const ListSet& stored, SignatureListKind held,
                        bool hasLookup) {
    RemovalPlan plan;
    plan.storedAfter = stored;
    plan.componentBefore = hasLookup ? held : stored.Dominant();
    if (named != kSignatureNone) {
        // Only the list asked for, and only while it holds the file: the
        // store's table, or the component's list when it says.
        if (!stored.Has(named) && held != named) {
            plan.decision = RemovalDecision::NotOnList;
            return plan;
        }
        plan.targets.Add(named);
    } else {
        plan.targets = stored;
        plan.targets.Add(held);
        if (!plan.targets.Any()) {
            plan.decision = RemovalDecision::NotHeld;
            return plan;
        }
    }
    plan.storeTargets =
        ListSet{plan.targets.trusted && stored.trusted, plan.targets.black && stored.black};
    plan.componentRemove = plan.targets;
    if (hasLookup) {
        plan.componentRemove = ListSet{};
        plan.componentRemove.Add(plan.targets.Has(held) ? held : kSignatureNone);
    }
    plan.storedAfter = stored.Without(plan.storeTargets);
    // A file the store also holds on the other list stays on it.
    const SignatureListKind stays = plan.storedAfter.Dominant();
    if (stays != kSignatureNone && (!hasLookup || held != stays))
        plan.componentAdd = stays;
    return plan;
}
