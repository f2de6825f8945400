#include "decode/StreamBands.h"

#include "base/ByteSource.h"
#include "base/MemBlock.h"
#include "base/WorkPool.h"
#include "decode/Inflate.h"
#include "pixels/ImageBuffer.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

// Where a stream's expansion stopped (Place::state).
enum State : uint8_t { kExpanding, kNeedsInput, kBandFull, kEnded, kFailed };

// Below this many rows a band costs more in rounds of the pool than the
// streams kept open save.
constexpr uint64_t kFewRows = 8;

// The least a slot reads at a time, so that a stream whose band needs little
// is not read a few bytes a round.
constexpr uint64_t kLeastPiece = 16384;

// The most a read may expand again for streams that start over (about half
// a minute of inflating): beyond it the document gets no banded read rather
// than one that would not end in any useful time.
constexpr double kMostRestartBytes = double(uint64_t(16) << 30);

} // namespace

bool PlanBands(uint64_t room, size_t streams, size_t records, uint64_t pieceBytes, uint64_t streamRowBytes,
               uint64_t pictureRowBytes, int32_t height, uint64_t mostRows, size_t groupWanted, const BandShape& shape,
               BandPlan& plan) {
    // A slot's own: its piece of input and a stream of its own for those
    // that start over, beside its band.
    const uint64_t slotOwn = pieceBytes + kOpenStreamBytes;
    const uint64_t recordBytes = uint64_t(records) * kStreamRecordBytes;
    if (height <= 0 || recordBytes >= room)
        return false;
    room -= recordBytes;
    if (shape.mostRows > 0 && uint64_t(shape.mostRows) < mostRows)
        mostRows = uint64_t(shape.mostRows);
    const uint64_t target = std::max<uint64_t>(1, std::min<uint64_t>(mostRows, uint64_t(height)));
    size_t group = std::min(shape.group > 0 ? shape.group : std::max<size_t>(groupWanted, 1), streams);
    // The slots take at most a quarter of the room, so that the streams kept
    // open have the rest.
    while (group > 1 && group * (slotOwn + target * streamRowBytes) > room / 4)
        --group;
    const uint64_t slotBytes = group * slotOwn;
    const uint64_t perRow = pictureRowBytes + group * streamRowBytes;
    if (perRow == 0 || slotBytes + perRow > room)
        return false;
    const size_t keptMost = std::min(streams, shape.keptMost);
    const uint64_t allOpen = slotBytes + keptMost * kOpenStreamBytes;
    uint64_t rows = 0;
    size_t keptOpen = 0;
    if (keptMost == streams && allOpen + perRow * std::min(target, kFewRows) <= room) {
        rows = std::min(target, (room - allOpen) / perRow);
        keptOpen = streams;
    } else {
        // Streams that cannot stay open start over for every band, so fewer,
        // taller bands matter more than the cache: half the rest goes to the
        // bands, the other half to streams kept open.
        rows = std::min<uint64_t>(uint64_t(height), std::max<uint64_t>(1, (room - slotBytes) / 2 / perRow));
        if (shape.mostRows > 0 && rows > uint64_t(shape.mostRows))
            rows = uint64_t(shape.mostRows);
        keptOpen = size_t(std::min<uint64_t>(keptMost, (room - slotBytes - rows * perRow) / kOpenStreamBytes));
    }
    // One band: every stream is expanded once, in its slot.
    if (rows >= uint64_t(height))
        keptOpen = 0;
    plan.rows = int32_t(rows);
    plan.group = group;
    plan.keptOpen = keptOpen;
    return rows > 0;
}

// One slot of a group: expands the stream bound to it into its band, the
// band's input read into its own piece on the reader's thread between
// rounds (the source is not shared).
class BandSlot : public WorkJob {
public:
    using Place = StreamBands::Place;

    MemBlock input;
    ImageBuffer band;
    uint64_t bandBytes = 0; // the band buffer's size
    z_stream own = {};      // for streams that start over
    bool ownOpen = false;

    StreamBands* owner = nullptr;
    size_t position = 0; // in the group

    // Bound for one band.
    size_t index = 0;
    bool ready = false; // its band is whole (or it gives none); guarded by the owner's useMutex
    Place* place = nullptr;
    z_stream* stream = nullptr;
    uint64_t bandStart = 0, bandEnd = 0, capacity = 0;

    ~BandSlot() override {
        if (ownOpen)
            inflateEnd(&own);
    }

    // Reads about what the rest of the band takes, judged by what the stream
    // took so far, and an eighth more: what it does not take is read again
    // for the next band.
    bool Feed(ByteSource& source) {
        Place& p = *place;
        uint64_t want = input.size;
        if (p.produced >= bandEnd) {
            want = kLeastPiece; // the layer is full: its stream's trailer is left
        } else if (p.produced > 0) {
            const double rate = double(stream->total_in) / double(p.produced);
            const uint64_t needed = uint64_t(double(bandEnd - p.produced) * rate * 1.125) + kLeastPiece;
            if (needed < want)
                want = needed;
        }
        if (want > p.blockLeft)
            want = p.blockLeft;
        if (source.Seek(p.position, ByteSource::FromStart) != p.position)
            return false;
        const uint32_t got = source.Read(input.data, uint32_t(want));
        p.position += got;
        p.blockLeft -= got;
        if (got < want)
            p.sourceEnded = true;
        stream->next_in = input.data;
        stream->avail_in = got;
        return true;
    }

    // As InflateFromSource: a read is asked for whenever the input is used
    // up and the block has more; otherwise zlib is called as there, also
    // with no input, or with no room once the layer is full, so that the
    // stream ends or fails just where it does there.
    void Run(const std::atomic<bool>& cancelled) override {
        Place& p = *place;
        z_stream& z = *stream;
        while (!cancelled.load(std::memory_order_relaxed) && !owner->deadline.Passed()) {
            // A full band is looked for first: a stream whose piece ran out
            // with its band reads its next piece for the next band.
            if (z.avail_out == 0) {
                if (p.produced < bandStart) {
                    // A stream starting over: what lies before the band
                    // passes through the band's buffer.
                    const uint64_t left = bandStart - p.produced;
                    z.next_out = band.bits;
                    z.avail_out = uInt(left < bandBytes ? left : bandBytes);
                } else if (p.produced < bandEnd) {
                    z.next_out = band.bits + (p.produced - bandStart);
                    z.avail_out = uInt(bandEnd - p.produced);
                } else if (bandEnd < capacity) {
                    GiveBackInput();
                    p.state = kBandFull;
                    owner->UseInOrder(position);
                    return;
                }
            }
            if (z.avail_in == 0 && p.blockLeft > 0 && !p.sourceEnded) {
                p.state = kNeedsInput;
                return;
            }
            const uInt before = z.avail_out;
            const int status = inflate(&z, Z_NO_FLUSH);
            p.produced += before - z.avail_out;
            if (status == Z_STREAM_END) {
                p.state = kEnded;
                owner->UseInOrder(position);
                return;
            }
            if (status != Z_OK) {
                p.state = kFailed;
                return;
            }
        }
        p.state = kFailed;
    }

    // The piece belongs to the slot, not to the stream: what the stream has
    // not taken of it is read again for the next band.
    void GiveBackInput() {
        Place& p = *place;
        if (stream->avail_in == 0)
            return;
        p.position -= stream->avail_in;
        p.blockLeft += stream->avail_in;
        p.sourceEnded = false;
        stream->avail_in = 0;
    }

    // The one-by-one reader reads the next record from after the last piece
    // it read: when the stream ended in an earlier piece than the block's
    // last, that is inside the block, not at its end.
    bool LeavesBlockEarly() const {
        const uint64_t pieces = (uint64_t(stream->total_in) + kInflateChunk - 1) / kInflateChunk;
        return pieces * kInflateChunk < place->size;
    }

    // The bytes of the band the stream gave.
    uint64_t Given() const {
        const uint64_t done = place->produced > bandStart ? place->produced - bandStart : 0;
        const uint64_t length = bandEnd - bandStart;
        return done < length ? done : length;
    }
};

StreamBands::StreamBands() {
    static_assert(sizeof(Place) <= kStreamRecordBytes - 16, "a layer's record outgrows what a read counts for it");
}

StreamBands::~StreamBands() {
    for (size_t index = 0; index < keptOpen; ++index)
        inflateEnd(&kept[index]);
}

void StreamBands::Add(const StreamBlock& block) {
    Place place;
    place.start = block.position;
    place.size = block.size;
    places.push_back(place);
    if (block.size > largestBlock)
        largestBlock = block.size;
}

bool StreamBands::Start(uint64_t newRowBytes, const BandPlan& plan, int32_t height, bool checkEnds) {
    rowBytes = newRowBytes;
    capacity = rowBytes * uint64_t(height);
    checkBlockEnds = checkEnds;
    bandStart = bandLength = 0;
    slots.clear();
    const uint64_t bandBytes = rowBytes * uint64_t(plan.rows);
    // zlib counts its room in 32 bits.
    if (plan.rows <= 0 || bandBytes > UINT32_MAX)
        return false;
    const bool wholePixels = rowBytes % 4 == 0;
    const int64_t bandWidth = wholePixels ? int64_t(rowBytes / 4) : int64_t((bandBytes + 3) / 4);
    const int32_t bandHeight = wholePixels ? plan.rows : 1;
    if (!ImageBuffer::SizeFits(bandWidth, bandHeight))
        return false;
    const size_t group = places.empty() ? 0 : std::min(std::max<size_t>(plan.group, 1), places.size());
    for (size_t k = 0; k < group; ++k) {
        auto slot = std::make_unique<BandSlot>();
        if (slot->input.Alloc(uint32_t(PieceBytes() > 0 ? PieceBytes() : 1), false) == nullptr ||
            !slot->band.Create(int32_t(bandWidth), bandHeight) || inflateInit(&slot->own) != Z_OK)
            return false;
        slot->ownOpen = true;
        slot->bandBytes = bandBytes;
        slot->owner = this;
        slot->position = k;
        slots.push_back(std::move(slot));
    }
    active.assign(group, nullptr);
    const size_t wanted = std::min(plan.keptOpen, places.size());
    const uint64_t bands = (uint64_t(height) + uint64_t(plan.rows) - 1) / uint64_t(plan.rows);
    if (bands > 1) {
        double restarted = 0;
        for (size_t index = wanted; index < places.size(); ++index)
            restarted += double(::MostExpanded(places[index].size, capacity));
        if (restarted * double(bands + 1) / 2 > kMostRestartBytes)
            return false;
    }
    if (keptOpen == 0 && wanted > 0) {
        kept.reset(new (std::nothrow) z_stream[wanted]());
        if (!kept)
            return false;
        for (; keptOpen < wanted; ++keptOpen)
            if (inflateInit(&kept[keptOpen]) != Z_OK)
                return false;
    }
    for (Place& p : places) {
        p.position = p.start;
        p.blockLeft = p.size;
        p.produced = 0;
        p.sourceEnded = false;
        p.state = kExpanding;
    }
    return true;
}

BandStatus StreamBands::Expand(ByteSource& source, WorkPool* pool, int32_t first, int32_t count, BandUser& user,
                               const Deadline& bandDeadline) {
    bandStart = uint64_t(first) * rowBytes;
    bandLength = uint64_t(count) * rowBytes;
    bandUser = &user;
    deadline = bandDeadline;
    for (size_t group = 0; group < places.size(); group += slots.size()) {
        const size_t streams = std::min(slots.size(), places.size() - group);
        const BandStatus status = ExpandGroup(source, pool, group, streams);
        // A stream stopped by the deadline looks failed.
        if (status != BandStatus::Expanded)
            return deadline.Passed() ? BandStatus::OutOfTime : status;
    }
    return BandStatus::Expanded;
}

uint64_t StreamBands::MostExpanded(uint64_t layerBytes) const {
    uint64_t most = 0;
    for (const Place& p : places)
        most += ::MostExpanded(p.size, layerBytes);
    return most;
}

bool StreamBands::AllEnded() const {
    for (const Place& p : places)
        if (p.state != kEnded)
            return false;
    return true;
}

void StreamBands::UseInOrder(size_t position) {
    std::unique_lock<std::mutex> lock(useMutex);
    if (position < groupSize)
        slots[position]->ready = true;
    // One thread at a time hands bands over; one that finds another doing
    // so leaves its band to it.
    if (usingBands)
        return;
    usingBands = true;
    while (nextUse < groupSize && slots[nextUse]->ready) {
        BandSlot& slot = *slots[nextUse];
        lock.unlock();
        if (slot.place != nullptr) {
            const uint64_t given = slot.Given();
            if (given > 0)
                bandUser->Use(slot.index, slot.band, given);
        }
        lock.lock();
        ++nextUse;
    }
    usingBands = false;
}

BandStatus StreamBands::ExpandGroup(ByteSource& source, WorkPool* pool, size_t firstStream, size_t count) {
    BandSlot** activeStart = active.data();
    size_t activeCount = 0;
    {
        std::lock_guard<std::mutex> lock(useMutex);
        groupSize = count;
        nextUse = 0;
    }
    for (size_t k = 0; k < count; ++k) {
        BandSlot& slot = *slots[k];
        const size_t index = firstStream + k;
        Place& p = places[index];
        slot.index = index;
        slot.place = nullptr;
        // A stream that ended in an earlier band gives nothing more.
        slot.ready = p.state == kEnded;
        if (slot.ready)
            continue;
        z_stream* stream = nullptr;
        if (index < keptOpen) {
            stream = &kept[index];
        } else {
            // Not kept open: it starts over from its block's first byte.
            stream = &slot.own;
            if (inflateReset(stream) != Z_OK)
                return BandStatus::Failed;
            stream->avail_in = 0;
            p.position = p.start;
            p.blockLeft = p.size;
            p.produced = 0;
            p.sourceEnded = false;
        }
        stream->avail_out = 0;
        slot.place = &p;
        slot.stream = stream;
        slot.bandStart = bandStart;
        slot.bandEnd = bandStart + bandLength;
        slot.capacity = capacity;
        p.state = stream->avail_in == 0 && p.blockLeft > 0 && !p.sourceEnded ? kNeedsInput : kExpanding;
        activeStart[activeCount++] = &slot;
    }
    // Rounds: each stream expands until its band is full or it needs more of
    // its block, which is read here between rounds.
    while (activeCount > 0) {
        for (size_t k = 0; k < activeCount; ++k) {
            BandSlot& slot = *activeStart[k];
            if (slot.place->state == kNeedsInput && !slot.Feed(source))
                return BandStatus::Failed;
            slot.place->state = kExpanding;
        }
        const std::atomic<bool> running(false);
        if (pool != nullptr && activeCount > 1) {
            WorkGroup group(*pool);
            for (size_t k = 0; k < activeCount; ++k)
                if (!group.Post(*activeStart[k]))
                    activeStart[k]->Run(running); // a pool that takes no more work leaves it here
            for (size_t k = 0; k < activeCount; ++k) {
                group.Wait(*activeStart[k]);
                if (activeStart[k]->Failed())
                    activeStart[k]->place->state = kFailed;
            }
        }
        // Without a pool, or where the pool dropped a stream unrun (it
        // leaves it expanding), this thread expands it.
        for (size_t k = 0; k < activeCount; ++k)
            if (activeStart[k]->place->state == kExpanding)
                activeStart[k]->Run(running);
        size_t left = 0;
        for (size_t k = 0; k < activeCount; ++k) {
            BandSlot& slot = *activeStart[k];
            if (slot.place->state == kFailed)
                return BandStatus::Failed;
            if (slot.place->state == kEnded && checkBlockEnds && slot.LeavesBlockEarly())
                return BandStatus::EndsEarly;
            if (slot.place->state == kNeedsInput)
                activeStart[left++] = &slot;
        }
        activeCount = left;
    }
    // The bands no thread handed over: those after streams that ended in
    // earlier bands, at the group's end.
    UseInOrder(SIZE_MAX);
    return BandStatus::Expanded;
}
