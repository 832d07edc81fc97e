// The ordered pool on its own, with work of random length in place of
// analyses. Built for Windows and, natively, under the thread sanitizer.

#include "intake/OrderedPool.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "common/CriticalSection.h"
#include "tests/support/GTest.h"

namespace {

struct Job {
    int index;
    unsigned spin; // how long the work takes
    bool sleeps;   // and whether it sleeps too
};

// What the work saw, shared by the pool's threads.
class WorkLog {
public:
    void Begin() {
        ScopedLock lock(m_lock);
        ++m_started;
        ++m_running;
        m_mostRunning = std::max(m_mostRunning, m_running);
        m_threads.insert(std::this_thread::get_id());
    }
    void End(int index) {
        ScopedLock lock(m_lock);
        --m_running;
        m_finishOrder.push_back(index);
    }
    int Started() {
        ScopedLock lock(m_lock);
        return m_started;
    }
    int Running() {
        ScopedLock lock(m_lock);
        return m_running;
    }
    int MostRunning() {
        ScopedLock lock(m_lock);
        return m_mostRunning;
    }
    std::size_t Threads() {
        ScopedLock lock(m_lock);
        return m_threads.size();
    }
    std::vector<int> FinishOrder() {
        ScopedLock lock(m_lock);
        return m_finishOrder;
    }

private:
    CriticalSection m_lock;
    int m_started = 0;
    int m_running = 0;
    int m_mostRunning = 0;
    std::set<std::thread::id> m_threads;
    std::vector<int> m_finishOrder;
};

void DoWork(WorkLog& log, Job& job) {
    log.Begin();
    volatile unsigned sink = 0;
    for (unsigned i = 0; i < job.spin; ++i)
        sink = sink + i;
    if (job.sleeps)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    log.End(job.index);
}

std::vector<Job> RandomJobs(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<unsigned> spin(0, 40000);
    std::vector<Job> jobs;
    for (int i = 0; i < count; ++i)
        jobs.push_back(Job{i, spin(random), random() % 8 == 0});
    return jobs;
}

bool IsSorted(const std::vector<int>& order) {
    return std::is_sorted(order.begin(), order.end());
}

} // namespace

TEST(OrderedPool, HandsEveryJobBackInSubmissionOrderOnTheSubmittingThread) {
    for (const std::size_t window : {std::size_t{1}, std::size_t{3}, std::size_t{32}}) {
        WorkLog log;
        std::vector<int> delivered;
        const std::thread::id submitter = std::this_thread::get_id();
        bool deliveredElsewhere = false;
        OrderedPool<Job> pool(
            4, window, [&log](Job& job) { DoWork(log, job); },
            [&](Job& job) {
                delivered.push_back(job.index);
                deliveredElsewhere |= std::this_thread::get_id() != submitter;
                return true;
            });
        std::size_t mostInFlight = 0;
        const std::vector<Job> jobs = RandomJobs(1500, static_cast<unsigned>(window));
        for (const Job& job : jobs) {
            ASSERT_TRUE(pool.Submit(job));
            mostInFlight =
                std::max(mostInFlight, static_cast<std::size_t>(job.index) + 1 - delivered.size());
        }
        pool.Finish();

        ASSERT_EQ(jobs.size(), delivered.size()) << window;
        EXPECT_TRUE(IsSorted(delivered)) << window;
        EXPECT_FALSE(deliveredElsewhere) << window;
        EXPECT_LE(mostInFlight, window);
        EXPECT_LE(log.MostRunning(), 4);
        if (window > 1) {
            // The work really ran side by side and finished out of order.
            EXPECT_GE(log.MostRunning(), 2) << window;
            EXPECT_GE(log.Threads(), 2u) << window;
            EXPECT_FALSE(IsSorted(log.FinishOrder())) << window;
        }
    }
}

TEST(OrderedPool, ADeliveryThatSaysStopEndsTheRunAndNothingRunsAfter) {
    WorkLog log;
    std::vector<int> delivered;
    OrderedPool<Job> pool(
        3, 24, [&log](Job& job) { DoWork(log, job); },
        [&delivered](Job& job) {
            delivered.push_back(job.index);
            return job.index < 10;
        });
    int refused = 0;
    for (const Job& job : RandomJobs(400, 7))
        refused += pool.Submit(job) ? 0 : 1;
    pool.Finish();

    std::vector<int> expected(11);
    for (int i = 0; i <= 10; ++i)
        expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(expected, delivered);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(0, log.Running());
    const int started = log.Started();
    EXPECT_LT(started, 400);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(started, log.Started());
}

TEST(OrderedPool, CancelWaitsForRunningWorkDropsTheRestAndHandsNothingBack) {
    WorkLog log;
    int delivered = 0;
    OrderedPool<Job> pool(
        2, 16,
        [&log](Job& job) {
            log.Begin();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            log.End(job.index);
        },
        [&delivered](Job&) {
            ++delivered;
            return true;
        });
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(pool.Submit(Job{i, 0, false}));
    while (log.Started() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    pool.Cancel();
    EXPECT_EQ(0, log.Running());
    EXPECT_EQ(2, log.Started());
    EXPECT_EQ(2u, log.FinishOrder().size());
    EXPECT_EQ(0, delivered);
    EXPECT_EQ(0u, pool.ThreadCount());
    EXPECT_FALSE(pool.Submit(Job{8, 0, false}));
    pool.Finish();
    EXPECT_EQ(0, delivered);
}

TEST(OrderedPool, ThreadsStartAsJobsArriveUpToTheLimit) {
    WorkLog log;
    OrderedPool<Job> pool(
        3, 8, [&log](Job& job) { DoWork(log, job); }, [](Job&) { return true; });
    EXPECT_EQ(0u, pool.ThreadCount());
    pool.Submit(Job{0, 0, false});
    EXPECT_EQ(1u, pool.ThreadCount());
    for (int i = 1; i < 20; ++i)
        pool.Submit(Job{i, 100, false});
    EXPECT_EQ(3u, pool.ThreadCount());
    pool.Finish();
    EXPECT_EQ(20, log.Started());
}

TEST(OrderedPool, AFullWindowIsHandedBackInBatchesNotJobByJob) {
    // Work far slower than submitting keeps the window full: the submitter
    // then sleeps until half of it is done and hands that half back at once.
    // Each hand-back is told by how many jobs had been submitted by then.
    constexpr int kJobs = 300;
    constexpr std::size_t kWindow = 32;
    int submitted = 0;
    std::vector<int> submittedAtHandBack;
    std::vector<int> delivered;
    OrderedPool<Job> pool(
        2, kWindow, [](Job&) { std::this_thread::sleep_for(std::chrono::milliseconds(2)); },
        [&](Job& job) {
            delivered.push_back(job.index);
            submittedAtHandBack.push_back(submitted);
            return true;
        });
    for (int i = 0; i < kJobs; ++i) {
        ASSERT_TRUE(pool.Submit(Job{i, 0, false}));
        ++submitted;
    }
    pool.Finish();

    ASSERT_EQ(static_cast<std::size_t>(kJobs), delivered.size());
    EXPECT_TRUE(IsSorted(delivered));
    const std::set<int> handBacks(submittedAtHandBack.begin(), submittedAtHandBack.end());
    // Job by job there would be one hand-back for nearly every job; in
    // batches of half a window, about kJobs / 16.
    EXPECT_LE(handBacks.size(), static_cast<std::size_t>(kJobs / 4));
}

TEST(OrderedPool, JobsFinishedBeforeALongOneAreHandedBackWithoutWaitingForIt) {
    // The window of 8 fills at once, and the submitter waits for job 3,
    // whose hand-back brings it down to half; job 3 runs long, while jobs 0
    // to 2 end soon after the wait began. They come back soon, not when job
    // 3 ends.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto msSinceStart = [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    std::vector<std::pair<int, long long>> delivered; // index, milliseconds since start
    OrderedPool<Job> pool(
        2, 8,
        [](Job& job) {
            if (job.index < 3)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            else if (job.index == 3)
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        },
        [&](Job& job) {
            delivered.emplace_back(job.index, msSinceStart());
            return true;
        });
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(pool.Submit(Job{i, 0, false}));
    pool.Finish();

    ASSERT_EQ(12u, delivered.size());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(i, delivered[static_cast<std::size_t>(i)].first);
    EXPECT_LT(delivered[2].second, 750);
    EXPECT_GE(delivered[3].second, 1500);
}
