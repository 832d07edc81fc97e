// What a removal takes off store and component, decided from what they hold
// when its turn comes, with a component that answers which list holds an
// MD5 and with one that offers its contract only.

#include "intake/RemovalPlan.h"
#include "tests/support/GTest.h"

namespace {

constexpr SignatureListKind T = kSignatureTrusted;
constexpr SignatureListKind B = kSignatureBlack;
constexpr SignatureListKind None = kSignatureNone;
const ListSet kNone{false, false};
const ListSet kT{true, false};
const ListSet kB{false, true};
const ListSet kBoth{true, true};

bool Same(const ListSet& a, const ListSet& b) {
    return a.trusted == b.trusted && a.black == b.black;
}

struct Case {
    const char* what;
    SignatureListKind named;
    ListSet stored;
    SignatureListKind held;
    bool lookup;
    RemovalDecision decision;
    ListSet storeTargets, componentRemove;
    SignatureListKind componentAdd;
    ListSet storedAfter;
};

} // namespace

TEST(RemovalPlan, ActsOnTheListAskedForWhileItHoldsTheFileAndKeepsTheOther) {
    const Case cases[] = {
        {"confirmed and held", T, kT, T, true, RemovalDecision::Go, kT, kT, None, kNone},
        {"moved to the other list meanwhile", T, kB, B, true, RemovalDecision::NotOnList, kNone,
         kNone, None, kB},
        {"moved, no lookup", T, kB, None, false, RemovalDecision::NotOnList, kNone, kNone, None,
         kB},
        {"only the component holds it", T, kNone, T, true, RemovalDecision::Go, kNone, kT, None,
         kNone},
        {"both tables, black confirmed", B, kBoth, B, true, RemovalDecision::Go, kB, kB, T, kT},
        {"both tables, black confirmed, no lookup", B, kBoth, None, false, RemovalDecision::Go, kB,
         kB, T, kT},
        {"both tables, trusted confirmed", T, kBoth, B, true, RemovalDecision::Go, kT, kNone, None,
         kB},
        {"both tables, none named, no lookup", None, kBoth, None, false, RemovalDecision::Go, kBoth,
         kBoth, None, kNone},
        {"held nowhere", None, kNone, None, true, RemovalDecision::NotHeld, kNone, kNone, None,
         kNone},
        {"none named, only the component", None, kNone, B, true, RemovalDecision::Go, kNone, kB,
         None, kNone},
        {"stored, the component lost it", T, kT, None, true, RemovalDecision::Go, kT, kNone, None,
         kNone},
    };
    for (const Case& c : cases) {
        const RemovalPlan plan = PlanRemoval(c.named, c.stored, c.held, c.lookup);
        EXPECT_EQ(c.decision, plan.decision) << c.what;
        EXPECT_TRUE(Same(c.storedAfter, plan.storedAfter)) << c.what;
        if (plan.decision != RemovalDecision::Go)
            continue;
        EXPECT_TRUE(Same(c.storeTargets, plan.storeTargets)) << c.what;
        EXPECT_TRUE(Same(c.componentRemove, plan.componentRemove)) << c.what;
        EXPECT_EQ(c.componentAdd, plan.componentAdd) << c.what;
    }
}

TEST(RemovalPlan, AFailureRestoresWhatTheComponentHeldOrWhatTheStorePutThere) {
    EXPECT_EQ(B, PlanRemoval(T, kBoth, B, true).componentBefore);
    EXPECT_EQ(None, PlanRemoval(T, kT, None, true).componentBefore);
    EXPECT_EQ(B, PlanRemoval(T, kBoth, None, false).componentBefore); // the blacklist wins
    EXPECT_EQ(T, PlanRemoval(T, kT, None, false).componentBefore);
}
