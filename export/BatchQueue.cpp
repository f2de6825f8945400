#include "export/BatchQueue.h"

#include "base/SystemMemory.h"
#include "base/WorkPool.h"
#include "pixels/ImageBuffer.h"

#include <algorithm>
#include <new>
#include <thread>

uint64_t DefaultMemoryBudget() {
    constexpr uint64_t kUnknownMemoryBudget = uint64_t(1) << 30;
    const uint64_t physical = PhysicalMemoryBytes();
    return physical == 0 ? kUnknownMemoryBudget : physical / 4;
}

// Hands the items that ended to the reporter in list order.
class BatchQueue::InOrder {
public:
    InOrder(size_t count, const Reporter& reporter) : done(count, false), report(reporter) {}

    void Finish(size_t index) {
        std::lock_guard<std::mutex> lock(mutex);
        done[index] = true;
        while (next < done.size() && done[next]) {
            // A report that throws is lost; the thread and the reports after
            // it are not.
            try {
                report(next++);
            } catch (...) {
            }
        }
    }

private:
    std::mutex mutex;
    std::vector<bool> done;
    size_t next = 0;
    const Reporter& report;
};

BatchQueue::BatchQueue(size_t itemCount, unsigned jobs, uint64_t memoryBudget)
    : count(itemCount), budget(memoryBudget) {
    if (jobs == 0)
        jobs = WorkPool::ProcessorCount();
    threads = unsigned(std::max<size_t>(1, std::min<size_t>(jobs, count)));
    poolSize = WorkPool::PoolSizeFor(threads);
}

size_t BatchQueue::Run(const Worker& work, const Reporter& report) {
    InOrder reports(count, report);
    auto run = [&]() {
        // A thread that cannot even set up (no memory for its pool) leaves
        // the items to the others; the items' own failures stay in RunNext.
        try {
            ImageBuffer image;
            WorkPool pool(poolSize);
            while (RunNext(work, image, pool, reports)) {
            }
        } catch (...) {
        }
    };
    std::vector<std::thread> others;
    // Room first: a push that threw would leave a running thread unjoined.
    others.reserve(threads);
    for (unsigned t = 1; t < threads; ++t) {
        std::thread thread;
        // A thread that cannot start leaves its items to the others.
        if (!WorkPool::StartThread(thread, run))
            break;
        others.push_back(std::move(thread));
    }
    run();
    for (std::thread& thread : others)
        thread.join();
    return started;
}

bool BatchQueue::RunNext(const Worker& work, ImageBuffer& image, WorkPool& pool, InOrder& reports) {
    size_t index = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopped || taken >= count)
            return false;
        index = taken++;
    }
    // Outside the lock: the estimate may read the document's header. One
    // that throws counts the item as small: its work will meet the same
    // failure and report it.
    uint64_t bytes = 0;
    try {
        bytes = estimate ? estimate(index, poolSize) : 0;
    } catch (...) {
    }
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            if (stopped) {
                if (heldBack == int64_t(index))
                    heldBack = -1;
                return false;
            }
            if (started == index) {
                if (Fits(index, bytes))
                    break;
                heldBack = int64_t(index);
            }
            changed.wait(lock);
        }
        heldBack = -1;
        ++started;
        running.push_back({index, bytes});
        runningBytes += bytes;
    }
    // The next item's turn has come.
    changed.notify_all();

    // An exception fails this item, never the thread it ran on (which would
    // end the whole program) nor the queue's count of what is running.
    try {
        work(index, image, pool);
    } catch (const std::bad_alloc&) {
        Threw(index, true);
    } catch (...) {
        Threw(index, false);
    }
    image.Free();

    {
        std::lock_guard<std::mutex> lock(mutex);
        running.erase(std::find_if(running.begin(), running.end(), [&](const Running& r) { return r.index == index; }));
        runningBytes -= bytes;
    }
    changed.notify_all();
    reports.Finish(index);
    return true;
}

void BatchQueue::Threw(size_t index, bool outOfMemory) {
    if (!thrown)
        return;
    try {
        thrown(index, outOfMemory);
    } catch (...) {
    }
}

bool BatchQueue::Fits(size_t index, uint64_t bytes) const {
    if (running.empty())
        return true; // even an item larger than the whole budget runs, alone
    if (budget != 0 && (bytes > budget || runningBytes > budget - bytes))
        return false;
    if (conflict) {
        for (const Running& other : running)
            if (conflict(other.index, index))
                return false;
    }
    return true;
}

void BatchQueue::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopped = true;
    }
    changed.notify_all();
}

bool BatchQueue::Stopped() const {
    std::lock_guard<std::mutex> lock(mutex);
    return stopped;
}

int64_t BatchQueue::HeldBack() const {
    std::lock_guard<std::mutex> lock(mutex);
    return heldBack;
}
