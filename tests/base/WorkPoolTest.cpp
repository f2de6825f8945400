#include "base/WorkPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Holds a job inside Run until the test opens it, and tells the test when a
// thread has got there, so every case runs in one order whatever the
// scheduler does.
class Gate {
public:
    void Enter() {
        std::unique_lock<std::mutex> lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
    }
    void WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return entered; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
};

class TestJob : public WorkJob {
public:
    explicit TestJob(Gate* gate = nullptr) : gate(gate) {}
    void Run(const std::atomic<bool>& cancelled) override {
        if (gate != nullptr)
            gate->Enter();
        sawCancel = cancelled.load();
        thread = std::this_thread::get_id();
        ++runs;
    }
    Gate* gate;
    bool sawCancel = false;
    std::thread::id thread;
    int runs = 0;
};

TEST(WorkPool, WaitReturnsWhenThatJobIsDoneWhileAnEarlierOneIsStillHeld) {
    WorkPool pool(3);
    ASSERT_EQ(pool.Size(), 3u);
    Gate gate;
    TestJob held(&gate), free;
    ASSERT_TRUE(pool.Post(held));
    gate.WaitEntered();
    ASSERT_TRUE(pool.Post(free));
    pool.Wait(free);
    EXPECT_EQ(free.runs, 1);
    EXPECT_EQ(held.runs, 0); // still inside its gate
    gate.Open();
    pool.Wait(held);
    EXPECT_EQ(held.runs, 1);
    EXPECT_TRUE(held.Ran());
    EXPECT_NE(held.thread, std::this_thread::get_id());
}

TEST(WorkPool, JobStillRunningIsRefusedAndTakenAgainOnceDone) {
    WorkPool pool(2);
    Gate gate;
    TestJob job(&gate);
    ASSERT_TRUE(pool.Post(job));
    gate.WaitEntered();
    EXPECT_FALSE(pool.Post(job));
    gate.Open();
    pool.Wait(job);
    EXPECT_EQ(job.runs, 1);
    ASSERT_TRUE(pool.Post(job));
    pool.Wait(job);
    EXPECT_EQ(job.runs, 2);
}

TEST(WorkPool, CancelLetsTheRunningJobSeeItAndDropsTheQueuedOnes) {
    WorkPool pool(2); // one thread of its own: the second job waits in the queue
    Gate gate;
    TestJob running(&gate), queued;
    ASSERT_TRUE(pool.Post(running));
    gate.WaitEntered();
    ASSERT_TRUE(pool.Post(queued));
    pool.Cancel();
    EXPECT_TRUE(pool.Cancelled());
    pool.Wait(queued); // dropped: returns at once although the thread is held
    EXPECT_FALSE(queued.Ran());
    EXPECT_EQ(queued.runs, 0);
    gate.Open();
    pool.Wait(running);
    EXPECT_TRUE(running.Ran());
    EXPECT_TRUE(running.sawCancel);
    TestJob later;
    EXPECT_FALSE(pool.Post(later));
    pool.Wait(later);
    EXPECT_EQ(later.runs, 0);
}

std::atomic<int> startsLeft{0};

bool StartSome(std::thread& thread, std::function<void()> body) {
    if (startsLeft-- <= 0)
        return false;
    return WorkPool::StartThread(thread, std::move(body));
}

TEST(WorkPool, ThreadsThatCannotStartLeaveTheWorkToTheOthers) {
    struct Case {
        int starts;
        unsigned size;
    };
    for (const Case c : {Case{0, 4}, Case{1, 4}, Case{3, 4}}) {
        startsLeft = c.starts;
        WorkPool pool(c.size, StartSome);
        EXPECT_EQ(pool.Size(), unsigned(c.starts) + 1) << c.starts;
        TestJob jobs[6];
        for (TestJob& job : jobs)
            ASSERT_TRUE(pool.Post(job));
        for (TestJob& job : jobs) {
            pool.Wait(job);
            EXPECT_EQ(job.runs, 1);
            if (c.starts == 0) {
                EXPECT_EQ(job.thread, std::this_thread::get_id());
            }
        }
    }
}

TEST(WorkPool, SizesForSeveralOwnersNeverExceedTheProcessor) {
    const unsigned cores = WorkPool::ProcessorCount();
    EXPECT_EQ(WorkPool::PoolSizeFor(1), cores);
    for (unsigned owners = 1; owners <= 2 * cores + 1; ++owners) {
        const unsigned size = WorkPool::PoolSizeFor(owners);
        EXPECT_GE(size, 1u);
        if (owners <= cores) {
            EXPECT_LE(size * owners, cores) << owners;
        } else {
            EXPECT_EQ(size, 1u) << owners;
        }
    }
}

} // namespace
