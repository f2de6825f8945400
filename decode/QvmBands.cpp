#include "decode/QvmBands.h"

#include "pixels/BlendTable.h"
#include "base/ByteSource.h"
#include "pixels/CompositeLayer.h"
#include "decode/DocumentHeader.h"
#include "pixels/ImageBuffer.h"
#include "decode/Inflate.h"
#include "base/MemBlock.h"
#include "decode/QvmFormat.h"
#include "decode/StreamBands.h"
#include "base/WorkPool.h"

#include <algorithm>
#include <new>
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
                             StreamBands& streams, std::vector<LayerBlend>& blends, const Deadline& deadline) {
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        if (deadline.Passed())
            return false;
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
                          StreamBands& streams, std::vector<LayerBlend>& blends, uint64_t mostPlanned,
                          const Deadline& deadline, bool* tooMuchOut, LoadResult* faultOut) {
    bool unused = false;
    bool& tooMuch = tooMuchOut != nullptr ? *tooMuchOut : unused;
    LoadResult noted;
    LoadResult& fault = faultOut != nullptr ? *faultOut : noted;
    MemBlock input, scratch;
    if (input.Alloc(kInflateChunk, false) == nullptr || scratch.Alloc(kInflateChunk, false) == nullptr) {
        fault = loadresult::OutOfMemory(header.width, header.height);
        return false;
    }
    const uint64_t capacity = uint64_t(header.width) * header.height * 4;
    uint64_t passed = 0;
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (deadline.Passed())
            return false;
        if (!ReadQvmLayerRecord(source, header.recordLength, record)) {
            fault = loadresult::TruncatedAt(index + 1);
            return false;
        }
        if (!QvmLayerShows(record, index, visible)) {
            if (!source.Skip(record.compressedSize)) {
                fault = loadresult::TruncatedAt(index + 1);
                return false;
            }
            continue;
        }
        // Passing the streams through is planned like expanding them: the
        // bands expand them all again after it.
        passed += MostExpanded(record.compressedSize, capacity);
        tooMuch = passed * 2 > mostPlanned;
        if (tooMuch)
            return false;
        const int64_t start = source.Tell();
        if (start < 0) {
            fault = loadresult::ReadError();
            return false;
        }
        if (!PassStream(source, capacity, record.compressedSize, input.data, scratch.data, kInflateChunk, deadline)) {
            fault = loadresult::CorruptLayer(index + 1);
            return false;
        }
        streams.Add({start, record.compressedSize});
        blends.push_back({record.blendMode, record.opacity});
    }
    return true;
}

namespace {

// Retry: the records are not where their lengths put them, or a stream
// found that way fails; only ReadQvm's own walk can tell.
enum class Flattened { Done, Broken, NotBanded, Refused, Retry };

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
                  WorkPool* pool, const BandShape& shape, BandSink& sink, const Deadline& deadline, LoadResult& fault) {
    if (source.Seek(records, ByteSource::FromStart) != records) {
        fault = loadresult::ReadError();
        return Flattened::Broken;
    }
    // The blend table and every record's place come first; a document that
    // claims more records than that leaves is refused before any is read.
    const uint64_t tableBytes = BlendTable::kEntries;
    if (memoryLimit <= tableBytes || uint64_t(header.layerCount) * kStreamRecordBytes >= memoryLimit - tableBytes)
        return Flattened::NotBanded;
    StreamBands streams;
    std::vector<LayerBlend> blends;
    streams.Reserve(header.layerCount);
    blends.reserve(header.layerCount);
    bool tooMuch = false;
    const bool found = byLengths ? FindQvmStreamsByLengths(source, header, nullptr, streams, blends, deadline)
                                 : FindQvmStreamsAsRead(source, header, nullptr, streams, blends, shape.mostPlanned,
                                                        deadline, &tooMuch, &fault);
    if (tooMuch || deadline.Passed())
        return Flattened::Refused;
    if (!found)
        return byLengths ? Flattened::Retry : Flattened::Broken;
    if (streams.Count() == 0)
        return sink.Begin(true) && SendWhiteRows(sink, header.width, header.height) ? Flattened::Done
                                                                                    : Flattened::NotBanded;
    // The plan: every visible stream expanded once, whichever stay open
    // (those that start over are bounded by StreamBands::Start).
    if (streams.MostExpanded(uint64_t(header.width) * header.height * 4) > shape.mostPlanned)
        return Flattened::Refused;

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
        const BandStatus status = streams.Expand(source, pool, first, count, blender, deadline);
        if (status == BandStatus::OutOfMemory)
            return Flattened::NotBanded;
        if (status == BandStatus::OutOfTime)
            return Flattened::Refused;
        if (status != BandStatus::Expanded) {
            // Found as read, every stream was passed through whole before:
            // only the file failing can break one now.
            fault = loadresult::ReadError();
            return byLengths ? Flattened::Retry : Flattened::Broken;
        }
        for (int32_t row = 0; row < count; ++row)
            sink.Row(picture.bits + size_t(row) * size_t(rowBytes));
        if (streams.AllEnded()) {
            // No layer reaches further down.
            picture.Fill(0xFFFFFFFF);
            sink.RepeatRow(picture.bits, height - first - count);
            break;
        }
    }
    return Flattened::Done;
}

} // namespace

bool SendWhiteRows(BandSink& sink, int32_t width, int32_t count) {
    std::vector<uint8_t> white;
    try {
        white.assign(size_t(width) * 4, 0xFF);
    } catch (const std::bad_alloc&) {
        return false;
    }
    sink.RepeatRow(white.data(), count);
    return true;
}

BandedRead ReadQvmInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, BandSink& sink,
                          const BandShape& shape, const Deadline& deadline, LoadResult* faultOut) {
    LoadResult noted;
    LoadResult& fault = faultOut != nullptr ? *faultOut : noted;
    DocumentHeader read;
    if (source.Seek(0, ByteSource::FromStart) != 0) {
        fault = loadresult::ReadError();
        return BandedRead::Broken;
    }
    fault = ReadDocumentHeaderSaying(source, read);
    if (fault && read.kind != DocumentKind::Qvm)
        fault = loadresult::NotDocument();
    if (fault && (read.width == 0 || read.height == 0))
        fault = loadresult::EmptyPicture(read.width, read.height);
    if (!fault)
        return BandedRead::Broken;
    QvmHeader header;
    header.width = read.width;
    header.height = read.height;
    header.layerCount = read.layerCount;
    header.recordLength = read.recordLength;
    const int64_t records = source.Tell();
    Flattened flattened = Flatten(source, header, records, true, memoryLimit, pool, shape, sink, deadline, fault);
    if (flattened == Flattened::Retry) {
        fault = LoadResult();
        flattened = Flatten(source, header, records, false, memoryLimit, pool, shape, sink, deadline, fault);
    }
    switch (flattened) {
    case Flattened::Done:
        return BandedRead::Done;
    case Flattened::NotBanded:
        return BandedRead::NotBanded;
    case Flattened::Refused:
        return BandedRead::Refused;
    default:
        break;
    }
    // Nothing the bands meet goes unnamed.
    if (fault)
        fault = loadresult::ReadError();
    return BandedRead::Broken;
}
