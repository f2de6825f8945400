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

bool WorkPool::PostIn(WorkJob& job, WorkGroup* group) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (cancelled.load() || job.state != WorkJob::State::Idle)
            return false;
        job.state = WorkJob::State::Queued;
        job.ran = false;
        job.failed = false;
        job.group = group;
        queue.push_back(&job);
    }
    wake.notify_one();
    return true;
}

void WorkPool::RunLocked(WorkJob& job, std::unique_lock<std::mutex>& lock) {
    job.state = WorkJob::State::Running;
    running.push_back(&job);
    lock.unlock();
    bool threw = false;
    try {
        job.Run(cancelled);
    } catch (...) {
        // A job's failure is its owner's to see; it must not end the thread
        // it ran on (the whole program) nor leave its state Running, which
        // would keep Wait waiting for ever.
        threw = true;
    }
    lock.lock();
    running.erase(std::find(running.begin(), running.end(), &job));
    job.failed = threw;
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
        } else {
            const auto other = std::find_if(queue.begin(), queue.end(),
                                            [&job](const WorkJob* queued) { return queued->group == job.group; });
            if (other != queue.end()) {
                WorkJob& taken = **other;
                queue.erase(other);
                RunLocked(taken, lock);
            } else {
                finished.wait(lock);
            }
        }
    }
}

void WorkPool::DropGroup(WorkGroup& group) {
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = queue.begin(); it != queue.end();) {
        if ((*it)->group == &group) {
            (*it)->state = WorkJob::State::Idle;
            it = queue.erase(it);
        } else {
            ++it;
        }
    }
    finished.notify_all();
}

void WorkPool::EndGroup(WorkGroup& group) {
    DropGroup(group);
    std::unique_lock<std::mutex> lock(mutex);
    // Its running jobs are on other threads; none can be queued again but
    // by this owner, which is here.
    finished.wait(lock, [this, &group] {
        return std::none_of(running.begin(), running.end(),
                            [&group](const WorkJob* job) { return job->group == &group; });
    });
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
