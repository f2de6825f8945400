#include "base/WorkPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
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

class ThrowingJob : public TestJob {
public:
    using TestJob::TestJob;
    void Run(const std::atomic<bool>& cancelled) override {
        TestJob::Run(cancelled);
        throw std::runtime_error("job failed");
    }
};

TEST(WorkPool, ThrowFromRunFailsThatJobWhereverItRuns) {
    // On a worker (the owner waits after the worker took it) and on the
    // owner's thread inside Wait (a pool without threads).
    for (const bool onWorker : {true, false}) {
        WorkPool pool(onWorker ? 2 : 1);
        Gate gate;
        ThrowingJob thrower(onWorker ? &gate : nullptr);
        TestJob after;
        ASSERT_TRUE(pool.Post(thrower));
        if (onWorker)
            gate.WaitEntered();
        ASSERT_TRUE(pool.Post(after));
        gate.Open();
        pool.Wait(thrower);
        pool.Wait(after);
        EXPECT_TRUE(thrower.Ran()) << onWorker;
        EXPECT_TRUE(thrower.Failed()) << onWorker;
        EXPECT_EQ(after.runs, 1) << onWorker;
        EXPECT_FALSE(after.Failed()) << onWorker;
        // The job and the pool are ready for more.
        ASSERT_TRUE(pool.Post(after));
        pool.Wait(after);
        EXPECT_EQ(after.runs, 2) << onWorker;
        ThrowingJob again;
        ASSERT_TRUE(pool.Post(again));
        pool.Wait(again);
        EXPECT_TRUE(again.Failed()) << onWorker;
    }
}

TEST(WorkGroup, EndingTheGroupDropsItsQueuedJobsAndWaitsForItsRunningOnes) {
    WorkPool pool(2);
    Gate gate;
    TestJob running(&gate), queued, otherOwners;
    std::atomic<int> runsWhenEnded{-1};
    auto group = std::make_unique<WorkGroup>(pool);
    ASSERT_TRUE(group->Post(running));
    gate.WaitEntered();
    ASSERT_TRUE(group->Post(queued));
    ASSERT_TRUE(pool.Post(otherOwners));
    group->Cancel(); // as the destructor does first, here where the test can order it
    std::thread owner([&] {
        group.reset();
        runsWhenEnded = running.runs;
    });
    gate.Open();
    owner.join();
    EXPECT_EQ(runsWhenEnded.load(), 1) << "the group ended before its running job";
    EXPECT_EQ(queued.runs, 0);
    EXPECT_FALSE(queued.Ran());
    // Another owner's job is left to the pool.
    pool.Wait(otherOwners);
    EXPECT_EQ(otherOwners.runs, 1);
    // The dropped job can be posted again.
    WorkGroup next(pool);
    ASSERT_TRUE(next.Post(queued));
    next.Wait(queued);
    EXPECT_EQ(queued.runs, 1);
}

class OwnerCountingJob : public WorkJob {
public:
    explicit OwnerCountingJob(std::thread::id owner) : owner(owner) {}
    void Run(const std::atomic<bool>&) override {
        if (std::this_thread::get_id() == owner)
            ++onOwner;
    }
    const std::thread::id owner;
    std::atomic<int> onOwner{0};
};

// Opens the gate from inside the pool, on whichever thread runs it.
class OpeningJob : public WorkJob {
public:
    explicit OpeningJob(Gate& gate) : gate(gate) {}
    void Run(const std::atomic<bool>&) override {
        thread = std::this_thread::get_id();
        gate.Open();
    }
    Gate& gate;
    std::thread::id thread;
};

TEST(WorkGroup, OwnerWaitingOnItsGroupLeavesOtherOwnersJobsToThePool) {
    WorkPool pool(2);
    Gate gate;
    TestJob mine(&gate);
    OwnerCountingJob unrelated(std::this_thread::get_id());
    OpeningJob opener(gate);
    WorkGroup group(pool);
    ASSERT_TRUE(group.Post(mine));
    gate.WaitEntered(); // the pool's one thread holds it
    // Queued ahead of the group's next job: an owner taking any queued job
    // would take this one first.
    ASSERT_TRUE(pool.Post(unrelated));
    // Only the owner, inside its Wait, can run the job that opens the gate,
    // so the owner is waiting with the other owner's job queued.
    ASSERT_TRUE(group.Post(opener));
    group.Wait(mine);
    EXPECT_EQ(opener.thread, std::this_thread::get_id());
    EXPECT_EQ(unrelated.onOwner.load(), 0) << "the owner ran another owner's job while waiting on its own";
    pool.Wait(unrelated);
    EXPECT_EQ(mine.runs, 1);
    group.Wait(opener);
}

} // namespace
