#pragma once
// Inflating a document's layer streams on a work pool while the reader goes
// on through the file, with exactly the outcome of expanding them one after
// the other with InflateFromFile.
//
// The reader's thread reads each record and its compressed bytes and hands
// them to a job; jobs are used (composited) in file order. A stream that ends
// before its block leaves the one-after-the-other reader inside the block
// (InflateFromFile stops after the chunk holding the stream's end), and the
// next record is read from there: records read ahead past such a stream are
// dropped and read again from that place. A stream that fails ends the
// document at that layer, before it is used, as it always did. A stream whose
// block is much larger than what it can expand to is not held in memory: the
// jobs before it are finished first and it is read as before.

#include "decode/MemBlock.h"
#include "base/WorkPool.h"

#include <cstdint>

class ByteSource;
class StreamRunner;

// Whether a reader takes pool for a picture of pixels pixels: only a pool
// with threads of its own, and only for a picture large enough that threads
// pay (below about a megapixel a layer inflates in a few milliseconds), unless
// anySize asks for it (the tests and fuzz targets compare the two ways).
bool ReadsOnPool(const WorkPool* pool, uint64_t pixels, bool anySize);
// The picture size from which ReadsOnPool takes a pool.
inline constexpr uint64_t kPooledPixels = 1024 * 1024;

class StreamJob : public WorkJob {
public:
    // Set by the reader's ReadRecord.
    uint32_t compressedSize = 0;
    uint8_t mode = 0;
    uint8_t opacity = 0;
    uint8_t flags = 0;
    uint32_t colour = 0;
    // Which of the pool's jobs this is (0 to the pool's size - 1).
    size_t slot = 0;
    // The expansion's room, set by the reader's Prepare.
    uint8_t* destination = nullptr;
    uint32_t capacity = 0;

    // Results, for the reader's Use.
    uint32_t produced = 0;

    void Run(const std::atomic<bool>& cancelled) override;

private:
    friend class StreamRunner;
    StreamRunner* runner = nullptr;
    uint64_t sequence = 0; // the order in which jobs are used
    bool used = false;     // Use ran for it when it had been expanded
    uint32_t index = 0;
    int64_t start = 0;        // file position of the compressed bytes
    MemBlock input;           // the compressed bytes read
    MemBlock scratch;         // the pieces they are expanded from
    uint32_t inputLength = 0; // fewer than compressedSize where the file ends
    bool held = false;        // input holds the bytes; otherwise read from the file in order
    bool ended = false;
    int64_t end = 0; // where the one-after-the-other reader leaves the file
};

class StreamRecords {
public:
    enum class Next { Stream, Passed, Failed };
    virtual ~StreamRecords() = default;
    // Gives job the room for its expansions, once.
    virtual bool Prepare(StreamJob& job) = 0;
    // Reads record index. Stream: job's fields are set and the file is at its
    // compressed bytes. Passed: the record needs no expanding and the file is
    // past it. Failed: the document ends at this record.
    virtual Next ReadRecord(ByteSource& file, uint32_t index, StreamJob& job) = 0;
    // Takes an expanded stream, in file order, one stream at a time, on
    // whichever thread expanded it or on the reader's thread: so the layers
    // are blended as soon as they are ready, not when the reader's thread
    // comes back from an expansion of its own.
    virtual void Use(const StreamJob& job) = 0;
};

// Reads count records from file with their streams. True when all were read
// and expanded; the file is then where the one-after-the-other reader leaves
// it.
bool InflateStreamsInOrder(ByteSource& file, uint32_t count, WorkPool& pool, StreamRecords& records);
