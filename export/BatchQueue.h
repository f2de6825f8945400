#pragma once
// BatchQueue: runs the documents of a batch conversion on several threads,
// for the viewer's conversion dialog and the command-line converter alike.
//
// Items start in list order, each on whichever thread is free, and are
// reported in list order whatever order they finish in. Each thread has its
// own picture and a work pool of PoolSizeFor(threads), its own thread
// included, on which its documents are read and written: J documents at once
// never run more threads than the processor has cores, and a lone document
// (one job, or a list of one) gets every core.
//
// Memory: an item starts only when its estimated bytes fit in the budget
// beside those of the items in flight, so a folder of huge documents cannot
// take all the memory; an item larger than the whole budget runs, alone.
// Items that write the same file never run at once, so the later one finds
// the earlier one's file just as it would on one thread.
//
// Stop: no item starts after it, the items in flight finish and are reported.
// Because items start in list order, those that ran are the first ones of the
// list.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class ImageBuffer;
class WorkPool;

// A quarter of the physical memory (1 GiB where the system does not say).
uint64_t DefaultMemoryBudget();

class BatchQueue {
public:
    // Does item index with the calling thread's picture and pool. The picture
    // is freed after each item, so its memory leaves with the item.
    using Worker = std::function<void(size_t index, ImageBuffer& image, WorkPool& pool)>;
    // Called once per item that ran, in list order, as soon as it and all
    // before it are done; calls never overlap.
    using Reporter = std::function<void(size_t index)>;
    // The bytes item index will hold while it runs on a pool of poolSize
    // threads. Called on the threads, outside any lock, so it may read the
    // document's header.
    using Estimate = std::function<uint64_t(size_t index, unsigned poolSize)>;
    // True when the later item must not run while the earlier one does.
    using Conflict = std::function<bool(size_t earlier, size_t later)>;
    // Called on the item's thread when its work ended by throwing, before it
    // is reported: the item failed (outOfMemory: by std::bad_alloc). The
    // thread and the other items carry on.
    using Thrown = std::function<void(size_t index, bool outOfMemory)>;

    // jobs: items at once, 0 for one per core, never more than count.
    // memoryBudget: the bytes the items in flight may hold; 0 for no bound.
    BatchQueue(size_t count, unsigned jobs, uint64_t memoryBudget);
    BatchQueue(const BatchQueue&) = delete;
    BatchQueue& operator=(const BatchQueue&) = delete;

    // Optional, set before Run.
    Estimate estimate;
    Conflict conflict;
    Thrown thrown;

    // Runs the items on the calling thread and Threads() - 1 more, and
    // returns when every item that started has ended: the number of them.
    // Once per queue.
    size_t Run(const Worker& work, const Reporter& report);

    // From any thread, before or during Run.
    void Stop();
    bool Stopped() const;

    // The item whose turn it is but which waits for room in the budget or
    // for a conflicting item to end, or -1.
    int64_t HeldBack() const;

    unsigned Threads() const { return threads; }
    unsigned PoolSize() const { return poolSize; }

private:
    class InOrder;
    struct Running {
        size_t index;
        uint64_t bytes;
    };

    // Takes, waits for, runs and reports the next item; false when there is
    // none to take or the queue was stopped.
    bool RunNext(const Worker& work, ImageBuffer& image, WorkPool& pool, InOrder& reports);
    void Threw(size_t index, bool outOfMemory);
    // Whether index may start now beside the items in flight; mutex held.
    bool Fits(size_t index, uint64_t bytes) const;

    const size_t count;
    const uint64_t budget;
    unsigned threads = 1;
    unsigned poolSize = 1;

    mutable std::mutex mutex;
    std::condition_variable changed; // an item started or ended, or the queue stopped
    size_t taken = 0;                // items handed to a thread
    size_t started = 0;              // items started: the next to start is this one
    std::vector<Running> running;
    uint64_t runningBytes = 0;
    int64_t heldBack = -1;
    bool stopped = false;
};
