#pragma once
// WorkPool: a few threads that run jobs for one owner, sized to the
// processor. The owner keeps its jobs (each owns its buffers), posts them and
// waits for each in the order it wants the results, so results come back in
// the owner's order however the threads finish.
//
// A pool of size n has n - 1 threads of its own: the owner's thread is the
// n-th worker, since it runs queued jobs itself while it waits. A pool of
// size 1, or one whose threads could not start, runs every job on the
// owner's thread inside Wait, which is the single-thread program exactly.
//
// Sharing the processor: the converter runs J documents at once; each
// document gets a pool of size max(1, cores / J) (PoolSizeFor), so J
// documents never have more runnable threads than cores. With the default J
// (one per core) every document runs on its own thread alone.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkPool;

class WorkJob {
public:
    WorkJob() = default;
    virtual ~WorkJob() = default;
    WorkJob(const WorkJob&) = delete;
    WorkJob& operator=(const WorkJob&) = delete;

    // Does the job on whichever thread takes it. cancelled turns true when
    // the owner gives up; long loops check it and return early.
    virtual void Run(const std::atomic<bool>& cancelled) = 0;

    // After Wait: false when the pool was cancelled before the job started,
    // so Run never ran.
    bool Ran() const { return ran; }

private:
    friend class WorkPool;
    enum class State : uint8_t { Idle, Queued, Running };
    State state = State::Idle; // guarded by the pool's mutex
    bool ran = false;
};

class WorkPool {
public:
    // Starts thread running body; false when the system cannot start one.
    // The tests pass one that fails to see the pool carry on without it.
    using ThreadStart = bool (*)(std::thread& thread, std::function<void()> body);
    static bool StartThread(std::thread& thread, std::function<void()> body);

    // The processor's hardware threads, at least 1.
    static unsigned ProcessorCount();
    // The pool size for each of `concurrent` owners sharing the processor.
    static unsigned PoolSizeFor(unsigned concurrent);

    // size counts the owner's thread; 0 means ProcessorCount().
    explicit WorkPool(unsigned size = 0, ThreadStart start = StartThread);
    // Cancels what is queued, lets running jobs end and joins every thread.
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    // Threads working for the pool, the owner's included.
    unsigned Size() const { return unsigned(threads.size()) + 1; }

    // Queues job. False, and nothing queued, when the job is still queued or
    // running from an earlier Post (its buffers are in use) or the pool was
    // cancelled.
    bool Post(WorkJob& job);
    // Returns once job is done. A job still queued is taken off the queue
    // and run here; while another thread runs it, this thread runs other
    // queued jobs. A job never posted (or refused) returns at once.
    void Wait(WorkJob& job);

    // Queued jobs are dropped (Wait returns at once for them, Ran() false);
    // running jobs see their flag turn and end early. Later posts are refused.
    void Cancel();
    bool Cancelled() const { return cancelled.load(); }

private:
    void Work();
    // Runs job outside the lock; the lock is held on entry and on return.
    void RunLocked(WorkJob& job, std::unique_lock<std::mutex>& lock);

    std::mutex mutex;
    std::condition_variable wake;     // a job was queued, or the pool ends
    std::condition_variable finished; // a job ended
    std::deque<WorkJob*> queue;
    std::vector<std::thread> threads;
    std::atomic<bool> cancelled{false};
    bool ending = false;
};
