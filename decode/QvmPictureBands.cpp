#include "decode/QvmPictureBands.h"

#include "base/ByteSource.h"
#include "base/WorkPool.h"
#include "decode/QvmBands.h"
#include "decode/QvmFormat.h"
#include "pixels/BlendTable.h"
#include "pixels/CompositeLayer.h"
#include "pixels/ImageBuffer.h"

#include <algorithm>

namespace {

// Blends each layer's band onto the picture's rows of that band, bottom
// layer first; StreamBands hands the bands over one at a time, in file order.
class PictureBlender : public BandUser {
public:
    PictureBlender(ImageBuffer& target, BlendTable& table, const std::vector<LayerBlend>& blends)
        : target(target), table(table), blends(blends) {}

    // The band about to be expanded, in memory rows (the streams' order).
    void SetBand(int32_t first, int32_t count) {
        bandFirst = first;
        bandRows = count;
    }

    // A stream that ended early leaves the rest of its layer transparent; a
    // pixel cut in the middle counts as transparent too.
    void Use(size_t index, ImageBuffer& band, uint64_t bytes) override {
        const uint64_t pixels = bytes / 4;
        if (pixels == 0)
            return;
        // The picture's rows of this band seen as a picture of their own:
        // without a bitmap of its own the view frees nothing when it goes.
        ImageBuffer rows;
        rows.width = target.width;
        rows.height = bandRows;
        rows.bits = target.bits + size_t(bandFirst) * size_t(target.width) * 4;
        CompositeLayer(rows, band, blends[index].mode, blends[index].opacity, table, size_t(pixels));
        rows.bits = nullptr;
    }

private:
    ImageBuffer& target;
    BlendTable& table;
    const std::vector<LayerBlend>& blends;
    int32_t bandFirst = 0;
    int32_t bandRows = 0;
};

enum class Attempt { Done, Broken, NotBanded, Cancelled, Retry };

bool Stopped(const WorkPool* pool) {
    return pool != nullptr && pool->Cancelled();
}

Attempt Flatten(ByteSource& source, const QvmHeader& header, int64_t records, bool byLengths, ImageBuffer& target,
                BlendTable& table, WorkPool* pool, const std::vector<uint8_t>* visible) {
    if (source.Seek(records, ByteSource::FromStart) != records)
        return Attempt::Broken;
    StreamBands streams;
    std::vector<LayerBlend> blends;
    streams.Reserve(header.layerCount);
    blends.reserve(header.layerCount);
    const bool found = byLengths ? FindQvmStreamsByLengths(source, header, visible, streams, blends)
                                 : FindQvmStreamsAsRead(source, header, visible, streams, blends);
    if (!found)
        return byLengths ? Attempt::Retry : Attempt::Broken;
    if (Stopped(pool))
        return Attempt::Cancelled;
    if (streams.Count() == 0)
        return Attempt::Done; // nothing shows: the white picture is the document

    const int32_t width = header.width, height = header.height;
    const uint64_t rowBytes = uint64_t(width) * 4;
    BandPlan plan;
    uint64_t bytes = 0;
    if (!PlanPictureBands(width, height, streams.Count(), header.layerCount, streams.PieceBytes(), plan, bytes) ||
        !streams.Start(rowBytes, plan, height, byLengths))
        return Attempt::NotBanded;
    PictureBlender blender(target, table, blends);
    for (int32_t first = 0; first < height; first += plan.rows) {
        if (Stopped(pool))
            return Attempt::Cancelled;
        const int32_t count = height - first < plan.rows ? height - first : plan.rows;
        blender.SetBand(first, count);
        const BandStatus status = streams.Expand(source, pool, first, count, blender);
        if (status == BandStatus::OutOfMemory)
            return Attempt::NotBanded;
        if (status != BandStatus::Expanded)
            return byLengths ? Attempt::Retry : Attempt::Broken;
    }
    return Attempt::Done;
}

} // namespace

bool PlanPictureBands(int32_t width, int32_t height, size_t streams, size_t records, uint64_t pieceBytes,
                      BandPlan& plan, uint64_t& bytes) {
    if (width <= 0 || height <= 0)
        return false;
    const uint64_t rowBytes = uint64_t(width) * 4;
    const uint64_t layerBytes = rowBytes * uint64_t(height);
    const uint64_t rows = std::min<uint64_t>(uint64_t(height), std::max<uint64_t>(1, kPictureSlotBandBytes / rowBytes));
    const size_t group = std::min(streams, kPictureBandGroup);
    // One band: every stream is expanded once, in its slot.
    const uint64_t keptRoom = std::max(kPictureKeptStreamBytes, layerBytes);
    const size_t keptOpen =
        rows >= uint64_t(height) ? 0 : size_t(std::min<uint64_t>(streams, keptRoom / kOpenStreamBytes));
    plan.rows = int32_t(rows);
    plan.group = group;
    plan.keptOpen = keptOpen;
    bytes = uint64_t(group) * (pieceBytes + kOpenStreamBytes + rows * rowBytes) +
            uint64_t(keptOpen) * kOpenStreamBytes + uint64_t(records) * kStreamRecordBytes + BlendTable::kEntries;
    return true;
}

uint64_t MostPictureBandBytes(int32_t width, int32_t height, size_t records) {
    BandPlan plan;
    uint64_t bytes = 0;
    return PlanPictureBands(width, height, records, records, kSlotInputBytes, plan, bytes) ? bytes : 0;
}

PictureBandsRead ReadQvmPictureInBands(ByteSource& source, const QvmHeader& header, int64_t records,
                                       ImageBuffer& target, BlendTable& table, WorkPool* pool,
                                       const std::vector<uint8_t>* visible) {
    // The records are first looked for by their stated lengths; ReadQvm goes
    // on from where a layer's expansion left the file, which is elsewhere
    // when a stream ends pieces before its block. Such a document is read
    // again from records found as ReadQvm finds them.
    Attempt attempt = Flatten(source, header, records, true, target, table, pool, visible);
    if (attempt == Attempt::Retry) {
        target.Fill(0xFFFFFFFF);
        attempt = Flatten(source, header, records, false, target, table, pool, visible);
    }
    switch (attempt) {
    case Attempt::Done:
        return PictureBandsRead::Done;
    case Attempt::NotBanded:
        return PictureBandsRead::NotBanded;
    case Attempt::Cancelled:
        return PictureBandsRead::Cancelled;
    default:
        return PictureBandsRead::Broken;
    }
}
