#include "intake/CActor.h"

#include <functional>

#include "tests/support/GTest.h"

namespace {

class FunctionActor : public IActorCallBack {
public:
    explicit FunctionActor(std::function<void(CActor*)> body) : m_body(std::move(body)) {}
    void Run(CActor* actor) override { m_body(actor); }

private:
    std::function<void(CActor*)> m_body;
};

} // namespace

TEST(CActor, StoppingAnActorThatNeverStartedDoesNothing) {
    CActor actor;
    EXPECT_EQ(0, actor.Stop());
    EXPECT_FALSE(actor.IsActorThread());
    EXPECT_FALSE(actor.WaitForStop(0));
}

TEST(CActor, TheBodyRunsOnItsOwnThreadUntilAskedToStop) {
    CActor actor;
    volatile LONG ranOnActorThread = 0;
    FunctionActor body([&](CActor* self) {
        if (self->IsActorThread())
            InterlockedExchange(&ranOnActorThread, 1);
        while (!self->WaitForStop(10)) {
        }
    });
    ASSERT_EQ(0, actor.Start(&body));
    EXPECT_FALSE(actor.IsActorThread());
    EXPECT_EQ(0, actor.Stop());
    EXPECT_EQ(1, ranOnActorThread);
    EXPECT_EQ(1, actor.LastStopRounds());
    // Restartable.
    ASSERT_EQ(0, actor.Start(&body));
    EXPECT_EQ(0, actor.Stop());
}

TEST(CActor, StopFromTheActorsOwnThreadFailsAndLeavesItRunning) {
    CActor actor;
    volatile LONG result = 1;
    FunctionActor body([&](CActor* self) {
        InterlockedExchange(&result, self->Stop());
        // The event is still there and set by that Stop.
        if (!self->WaitForStop(0))
            InterlockedExchange(&result, 2);
    });
    ASSERT_EQ(0, actor.Start(&body));
    EXPECT_EQ(0, actor.Stop());
    EXPECT_EQ(E_FAIL, result);
}

TEST(CActor, StopWaitsInRoundsForAThreadThatRunsLong) {
    CActor actor;
    FunctionActor body([](CActor*) { Sleep(12000); }); // ignores the stop event
    ASSERT_EQ(0, actor.Start(&body));
    const DWORD start = GetTickCount();
    EXPECT_EQ(0, actor.Stop());
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 11500u);
    EXPECT_LT(waited, 14000u);
    EXPECT_EQ(3, actor.LastStopRounds());
}
