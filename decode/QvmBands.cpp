#include "decode/QvmBands.h"

#include "decode/BlendTable.h"
#include "decode/ByteSource.h"
#include "decode/CompositeLayer.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "decode/QvmFormat.h"
#include "decode/StreamBands.h"
#include "base/WorkPool.h"

#include <algorithm>
#include <vector>

namespace {

// A band of about this many bytes keeps a layer's band and the picture's in
// the processor's cache while they are blended.
constexpr uint64_t kBandBytes = uint64_t(1) << 20;

} // namespace

bool QvmLayerShows(const QvmLayerRecord& record, uint32_t index, const std::vector<uint8_t>* visible) {
    if (visible != nullptr && index < visible->size())
        return (*visible)[index] != 0;
    return record.Visible();
}

bool FindQvmStreamsByLengths(ByteSource& source, const QvmHeader& header, const std::vector<uint8_t>* visible,
                             StreamBands& streams, std::vector<LayerBlend>& blends) {
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(source, header.recordLength, record))
            return false;
        const int64_t start = source.Tell();
        if (start < 0 || !source.Skip(record.compressedSize))
            return false;
        if (QvmLayerShows(record, index, visible)) {
            streams.Add({start, record.compressedSize});
            blends.push_back({record.blendMode, record.opacity});
        }
    }
    return true;
}

bool FindQvmStreamsAsRead(ByteSource& source, const QvmHeader& header, const std::vector<uint8_t>* visible,
                          StreamBands& streams, std::vector<LayerBlend>& blends) {
    MemBlock input, scratch;
    if (input.Alloc(kInflateChunk, false) == nullptr || scratch.Alloc(kInflateChunk, false) == nullptr)
        return false;
    const uint64_t capacity = uint64_t(header.width) * header.height * 4;
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(source, header.recordLength, record))
            return false;
        if (!QvmLayerShows(record, index, visible)) {
            if (!source.Skip(record.compressedSize))
                return false;
            continue;
        }
        const int64_t start = source.Tell();
        if (start < 0 || !PassStream(source, capacity, record.compressedSize, input.data, scratch.data, kInflateChunk))
            return false;
        streams.Add({start, record.compressedSize});
        blends.push_back({record.blendMode, record.opacity});
    }
    return true;
}

namespace {

// Retry: the records are not where their lengths put them, or a stream
// found that way fails; only ReadQvm's own walk can tell.
enum class Flattened { Done, Broken, NotBanded, Retry };

// Blends each layer's band onto the picture's, bottom layer first.
class LayerBlender : public BandUser {
public:
    LayerBlender(ImageBuffer& picture, BlendTable& table, const std::vector<LayerBlend>& blends)
        : picture(picture), table(table), blends(blends) {}

    // The band's picture and layers are walked as flat arrays of pixels, the
    // band's first `pixels` of them. A stream that ended early leaves the rest
    // of its layer transparent; a pixel cut in the middle counts as
    // transparent too.
    void Use(size_t index, ImageBuffer& band, uint64_t bytes) override {
        const uint64_t pixels = bytes / 4;
        if (pixels > 0)
            CompositeLayer(picture, band, blends[index].mode, blends[index].opacity, table, size_t(pixels));
    }

private:
    ImageBuffer& picture;
    BlendTable& table;
    const std::vector<LayerBlend>& blends;
};

Flattened Flatten(ByteSource& source, const QvmHeader& header, int64_t records, bool byLengths, uint64_t memoryLimit,
                  WorkPool* pool, const BandShape& shape, BandSink& sink) {
    if (source.Seek(records, ByteSource::FromStart) != records)
        return Flattened::Broken;
    // The blend table and every record's place come first; a document that
    // claims more records than that leaves is refused before any is read.
    const uint64_t tableBytes = BlendTable::kEntries;
    if (memoryLimit <= tableBytes || uint64_t(header.layerCount) * kStreamRecordBytes >= memoryLimit - tableBytes)
        return Flattened::NotBanded;
    StreamBands streams;
    std::vector<LayerBlend> blends;
    streams.Reserve(header.layerCount);
    blends.reserve(header.layerCount);
    const bool found = byLengths ? FindQvmStreamsByLengths(source, header, nullptr, streams, blends)
                                 : FindQvmStreamsAsRead(source, header, nullptr, streams, blends);
    if (!found)
        return byLengths ? Flattened::Retry : Flattened::Broken;

    // Bands of about kBandBytes keep the layers' bands and the picture's in
    // the processor's cache while they are blended; a group of layers twice
    // the pool's size, and at least eight (most documents have no more),
    // keeps every thread busy and the rounds few.
    const int32_t width = header.width, height = header.height;
    const uint64_t rowBytes = uint64_t(width) * 4;
    const uint64_t cacheRows = kBandBytes / rowBytes > 0 ? kBandBytes / rowBytes : 1;
    const size_t groupWanted = pool != nullptr && pool->Size() > 1 ? std::max<size_t>(size_t(pool->Size()) * 2, 8) : 1;
    BandPlan plan;
    if (!PlanBands(memoryLimit - tableBytes, streams.Count(), header.layerCount, streams.PieceBytes(), rowBytes,
                   rowBytes, height, cacheRows, groupWanted, shape, plan))
        return Flattened::NotBanded;

    ImageBuffer picture;
    BlendTable table;
    if (!picture.Create(width, plan.rows) || !table.Allocate() || !streams.Start(rowBytes, plan, height, byLengths))
        return Flattened::NotBanded;
    if (!sink.Begin(true))
        return Flattened::NotBanded;
    LayerBlender blender(picture, table, blends);
    for (int32_t first = 0; first < height; first += plan.rows) {
        const int32_t count = height - first < plan.rows ? height - first : plan.rows;
        picture.Fill(0xFFFFFFFF);
        const BandStatus status = streams.Expand(source, pool, first, count, blender);
        if (status == BandStatus::OutOfMemory)
            return Flattened::NotBanded;
        if (status != BandStatus::Expanded)
            return byLengths ? Flattened::Retry : Flattened::Broken;
        for (int32_t row = 0; row < count; ++row)
            sink.Row(picture.bits + size_t(row) * size_t(rowBytes));
    }
    return Flattened::Done;
}

} // namespace

BandedRead ReadQvmInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, BandSink& sink,
                          const BandShape& shape) {
    QvmHeader header;
    if (source.Seek(0, ByteSource::FromStart) != 0 || !ReadQvmHeader(source, header))
        return BandedRead::Broken;
    if (header.width == 0 || header.height == 0)
        return BandedRead::Broken;
    const int64_t records = source.Tell();
    Flattened flattened = Flatten(source, header, records, true, memoryLimit, pool, shape, sink);
    if (flattened == Flattened::Retry)
        flattened = Flatten(source, header, records, false, memoryLimit, pool, shape, sink);
    switch (flattened) {
    case Flattened::Done:
        return BandedRead::Done;
    case Flattened::NotBanded:
        return BandedRead::NotBanded;
    default:
        return BandedRead::Broken;
    }
}
