#include "decode/QvmBands.h"

#include "decode/BlendTable.h"
#include "decode/ByteSource.h"
#include "decode/CompositeLayer.h"
#include "decode/ImageBuffer.h"
#include "decode/MemBlock.h"
#include "decode/QvmFormat.h"
#include "base/WorkPool.h"

#include <zlib.h>

#include <memory>
#include <vector>

namespace {

// ReadQvm reads a layer's compressed bytes in pieces of this size; where a
// stream ends decides where it reads the next record (see LeavesBlockEarly).
constexpr uint32_t kChunkSize = 32768;
// What a layer reads of its block at a time: about a band's worth of a
// typical layer, so that a band takes one or two rounds of the pool rather
// than one for every piece.
constexpr uint32_t kInputSize = 131072;
// A band of about this many bytes keeps a layer's band and the picture's in
// the processor's cache while they are blended.
constexpr uint64_t kBandBytes = uint64_t(1) << 20;

// One visible layer: its stream, expanded a band at a time.
class LayerStream : public WorkJob {
public:
    enum class State { Expanding, NeedsInput, BandFull, Ended, Failed };

    int64_t position = 0;   // of the next compressed byte to read
    uint32_t blockLeft = 0; // compressed bytes of the block not read yet
    uint32_t blockSize = 0;
    uint8_t mode = 0;
    uint8_t opacity = 0;
    bool sourceEnded = false;   // the file ended inside the block
    uint64_t capacity = 0;      // the layer's bytes: the stream may fill no more
    uint64_t produced = 0;      // bytes expanded so far
    bool atCapacityEnd = false; // the band being filled ends the layer
    State state = State::Expanding;
    z_stream stream = {};
    bool open = false;
    MemBlock input;
    ImageBuffer band;
    BlendTable table;

    ~LayerStream() override {
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

    // ReadQvm reads the next record from after the last piece it read: when
    // the stream ended in an earlier piece than the block's last, that is
    // inside the block, not at its end where this reader found the records.
    bool LeavesBlockEarly() const {
        const uint64_t pieces = (uint64_t(stream.total_in) + kChunkSize - 1) / kChunkSize;
        return pieces * kChunkSize < blockSize;
    }
};

} // namespace

BandedRead ReadQvmInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, const RowSink& sink) {
    QvmHeader header;
    if (source.Seek(0, ByteSource::FromStart) != 0 || !ReadQvmHeader(source, header))
        return BandedRead::NotBanded;
    const int32_t width = header.width, height = header.height;
    if (width == 0 || height == 0)
        return BandedRead::NotBanded;

    std::vector<std::unique_ptr<LayerStream>> layers;
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(source, header.recordLength, record))
            return BandedRead::NotBanded;
        const int64_t start = source.Tell();
        if (start < 0 || !source.Skip(record.compressedSize))
            return BandedRead::NotBanded;
        if (!record.Visible())
            continue;
        auto layer = std::make_unique<LayerStream>();
        layer->position = start;
        layer->blockLeft = layer->blockSize = record.compressedSize;
        layer->mode = record.blendMode;
        layer->opacity = record.opacity;
        layer->capacity = uint64_t(width) * uint64_t(height) * 4;
        layer->state = record.compressedSize > 0 ? LayerStream::State::NeedsInput : LayerStream::State::Expanding;
        layers.push_back(std::move(layer));
        if (uint64_t(layers.size()) * kBandedLayerOverhead > memoryLimit)
            return BandedRead::NotBanded;
    }

    // The band: as many rows as fit the memory beside the layers' own,
    // counting the picture's band with the layers'.
    const uint64_t rowBytes = uint64_t(width) * 4;
    const uint64_t buffers = layers.size() + 1;
    const uint64_t room = memoryLimit - uint64_t(layers.size()) * kBandedLayerOverhead;
    uint64_t bandRows = room / (buffers * rowBytes);
    if (bandRows == 0)
        return BandedRead::NotBanded;
    const uint64_t cacheRows = kBandBytes / rowBytes > 0 ? kBandBytes / rowBytes : 1;
    if (bandRows > cacheRows)
        bandRows = cacheRows;
    if (bandRows > uint64_t(height))
        bandRows = uint64_t(height);
    const int32_t rows = int32_t(bandRows);

    ImageBuffer picture;
    if (!picture.Create(width, rows))
        return BandedRead::NotBanded;
    for (auto& layer : layers) {
        if (layer->input.Alloc(kInputSize, false) == nullptr || !layer->band.Create(width, rows) ||
            inflateInit(&layer->stream) != Z_OK)
            return BandedRead::NotBanded;
        layer->open = true;
    }

    std::vector<LayerStream*> active;
    for (int32_t first = 0; first < height; first += rows) {
        const int32_t count = height - first < rows ? height - first : rows;
        const uint64_t bandStart = uint64_t(first) * rowBytes;
        const uint64_t bandLength = uint64_t(count) * rowBytes;
        active.clear();
        for (auto& layer : layers) {
            layer->stream.next_out = layer->band.bits;
            layer->stream.avail_out = uInt(bandLength);
            layer->atCapacityEnd = bandStart + bandLength == layer->capacity;
            if (layer->state != LayerStream::State::Ended)
                active.push_back(layer.get());
        }
        // Rounds: each layer expands until its band is full or it needs more
        // of its block, which is read here between rounds.
        while (!active.empty()) {
            for (LayerStream* layer : active) {
                if (layer->state == LayerStream::State::NeedsInput && !layer->Feed(source))
                    return BandedRead::NotBanded;
                layer->state = LayerStream::State::Expanding;
            }
            if (pool != nullptr && active.size() > 1) {
                for (LayerStream* layer : active)
                    pool->Post(*layer); // one refused stays Expanding
                for (LayerStream* layer : active)
                    pool->Wait(*layer);
            } else {
                const std::atomic<bool> running(false);
                for (LayerStream* layer : active)
                    layer->Run(running);
            }
            size_t kept = 0;
            for (LayerStream* layer : active) {
                // Still Expanding: a cancelled pool never ran it.
                if (layer->state == LayerStream::State::Failed || layer->state == LayerStream::State::Expanding)
                    return BandedRead::NotBanded;
                if (layer->state == LayerStream::State::Ended && layer->LeavesBlockEarly())
                    return BandedRead::NotBanded;
                if (layer->state == LayerStream::State::NeedsInput)
                    active[kept++] = layer;
            }
            active.resize(kept);
        }

        picture.Fill(0xFFFFFFFF);
        // The band's picture and layers are walked as flat arrays of pixels,
        // the band's first `pixels` of them.
        for (auto& layer : layers) {
            const uint64_t done = layer->produced > bandStart ? layer->produced - bandStart : 0;
            // A stream that ended early leaves the rest of its layer
            // transparent; a pixel cut in the middle counts as transparent too.
            const uint64_t pixels = (done < bandLength ? done : bandLength) / 4;
            if (pixels == 0)
                continue;
            CompositeLayer(picture, layer->band, layer->mode, layer->opacity, layer->table, size_t(pixels));
        }
        for (int32_t row = 0; row < count; ++row)
            sink(picture.bits + size_t(row) * size_t(rowBytes));
    }
    return BandedRead::Done;
}
