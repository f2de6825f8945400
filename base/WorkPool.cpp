#include "base/WorkPool.h"

#include <algorithm>
#include <system_error>

bool WorkPool::StartThread(std::thread& thread, std::function<void()> body) {
    try {
        thread = std::thread(std::move(body));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

unsigned WorkPool::ProcessorCount() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : count;
}

unsigned WorkPool::PoolSizeFor(unsigned concurrent) {
    const unsigned cores = ProcessorCount();
    if (concurrent == 0 || concurrent >= cores)
        return 1;
    return cores / concurrent;
}

WorkPool::WorkPool(unsigned size, ThreadStart start) {
    if (size == 0)
        size = ProcessorCount();
    threads.reserve(size - 1);
    for (unsigned i = 1; i < size; ++i) {
        std::thread thread;
        // A thread that cannot start leaves its work to the others and to
        // the owner, who always runs jobs in Wait.
        if (!start(thread, [this] { Work(); }))
            break;
        threads.push_back(std::move(thread));
    }
}

WorkPool::~WorkPool() {
    Cancel();
    {
        std::lock_guard<std::mutex> lock(mutex);
        ending = true;
    }
    wake.notify_all();
    for (std::thread& thread : threads)
        thread.join();
}

bool WorkPool::Post(WorkJob& job) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (cancelled.load() || job.state != WorkJob::State::Idle)
            return false;
        job.state = WorkJob::State::Queued;
        job.ran = false;
        queue.push_back(&job);
    }
    wake.notify_one();
    return true;
}

void WorkPool::RunLocked(WorkJob& job, std::unique_lock<std::mutex>& lock) {
    job.state = WorkJob::State::Running;
    lock.unlock();
    job.Run(cancelled);
    lock.lock();
    job.ran = true;
    job.state = WorkJob::State::Idle;
    finished.notify_all();
}

void WorkPool::Wait(WorkJob& job) {
    std::unique_lock<std::mutex> lock(mutex);
    while (job.state != WorkJob::State::Idle) {
        if (job.state == WorkJob::State::Queued) {
            queue.erase(std::find(queue.begin(), queue.end(), &job));
            RunLocked(job, lock);
        } else if (!queue.empty()) {
            WorkJob& other = *queue.front();
            queue.pop_front();
            RunLocked(other, lock);
        } else {
            finished.wait(lock);
        }
    }
}

void WorkPool::Cancel() {
    std::lock_guard<std::mutex> lock(mutex);
    cancelled.store(true);
    for (WorkJob* job : queue)
        job->state = WorkJob::State::Idle;
    queue.clear();
    finished.notify_all();
}

void WorkPool::Work() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return ending || !queue.empty(); });
        if (ending)
            return;
        WorkJob& job = *queue.front();
        queue.pop_front();
        RunLocked(job, lock);
    }
}
