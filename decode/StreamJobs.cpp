#include "decode/StreamJobs.h"

#include "decode/ByteSource.h"
#include "decode/Inflate.h"
#include "decode/MemorySource.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

bool ReadsOnPool(const WorkPool* pool, uint64_t pixels, bool anySize) {
    return pool != nullptr && pool->Size() > 1 && (anySize || pixels >= kPooledPixels);
}

class StreamRunner {
public:
    StreamRunner(ByteSource& file, uint32_t count, WorkPool& pool, StreamRecords& records)
        : file(file), count(count), pool(pool), records(records), group(pool) {}

    bool Run() {
        if (scratch.Alloc(kInflateChunk, false) == nullptr)
            return false;
        for (size_t slot = 0; slot < pool.Size(); ++slot) {
            jobs.emplace_back(new StreamJob);
            jobs.back()->slot = slot;
            if (jobs.back()->scratch.Alloc(kInflateChunk, false) == nullptr || !records.Prepare(*jobs.back()))
                return false;
            idle.push_back(jobs.back().get());
        }
        const int64_t here = file.Tell();
        fileEnd = file.Seek(0, ByteSource::FromEnd);
        if (here < 0 || fileEnd < 0 || file.Seek(here, ByteSource::FromStart) != here)
            return false;
        for (;;) {
            ReadAhead();
            if (busy.empty())
                return !failedAhead && next == count;
            StreamJob& job = *busy.front();
            if (job.held) {
                group.Wait(job);
            } else {
                // Nothing was read past this stream: the file is at its bytes.
                job.ended = InflateFromSource(file, job.destination, job.capacity, job.compressedSize, scratch.data,
                                              kInflateChunk, &job.produced);
                blocked = false;
            }
            busy.pop_front();
            idle.push_back(&job);
            if (job.used)
                continue; // used where it was expanded
            if (!job.ended) {
                Drain();
                return false;
            }
            records.Use(job);
            if (job.held && job.end != job.start + job.inputLength) {
                // The stream ended early in its block: what was read after
                // it is read again from where reading one by one would be.
                // No job after it has been used: it was never next.
                Drain();
                if (file.Seek(job.end, ByteSource::FromStart) != job.end)
                    return false;
                next = job.index + 1;
                failedAhead = false;
                std::lock_guard<std::mutex> lock(useMutex);
                nextUse = sequence;
            } else {
                std::lock_guard<std::mutex> lock(useMutex);
                nextUse = job.sequence + 1;
            }
        }
    }

    // On the thread that expanded job: uses it at once when every job before
    // it has been used and its stream ended where its block does, so that
    // nothing read after it is read again.
    void UseIfNext(StreamJob& job) {
        {
            std::lock_guard<std::mutex> lock(useMutex);
            if (job.sequence != nextUse || !job.ended || job.end != job.start + job.inputLength)
                return;
        }
        // Only this thread may use the next job until nextUse moves on.
        records.Use(job);
        job.used = true;
        std::lock_guard<std::mutex> lock(useMutex);
        nextUse = job.sequence + 1;
    }

private:
    void ReadAhead() {
        while (!failedAhead && !blocked && next < count && !idle.empty()) {
            StreamJob& job = *idle.back();
            const StreamRecords::Next step = records.ReadRecord(file, next, job);
            if (step == StreamRecords::Next::Failed) {
                failedAhead = true;
                break;
            }
            const uint32_t index = next++;
            if (step == StreamRecords::Next::Passed)
                continue;
            idle.pop_back();
            busy.push_back(&job);
            job.index = index;
            job.sequence = sequence++;
            job.used = false;
            job.ended = false;
            job.start = file.Tell();
            const int64_t left = fileEnd - job.start;
            const uint64_t wanted =
                left < int64_t(job.compressedSize) ? uint64_t(left < 0 ? 0 : left) : uint64_t(job.compressedSize);
            // A block far beyond what its stream can expand to is read from
            // the file in order, as ever, instead of being held.
            job.held = job.start >= 0 && wanted <= uint64_t(job.capacity) + job.capacity / 8 + kInflateChunk;
            if (!job.held) {
                blocked = true;
                break;
            }
            if (job.input.size < wanted && wanted > 0 && job.input.Alloc(uint32_t(wanted), false) == nullptr) {
                failedAhead = true;
                busy.pop_back();
                idle.push_back(&job);
                break;
            }
            job.inputLength = wanted == 0 ? 0 : file.Read(job.input.data, uint32_t(wanted));
            job.runner = this;
            if (!group.Post(job)) {
                // The pool was cancelled: its owner gives the document up,
                // which ends here, at this record.
                failedAhead = true;
                busy.pop_back();
                idle.push_back(&job);
                break;
            }
        }
    }

    // Waits for the jobs still out and drops their results.
    void Drain() {
        for (StreamJob* job : busy) {
            group.Wait(*job);
            idle.push_back(job);
        }
        busy.clear();
        blocked = false;
    }

    ByteSource& file;
    const uint32_t count;
    WorkPool& pool;
    StreamRecords& records;
    std::vector<std::unique_ptr<StreamJob>> jobs;
    WorkGroup group; // ends before the jobs, whichever way Run returns
    std::vector<StreamJob*> idle;
    std::deque<StreamJob*> busy; // in file order
    MemBlock scratch;            // for streams read from the file in order
    int64_t fileEnd = 0;
    uint32_t next = 0;        // the next record to read
    bool failedAhead = false; // a record read ahead ended the document
    bool blocked = false;     // a stream read in order waits in busy
    uint64_t sequence = 0;    // given to the next job read
    std::mutex useMutex;
    uint64_t nextUse = 0; // the job to be used next; guarded by useMutex
};

void StreamJob::Run(const std::atomic<bool>& cancelled) {
    ended = false;
    produced = 0;
    end = start;
    if (cancelled.load())
        return;
    // The held bytes expanded exactly as from the file: the same pieces, so
    // the stream stops at the same chunk and leaves the same position.
    MemorySource source(input.data, inputLength);
    ended = InflateFromSource(source, destination, capacity, inputLength, scratch.data, kInflateChunk, &produced);
    end = start + source.Tell();
    if (runner != nullptr)
        runner->UseIfNext(*this);
}

bool InflateStreamsInOrder(ByteSource& file, uint32_t count, WorkPool& pool, StreamRecords& records) {
    StreamRunner runner(file, count, pool, records);
    return runner.Run();
}
