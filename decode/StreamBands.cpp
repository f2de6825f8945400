#include "decode/StreamBands.h"

#include "decode/ByteSource.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "base/WorkPool.h"

#include <zlib.h>

#include <atomic>

namespace {

// What a stream reads of its block at a time: about a band's worth of a
// typical layer, so that a band takes one or two rounds of the pool rather
// than one for every piece.
constexpr uint32_t kInputSize = 131072;

} // namespace

// One stream, expanded a band at a time.
class BandStream : public WorkJob {
public:
    enum class State { Expanding, NeedsInput, BandFull, Ended, Failed };

    int64_t position = 0;   // of the next compressed byte to read
    uint32_t blockLeft = 0; // compressed bytes of the block not read yet
    uint32_t blockSize = 0;
    bool sourceEnded = false;   // the file ended inside the block
    uint64_t capacity = 0;      // the layer's bytes: the stream may fill no more
    uint64_t produced = 0;      // bytes expanded so far
    bool atCapacityEnd = false; // the band being filled ends the layer
    State state = State::Expanding;
    z_stream stream = {};
    bool open = false;
    MemBlock input;
    ImageBuffer band;

    ~BandStream() override {
        if (open)
            inflateEnd(&stream);
    }

    // Reads the next piece of the block from the file (on the reader's
    // thread: the source is not shared).
    bool Feed(ByteSource& source) {
        const uint32_t want = blockLeft < kInputSize ? blockLeft : kInputSize;
        if (source.Seek(position, ByteSource::FromStart) != position)
            return false;
        const uint32_t got = source.Read(input.data, want);
        position += got;
        blockLeft -= got;
        if (got < want)
            sourceEnded = true;
        stream.next_in = input.data;
        stream.avail_in = got;
        return true;
    }

    // As InflateFromSource: a read is asked for whenever the input is used
    // up and the block has more; otherwise zlib is called as there, also
    // with no input or no room left, so that the stream ends or fails just
    // where it does there.
    void Run(const std::atomic<bool>& cancelled) override {
        while (!cancelled.load(std::memory_order_relaxed)) {
            if (stream.avail_in == 0 && blockLeft > 0 && !sourceEnded) {
                state = State::NeedsInput;
                return;
            }
            if (stream.avail_out == 0 && !atCapacityEnd) {
                state = State::BandFull;
                return;
            }
            const uInt before = stream.avail_out;
            const int status = inflate(&stream, Z_NO_FLUSH);
            produced += before - stream.avail_out;
            if (status == Z_STREAM_END) {
                state = State::Ended;
                return;
            }
            if (status != Z_OK) {
                state = State::Failed;
                return;
            }
        }
        state = State::Failed;
    }

    // The one-by-one reader reads the next record from after the last piece
    // it read: when the stream ended in an earlier piece than the block's
    // last, that is inside the block, not at its end.
    bool LeavesBlockEarly() const {
        const uint64_t pieces = (uint64_t(stream.total_in) + kInflateChunk - 1) / kInflateChunk;
        return pieces * kInflateChunk < blockSize;
    }
};

StreamBands::StreamBands() = default;
StreamBands::~StreamBands() = default;

bool StreamBands::Start(uint64_t newRowBytes, int32_t rows, int32_t height, bool checkEnds) {
    rowBytes = newRowBytes;
    checkBlockEnds = checkEnds;
    bandStart = bandLength = 0;
    streams.clear();
    const uint64_t bandBytes = rowBytes * uint64_t(rows);
    // zlib counts its room in 32 bits.
    if (bandBytes > UINT32_MAX)
        return false;
    const bool wholePixels = rowBytes % 4 == 0;
    const int64_t bandWidth = wholePixels ? int64_t(rowBytes / 4) : int64_t((bandBytes + 3) / 4);
    const int32_t bandHeight = wholePixels ? rows : 1;
    if (!ImageBuffer::SizeFits(bandWidth, bandHeight))
        return false;
    for (const StreamBlock& block : blocks) {
        auto stream = std::make_unique<BandStream>();
        stream->position = block.position;
        stream->blockLeft = stream->blockSize = block.size;
        stream->capacity = rowBytes * uint64_t(height);
        stream->state = block.size > 0 ? BandStream::State::NeedsInput : BandStream::State::Expanding;
        if (stream->input.Alloc(kInputSize, false) == nullptr || !stream->band.Create(int32_t(bandWidth), bandHeight) ||
            inflateInit(&stream->stream) != Z_OK)
            return false;
        stream->open = true;
        streams.push_back(std::move(stream));
    }
    return true;
}

BandStatus StreamBands::Expand(ByteSource& source, WorkPool* pool, int32_t first, int32_t count) {
    bandStart = uint64_t(first) * rowBytes;
    bandLength = uint64_t(count) * rowBytes;
    std::vector<BandStream*> active;
    for (auto& stream : streams) {
        stream->stream.next_out = stream->band.bits;
        stream->stream.avail_out = uInt(bandLength);
        stream->atCapacityEnd = bandStart + bandLength == stream->capacity;
        if (stream->state != BandStream::State::Ended)
            active.push_back(stream.get());
    }
    // Rounds: each stream expands until its band is full or it needs more of
    // its block, which is read here between rounds.
    while (!active.empty()) {
        for (BandStream* stream : active) {
            if (stream->state == BandStream::State::NeedsInput && !stream->Feed(source))
                return BandStatus::Failed;
            stream->state = BandStream::State::Expanding;
        }
        const std::atomic<bool> running(false);
        if (pool != nullptr && active.size() > 1) {
            WorkGroup group(*pool);
            for (BandStream* stream : active)
                if (!group.Post(*stream))
                    stream->Run(running); // a pool that takes no more work leaves it here
            for (BandStream* stream : active) {
                group.Wait(*stream);
                if (stream->Failed())
                    stream->state = BandStream::State::Failed;
            }
        }
        // Without a pool, or where the pool dropped a stream unrun (it
        // leaves it Expanding), this thread expands it.
        for (BandStream* stream : active)
            if (stream->state == BandStream::State::Expanding)
                stream->Run(running);
        size_t kept = 0;
        for (BandStream* stream : active) {
            if (stream->state == BandStream::State::Failed)
                return BandStatus::Failed;
            if (stream->state == BandStream::State::Ended && checkBlockEnds && stream->LeavesBlockEarly())
                return BandStatus::EndsEarly;
            if (stream->state == BandStream::State::NeedsInput)
                active[kept++] = stream;
        }
        active.resize(kept);
    }
    return BandStatus::Expanded;
}

const ImageBuffer& StreamBands::Band(size_t index) const {
    return streams[index]->band;
}

uint64_t StreamBands::BandBytes(size_t index) const {
    const uint64_t produced = streams[index]->produced;
    const uint64_t done = produced > bandStart ? produced - bandStart : 0;
    return done < bandLength ? done : bandLength;
}
