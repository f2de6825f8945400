#include "decode/QvrBands.h"

#include "base/ByteSource.h"
#include "base/MemBlock.h"
#include "base/WorkPool.h"
#include "decode/DocumentHeader.h"
#include "decode/Inflate.h"
#include "decode/QvrMaskRecords.h"
#include "decode/QvrTileBands.h"
#include "decode/QvrVersions.h"
#include "decode/StreamBands.h"
#include "pixels/ImageBuffer.h"

#include <cstring>
#include <algorithm>
#include <vector>

namespace {

// A band of about this many bytes keeps a mask's band and the picture's in
// the processor's cache while they are mixed.
constexpr uint64_t kMaskBandBytes = uint64_t(1) << 20;

// Version 0, a stored flattened picture: one stream of the picture's own
// pixels, bottom row first. One that ends early leaves the rest black and
// clear, as ReadQvr leaves it.
class StoredRows : public BandUser {
public:
    StoredRows(BandSink& sink, uint64_t rowBytes) : sink(sink), rowBytes(rowBytes) {}
    void Use(size_t, ImageBuffer& band, uint64_t bytes) override {
        given = &band;
        givenBytes = bytes;
    }
    // The band's rows, black where the stream gave nothing. The stream's
    // band stays with its slot, so a band the stream no longer reaches
    // blacks out the one it gave last.
    void Send(int32_t count) {
        const size_t bandBytes = size_t(uint64_t(count) * rowBytes);
        if (given != nullptr) {
            std::memset(given->bits + givenBytes, 0, bandBytes - size_t(givenBytes));
            for (int32_t row = 0; row < count; ++row)
                sink.Row(given->bits + size_t(row) * size_t(rowBytes));
        } else {
            // A stream that gave not one byte.
            black.assign(size_t(rowBytes), 0);
            for (int32_t row = 0; row < count; ++row)
                sink.Row(black.data());
        }
        givenBytes = 0;
    }

private:
    BandSink& sink;
    const uint64_t rowBytes;
    ImageBuffer* given = nullptr;
    uint64_t givenBytes = 0;
    std::vector<uint8_t> black;
};

BandedRead FlattenedInBands(ByteSource& source, int32_t width, int32_t height, uint32_t size, uint64_t memoryLimit,
                            const BandShape& shape, BandSink& sink, const Deadline& deadline, LoadResult& fault) {
    StreamBands streams;
    streams.Add({source.Tell(), size});
    const uint64_t rowBytes = uint64_t(width) * 4;
    BandPlan plan;
    if (!PlanBands(memoryLimit, 1, 1, streams.PieceBytes(), rowBytes, 0, height, kMaskBandBytes * 4 / rowBytes + 1, 1,
                   shape, plan) ||
        !streams.Start(rowBytes, plan, height, false) || !sink.Begin(true))
        return BandedRead::NotBanded;
    StoredRows rows(sink, rowBytes);
    for (int32_t first = 0; first < height; first += plan.rows) {
        const int32_t count = height - first < plan.rows ? height - first : plan.rows;
        const BandStatus status = streams.Expand(source, nullptr, first, count, rows, deadline);
        if (status == BandStatus::OutOfTime)
            return BandedRead::Refused;
        if (status != BandStatus::Expanded) {
            fault = loadresult::CorruptPicture();
            return BandedRead::Broken;
        }
        rows.Send(count);
        if (streams.AllEnded() && first + count < height) {
            // The stream gives no more: the rest is black, in one run.
            const std::vector<uint8_t> black(size_t(rowBytes), 0);
            sink.RepeatRow(black.data(), height - first - count);
            break;
        }
    }
    return BandedRead::Done;
}

// Retry: the records are not where their lengths put them, or the masks
// must be passed through as ReadQvr finds them (none is visible).
enum class Flattened { Done, Broken, NotBanded, Refused, Retry };

// Mixes each visible layer's colour through its mask band onto the
// picture's band, bottom layer first; the band's rows lie top row first.
class MaskMixer : public BandUser {
public:
    MaskMixer(ImageBuffer& picture, const std::vector<MaskLayer>& layers, uint64_t stride)
        : picture(picture), layers(layers), stride(stride) {}

    // A mask stream that ended early covers nothing beyond what it gave, so
    // the walk stops there instead of taking stale bytes.
    void Use(size_t index, ImageBuffer& band, uint64_t produced) override {
        if ((layers[index].flags & 1) == 0)
            return;
        const CoverageMixer mixer = {layers[index].opacity, layers[index].colour};
        const uint64_t rowBytes = uint64_t(picture.width) * 4;
        for (int32_t row = 0; row < count; ++row) {
            const uint64_t rowStart = uint64_t(row) * stride;
            if (rowStart >= produced)
                break;
            const uint64_t available = produced - rowStart;
            const size_t pixels = available < uint64_t(picture.width) ? size_t(available) : size_t(picture.width);
            mixer.MixRow(picture.bits + size_t(row) * size_t(rowBytes), band.bits + rowStart, pixels);
        }
    }

    int32_t count = 0; // rows of the band

private:
    ImageBuffer& picture;
    const std::vector<MaskLayer>& layers;
    const uint64_t stride;
};

Flattened MasksInBands(ByteSource& source, int32_t width, int32_t height, uint16_t layerCount, int64_t records,
                       bool byLengths, uint64_t memoryLimit, WorkPool* pool, const BandShape& shape, BandSink& sink,
                       const Deadline& deadline, LoadResult& fault) {
    if (source.Seek(records, ByteSource::FromStart) != records) {
        fault = loadresult::ReadError();
        return Flattened::Broken;
    }
    if (uint64_t(layerCount) * kStreamRecordBytes >= memoryLimit)
        return Flattened::NotBanded;
    const uint64_t stride = (uint64_t(width) + 3) & ~uint64_t(3);
    StreamBands streams;
    std::vector<MaskLayer> layers;
    streams.Reserve(layerCount);
    layers.reserve(layerCount);
    const uint64_t maskBytes = stride * uint64_t(height);
    bool tooMuch = false;
    const bool found = FindMasks(source, layerCount, maskBytes, byLengths, streams, layers, shape.mostPlanned, deadline,
                                 tooMuch, &fault);
    if (tooMuch || deadline.Passed())
        return Flattened::Refused;
    if (!found)
        return byLengths ? Flattened::Retry : Flattened::Broken;
    // Every mask is expanded, hidden ones too; passing them through first,
    // where that is needed, costs as much again.
    const uint64_t planned = streams.MostExpanded(maskBytes);
    if (planned > shape.mostPlanned / (byLengths ? 1 : 2))
        return Flattened::Refused;
    const bool anyVisible = std::any_of(layers.begin(), layers.end(), [](const MaskLayer& l) { return l.flags & 1; });
    if (!anyVisible) {
        // Nothing to mix: the masks need only be expanded as ReadQvr
        // expands them, to fail where it fails, and the picture is white.
        if (byLengths && layerCount > 0)
            return Flattened::Retry;
        return sink.Begin(false) && SendWhiteRows(sink, width, height) ? Flattened::Done : Flattened::NotBanded;
    }
    // The picture's band and a mask band a slot, a mask row taking about a
    // quarter of a picture row.
    const uint64_t rowBytes = uint64_t(width) * 4;
    const size_t groupWanted = pool != nullptr && pool->Size() > 1 ? std::max<size_t>(size_t(pool->Size()) * 2, 8) : 1;
    BandPlan plan;
    ImageBuffer picture;
    if (!PlanBands(memoryLimit, streams.Count(), layerCount, streams.PieceBytes(), stride, rowBytes, height,
                   kMaskBandBytes / rowBytes + 1, groupWanted, shape, plan) ||
        !picture.Create(width, plan.rows) || !streams.Start(stride, plan, height, byLengths) || !sink.Begin(false))
        return Flattened::NotBanded;
    MaskMixer mixer(picture, layers, stride);
    for (int32_t first = 0; first < height; first += plan.rows) {
        mixer.count = height - first < plan.rows ? height - first : plan.rows;
        picture.Fill(0xFFFFFFFF);
        const BandStatus status = streams.Expand(source, pool, first, mixer.count, mixer, deadline);
        if (status == BandStatus::OutOfTime)
            return Flattened::Refused;
        if (status != BandStatus::Expanded) {
            // Found as read, every mask was passed through whole before:
            // only the file failing can break one now.
            fault = loadresult::ReadError();
            return byLengths ? Flattened::Retry : Flattened::Broken;
        }
        for (int32_t row = 0; row < mixer.count; ++row)
            sink.Row(picture.bits + size_t(row) * size_t(rowBytes));
        if (streams.AllEnded()) {
            // No mask reaches further down.
            picture.Fill(0xFFFFFFFF);
            sink.RepeatRow(picture.bits, height - first - mixer.count);
            break;
        }
    }
    return Flattened::Done;
}

BandedRead Version0InBands(ByteSource& source, const DocumentHeader& header, uint64_t memoryLimit, WorkPool* pool,
                           const BandShape& shape, BandSink& sink, const Deadline& deadline, LoadResult& fault) {
    const uint16_t width = header.width, height = header.height, layerCount = header.layerCount;
    uint32_t flattenedSize = 0;
    if (!source.ReadU32LE(flattenedSize)) {
        fault = loadresult::CorruptHeader();
        return BandedRead::Broken;
    }
    if (flattenedSize != 0)
        return FlattenedInBands(source, width, height, flattenedSize, memoryLimit, shape, sink, deadline, fault);
    const int64_t records = source.Tell();
    Flattened flattened =
        MasksInBands(source, width, height, layerCount, records, true, memoryLimit, pool, shape, sink, deadline, fault);
    if (flattened == Flattened::Retry) {
        fault = LoadResult();
        flattened = MasksInBands(source, width, height, layerCount, records, false, memoryLimit, pool, shape, sink,
                                 deadline, fault);
    }
    switch (flattened) {
    case Flattened::Done:
        return BandedRead::Done;
    case Flattened::NotBanded:
        return BandedRead::NotBanded;
    case Flattened::Refused:
        return BandedRead::Refused;
    default:
        return BandedRead::Broken;
    }
}

} // namespace

BandedRead ReadQvrInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, BandSink& sink,
                          const BandShape& shape, const Deadline& deadline, LoadResult* faultOut) {
    LoadResult noted;
    LoadResult& fault = faultOut != nullptr ? *faultOut : noted;
    DocumentHeader header;
    if (source.Seek(0, ByteSource::FromStart) != 0) {
        fault = loadresult::ReadError();
        return BandedRead::Broken;
    }
    fault = ReadDocumentHeaderSaying(source, header);
    if (fault && header.kind != DocumentKind::Qvr)
        fault = loadresult::NotDocument();
    if (fault && (header.width == 0 || header.height == 0))
        fault = loadresult::EmptyPicture(header.width, header.height);
    if (!fault)
        return BandedRead::Broken;
    const BandedRead read = header.version == 0
                                ? Version0InBands(source, header, memoryLimit, pool, shape, sink, deadline, fault)
                                : ReadQvrTilesInBands(source, header, memoryLimit, sink, deadline, &fault);
    // Nothing the bands meet goes unnamed.
    if (read == BandedRead::Broken && fault)
        fault = loadresult::ReadError();
    return read;
}
