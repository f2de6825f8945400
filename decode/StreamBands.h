#pragma once
// The zlib streams of a document's layers expanded side by side a band of
// rows at a time, so that no layer is ever whole in memory.
//
// What a stream keeps between bands is lean: its zlib state and window and
// where it stands in the file. The pieces of input and the layers' bands
// live in a few slots, one per stream of a group: a band is expanded a group
// of streams at a time (on the pool), each band handed over in file order
// as soon as it and those before it are whole, before the next group is
// expanded. When there are more streams than may stay
// open, the rest start over from their beginning for every band and expand
// up to it: slow, but the memory stays bounded whatever the layer count
// (Start refuses a plan whose starting over could take far too long).
//
// A stream is expanded just as InflateFromSource expands it into a whole
// layer (see BandSlot::Run), so a band holds the same bytes, and a stream
// fails or ends short where it does there.

#include "base/Deadline.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class ByteSource;
class ImageBuffer;
class WorkPool;
class BandSlot;
struct z_stream_s;

// Where a layer's zlib stream lies in the file.
struct StreamBlock {
    int64_t position = 0; // of its first compressed byte
    uint32_t size = 0;    // compressed bytes the record states
};

enum class BandStatus {
    Expanded,    // every stream's band went to the user
    Failed,      // a stream is not zlib, is cut short or overflows its layer
    EndsEarly,   // a stream ended pieces before its block: records are not where the lengths say
    OutOfMemory, // a stream or its buffers could not be set up
    OutOfTime    // the deadline passed
};

// What a stream holds while it stays open between bands: zlib's state and
// its 32 KB window, with the allocator's rounding.
inline constexpr uint64_t kOpenStreamBytes = 40 * 1024;
// What every stream of a document holds, open or not (its place in the
// file), with the few bytes a reader keeps beside it for each layer.
inline constexpr uint64_t kStreamRecordBytes = 64;
// The most input a slot reads at a time: about what a band of a large,
// poorly compressed layer takes, so that most bands take one round of the
// pool (each round waits for the slowest stream, then for the reads).
inline constexpr uint64_t kSlotInputBytes = 512 * 1024;

// The most a read of one document may plan to expand, streams passed
// through to find records included: about a minute of inflating, more than
// a painting of the largest size with two layers takes. A document whose
// streams could expand to more is refused before any is expanded, as a
// decompression bomb.
inline constexpr uint64_t kMostPlannedBytes = uint64_t(32) << 30;

// The most a zlib stream of size compressed bytes gives into a layer of
// capacity bytes: deflate expands a byte to at most 1032.
inline uint64_t MostExpanded(uint32_t size, uint64_t capacity) {
    const uint64_t most = uint64_t(size) * 1032;
    return most < capacity ? most : capacity;
}

// Bounds a caller may put on the plan, so that a small document crosses band
// and group boundaries, takes the road of streams that start over, or is
// refused as a bomb.
struct BandShape {
    int32_t mostRows = 0;                     // 0: as memory and the cache allow
    size_t group = 0;                         // 0: from the pool
    size_t keptMost = SIZE_MAX;               // streams that may stay open between bands
    uint64_t mostPlanned = kMostPlannedBytes; // refused beyond: what the streams may expand to
};

// How a read splits its memory.
struct BandPlan {
    int32_t rows = 0;    // of a band
    size_t group = 0;    // streams expanded together, each in its slot
    size_t keptOpen = 0; // the first keptOpen streams stay open between bands
};

// Plans a read of `streams` streams out of `records` layer records, whose
// bands have streamRowBytes a row, beside a picture band of pictureRowBytes
// a row, in room bytes; each slot reads pieces of pieceBytes (see
// StreamBands::PieceBytes); bands of at most mostRows rows are kept in the
// processor's cache. False when not even one row fits.
bool PlanBands(uint64_t room, size_t streams, size_t records, uint64_t pieceBytes, uint64_t streamRowBytes,
               uint64_t pictureRowBytes, int32_t height, uint64_t mostRows, size_t groupWanted, const BandShape& shape,
               BandPlan& plan);

// Takes the streams' bands in file order.
class BandUser {
public:
    virtual ~BandUser() = default;
    // band holds the first `bytes` bytes stream index gave for the band
    // (fewer than the band's when it ended early; the rest is stale, and the
    // user may overwrite it). Not called for a stream that gave nothing.
    // Called on whichever thread expanded the band (a pool's, or the one
    // calling Expand), one call at a time.
    virtual void Use(size_t index, ImageBuffer& band, uint64_t bytes) = 0;
};

class StreamBands {
public:
    StreamBands();
    ~StreamBands();
    StreamBands(const StreamBands&) = delete;
    StreamBands& operator=(const StreamBands&) = delete;

    void Reserve(size_t count) { places.reserve(count); }
    void Add(const StreamBlock& block);
    size_t Count() const { return places.size(); }
    // A slot's piece of input: no larger than the largest block.
    uint64_t PieceBytes() const { return largestBlock < kSlotInputBytes ? largestBlock : kSlotInputBytes; }
    // The most the streams give, each into a layer of capacity bytes.
    uint64_t MostExpanded(uint64_t capacity) const;

    // Gets every stream ready to give rows of rowBytes, plan.rows at a time,
    // of a layer of `height` rows (a stream giving more fails).
    // checkBlockEnds: a stream ending pieces before its block gives
    // EndsEarly, for readers that found the next record at the block's end.
    // False when memory runs out, or when the streams that start over could
    // expand more than many gigabytes again.
    bool Start(uint64_t rowBytes, const BandPlan& plan, int32_t height, bool checkBlockEnds);

    // Expands the next `count` rows of every stream, which start at row
    // `first` in the stream's order, and hands them to user. Every stream's
    // expansion looks at deadline as it goes.
    BandStatus Expand(ByteSource& source, WorkPool* pool, int32_t first, int32_t count, BandUser& user,
                      const Deadline& deadline = Deadline());

    // Every stream has ended: no band after the last one expanded gets
    // anything from them.
    bool AllEnded() const;

private:
    // Where a stream stands between bands.
    struct Place {
        int64_t start = 0;    // of its block
        int64_t position = 0; // of the next compressed byte to read
        uint64_t produced = 0;
        uint32_t size = 0;
        uint32_t blockLeft = 0; // compressed bytes of the block not read yet
        uint8_t state = 0;
        bool sourceEnded = false; // the file ended inside the block
    };
    friend class BandSlot;

    BandStatus ExpandGroup(ByteSource& source, WorkPool* pool, size_t firstStream, size_t count);
    // Marks the band of the group's slot at position whole and hands every
    // whole band not handed over yet to the user, in file order, on this
    // thread: so the layers are blended as their bands come, on whichever
    // thread expanded them, not after the whole group.
    void UseInOrder(size_t position);

    std::vector<Place> places;
    std::unique_ptr<z_stream_s[]> kept; // the open streams; zlib's state points back at its record
    size_t keptOpen = 0;
    std::vector<std::unique_ptr<BandSlot>> slots;
    std::vector<BandSlot*> active; // of the group being expanded
    BandUser* bandUser = nullptr;
    std::mutex useMutex;
    size_t groupSize = 0;    // streams of the group being expanded; guarded by useMutex
    size_t nextUse = 0;      // the next of them to hand over; guarded by useMutex
    bool usingBands = false; // a thread is handing bands over; guarded by useMutex
    uint64_t rowBytes = 0;
    uint64_t capacity = 0;
    uint32_t largestBlock = 0;
    uint64_t bandStart = 0;
    uint64_t bandLength = 0;
    bool checkBlockEnds = false;
    Deadline deadline; // of the band being expanded
};
