#pragma once
// Runs one piece of work on each job of a sequence on a few threads, and hands
// the finished jobs back on the thread that submits them, in the order they
// were submitted. At most `window` jobs are in flight (queued, running, or
// finished and waiting for the ones before them), so memory stays bounded
// however long the sequence. Threads are started as jobs arrive, up to the
// limit, and end with the pool.
//
// One thread submits and receives; the pool's threads touch only the job
// they took. The queue, the positions and the done marks belong to the lock.
// The lock, its conditions and the threads are those of common/SlimSync.h
// (the slim kernel ones on Windows).

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "common/Invariant.h"
#include "common/SlimSync.h"

template <typename Job> class OrderedPool {
public:
    using Work = std::function<void(Job&)>; // on a pool thread
    // On the submitting thread, in submission order; false ends the run
    // (as Cancel does).
    using Deliver = std::function<bool(Job&)>;

    OrderedPool(unsigned threads, std::size_t window, Work work, Deliver deliver)
        : m_maxThreads(threads == 0 ? 1 : threads), m_window(window == 0 ? 1 : window),
          m_work(std::move(work)), m_deliver(std::move(deliver)) {}
    ~OrderedPool() { Cancel(); }
    OrderedPool(const OrderedPool&) = delete;
    OrderedPool& operator=(const OrderedPool&) = delete;

    // Hands back the finished jobs at the head of the order, then queues
    // `job`. A full window is first handed back down to half of it: the
    // submitter then sleeps once for many jobs, not once for every job, and
    // the threads still have half a window queued meanwhile. False when the
    // run has ended: the job is dropped.
    bool Submit(Job job) {
        HandBack(m_window - 1, m_window / 2);
        if (m_ended)
            return false;
        if (!StartThreadIfNeeded()) {
            // No thread at all could be made: the submitter does the work.
            m_work(job);
            SlimLockHolder lock(m_lock);
            m_slots.push_back(Slot{std::move(job), true});
            ++m_nextToStart;
            return true;
        }
        bool idle;
        {
            SlimLockHolder lock(m_lock);
            m_slots.push_back(Slot{std::move(job), false});
            idle = m_idleThreads != 0;
        }
        // Waking costs a system call even when nobody waits.
        if (idle)
            m_queued.WakeOne();
        return true;
    }

    // Hands back every job in flight.
    void Finish() { HandBack(0, 0); }

    // Ends the run: jobs not yet started are dropped, running ones are waited
    // for, nothing more is handed back, and the threads end.
    void Cancel() {
        m_ended = true;
        {
            SlimLockHolder lock(m_lock);
            m_stopping = true;
        }
        m_queued.WakeAll();
        for (const std::unique_ptr<JoinableThread>& thread : m_threads)
            thread->Join();
        m_threads.clear();
        SlimLockHolder lock(m_lock);
        m_slots.clear();
        m_nextToStart = 0;
    }

    // Threads started so far.
    std::size_t ThreadCount() const { return m_threads.size(); }

private:
    struct Slot {
        Job job;
        bool done;
    };

    // The longest a finished job waits at the head of the order for the
    // submitter to wake (about as often as the window redraws its lists).
    static constexpr unsigned kHandBackWaitMs = 50;

    static void ThreadMain(void* self) { static_cast<OrderedPool*>(self)->RunJobs(); }

    void RunJobs() {
        SlimLockHolder lock(m_lock);
        for (;;) {
            while (!m_stopping && m_nextToStart == m_slots.size()) {
                ++m_idleThreads;
                m_queued.Sleep(m_lock);
                --m_idleThreads;
            }
            if (m_stopping)
                return;
            // A slot's place in the deque stays put while the front is
            // removed or the back grows.
            Slot& slot = m_slots[m_nextToStart++];
            m_lock.Release();
            m_work(slot.job);
            m_lock.Acquire();
            slot.done = true;
            if (&slot == m_awaited)
                m_finished.WakeOne();
        }
    }

    // One more thread while fewer than the limit run; false when there is
    // none at all and none could be made.
    bool StartThreadIfNeeded() {
        if (m_threads.size() < m_maxThreads) {
            auto thread = std::make_unique<JoinableThread>(ThreadMain, this);
            if (thread->Started())
                m_threads.push_back(std::move(thread));
        }
        return !m_threads.empty();
    }

    // Hands back finished jobs from the head of the order. Once more than
    // `most` jobs are in flight it goes on, waiting as needed, until no more
    // than `resume` (at most `most`) are. It waits for the job whose hand-back
    // brings the count down to `resume` (or for the head, when that one is
    // done already), so that one wake-up hands back many jobs. A wait ends
    // after kHandBackWaitMs all the same: jobs finished ahead of a long one
    // are not held back until it ends.
    void HandBack(std::size_t most, std::size_t resume) {
        bool draining = false;
        while (!m_ended) {
            Slot* head;
            {
                SlimLockHolder lock(m_lock);
                if (m_slots.empty())
                    return;
                head = &m_slots.front();
                if (!head->done) {
                    draining = draining || m_slots.size() > most;
                    if (!draining || m_slots.size() <= resume)
                        return;
                    Slot* awaited = &m_slots[m_slots.size() - resume - 1];
                    if (awaited->done)
                        awaited = head;
                    m_awaited = awaited;
                    m_finished.SleepFor(m_lock, kHandBackWaitMs);
                    m_awaited = nullptr;
                    continue;
                }
            }
            // Done: no pool thread touches it any more.
            if (!m_deliver(head->job)) {
                Cancel();
                return;
            }
            SlimLockHolder lock(m_lock);
            UW_INVARIANT(m_nextToStart > 0); // a done job was started
            m_slots.pop_front();
            --m_nextToStart;
        }
    }

    const unsigned m_maxThreads;
    const std::size_t m_window;
    const Work m_work;
    const Deliver m_deliver;
    std::vector<std::unique_ptr<JoinableThread>> m_threads; // the submitting thread's
    bool m_ended = false;                                   // the submitting thread's

    SlimLock m_lock;
    SlimCondition m_queued;          // a job to start, or stopping
    SlimCondition m_finished;        // the awaited job done
    std::deque<Slot> m_slots;        // in flight, in submission order
    std::size_t m_nextToStart = 0;   // index in m_slots of the first job not taken
    const Slot* m_awaited = nullptr; // the job the submitter waits for
    unsigned m_idleThreads = 0;      // threads waiting for a job
    bool m_stopping = false;
};
