#include "decode/QvrPictureBands.h"

#include "base/ByteSource.h"
#include "base/WorkPool.h"
#include "decode/Inflate.h"
#include "decode/QvmPictureBands.h"
#include "decode/QvrMaskRecords.h"
#include "decode/QvrVersions.h"
#include "pixels/ImageBuffer.h"

#include <algorithm>
#include <vector>

namespace {

// Mixes each visible layer's colour through its mask band onto the
// picture's rows of that band, bottom layer first; StreamBands hands the
// bands over one at a time, in file order. Mask rows come top row first.
class PictureMaskMixer : public BandUser {
public:
    PictureMaskMixer(ImageBuffer& target, const std::vector<MaskLayer>& layers, uint64_t stride)
        : target(target), layers(layers), stride(stride) {}

    void SetBand(int32_t first, int32_t count) {
        bandFirst = first;
        bandRows = count;
    }

    // A mask stream that ended early covers nothing beyond what it gave, so
    // the walk stops there instead of taking stale bytes.
    void Use(size_t index, ImageBuffer& band, uint64_t produced) override {
        if ((layers[index].flags & 1) == 0)
            return;
        const CoverageMixer mixer = {layers[index].opacity, layers[index].colour};
        for (int32_t row = 0; row < bandRows; ++row) {
            const uint64_t rowStart = uint64_t(row) * stride;
            if (rowStart >= produced)
                return;
            const uint64_t available = produced - rowStart;
            const size_t pixels = available < uint64_t(target.width) ? size_t(available) : size_t(target.width);
            mixer.MixRow(target.TopRow(bandFirst + row), band.bits + rowStart, pixels);
        }
    }

private:
    ImageBuffer& target;
    const std::vector<MaskLayer>& layers;
    const uint64_t stride;
    int32_t bandFirst = 0;
    int32_t bandRows = 0;
};

enum class Attempt { Done, NotBanded, Cancelled, Retry };

bool Stopped(const WorkPool* pool) {
    return pool != nullptr && pool->Cancelled();
}

Attempt Flatten(ByteSource& source, uint16_t layerCount, int64_t records, bool byLengths, ImageBuffer& target,
                WorkPool* pool, const std::vector<uint8_t>* visible) {
    if (source.Seek(records, ByteSource::FromStart) != records)
        return Attempt::NotBanded;
    const int32_t width = target.width, height = target.height;
    const uint64_t stride = (uint64_t(width) + 3) & ~uint64_t(3);
    StreamBands streams;
    std::vector<MaskLayer> layers;
    streams.Reserve(layerCount);
    layers.reserve(layerCount);
    // The whole picture has no cap on its work: reading one mask after the
    // other expands every stream too.
    bool tooMuch = false;
    if (!FindMasks(source, layerCount, stride * uint64_t(height), byLengths, streams, layers, UINT64_MAX, Deadline(),
                   tooMuch))
        return byLengths ? Attempt::Retry : Attempt::NotBanded;
    if (Stopped(pool))
        return Attempt::Cancelled;
    for (size_t index = 0; index < layers.size(); ++index)
        layers[index].flags = QvrLayerFlags(layers[index].flags, uint32_t(index), visible);
    const bool anyVisible = std::any_of(layers.begin(), layers.end(), [](const MaskLayer& l) { return l.flags & 1; });
    if (!anyVisible) {
        // Nothing to mix: found as read, every stream was passed through as
        // the one-by-one reader expands it, and the picture stays white.
        return byLengths && layerCount > 0 ? Attempt::Retry : Attempt::Done;
    }
    BandPlan plan;
    uint64_t bytes = 0;
    if (!PlanMaskBands(width, height, streams.Count(), layerCount, streams.PieceBytes(), plan, bytes) ||
        !streams.Start(stride, plan, height, byLengths))
        return Attempt::NotBanded;
    PictureMaskMixer mixer(target, layers, stride);
    for (int32_t first = 0; first < height; first += plan.rows) {
        if (Stopped(pool))
            return Attempt::Cancelled;
        const int32_t count = height - first < plan.rows ? height - first : plan.rows;
        mixer.SetBand(first, count);
        const BandStatus status = streams.Expand(source, pool, first, count, mixer);
        if (status != BandStatus::Expanded)
            return byLengths && status != BandStatus::OutOfMemory ? Attempt::Retry : Attempt::NotBanded;
        if (streams.AllEnded())
            break; // no mask reaches further down
    }
    return Attempt::Done;
}

} // namespace

bool PlanMaskBands(int32_t width, int32_t height, size_t streams, size_t records, uint64_t pieceBytes, BandPlan& plan,
                   uint64_t& bytes) {
    if (width <= 0 || height <= 0)
        return false;
    const uint64_t stride = (uint64_t(width) + 3) & ~uint64_t(3);
    const uint64_t maskBytes = stride * uint64_t(height);
    // Bands of the picture's rows as QVM's: they stay in the processor's
    // cache while every layer is mixed onto them.
    const uint64_t pictureRow = uint64_t(width) * 4;
    const uint64_t rows =
        std::min<uint64_t>(uint64_t(height), std::max<uint64_t>(1, kPictureSlotBandBytes / pictureRow));
    const size_t group = std::min(streams, kPictureBandGroup);
    // Streams kept open take at most a few megabytes, or a mask's worth when
    // that is more (what reading one mask after the other holds).
    const uint64_t keptRoom = std::max(kPictureKeptStreamBytes, maskBytes);
    const size_t keptOpen =
        rows >= uint64_t(height) ? 0 : size_t(std::min<uint64_t>(streams, keptRoom / kOpenStreamBytes));
    plan.rows = int32_t(rows);
    plan.group = group;
    plan.keptOpen = keptOpen;
    bytes = uint64_t(group) * (pieceBytes + kOpenStreamBytes + rows * stride) + uint64_t(keptOpen) * kOpenStreamBytes +
            uint64_t(records) * (kStreamRecordBytes + sizeof(MaskLayer));
    return true;
}

uint64_t MostMaskBandBytes(int32_t width, int32_t height, size_t records) {
    BandPlan plan;
    uint64_t bytes = 0;
    // Finding the records as read passes each stream through two pieces.
    return PlanMaskBands(width, height, records, records, kSlotInputBytes, plan, bytes) ? bytes + 2 * kInflateChunk : 0;
}

MaskBandsRead ReadQvrMasksInBands(ByteSource& source, uint16_t layerCount, int64_t records, ImageBuffer& target,
                                  WorkPool* pool, const std::vector<uint8_t>* visible) {
    // The records are first looked for by their stated lengths; the
    // one-by-one reader goes on from where a mask's expansion left the file,
    // which is elsewhere when a stream ends pieces before its block. Such a
    // document is read again from records found as that reader finds them.
    Attempt attempt = Flatten(source, layerCount, records, true, target, pool, visible);
    if (attempt == Attempt::Retry) {
        target.Fill(0xFFFFFFFF);
        attempt = Flatten(source, layerCount, records, false, target, pool, visible);
    }
    switch (attempt) {
    case Attempt::Done:
        return MaskBandsRead::Done;
    case Attempt::Cancelled:
        return MaskBandsRead::Cancelled;
    default:
        return MaskBandsRead::NotBanded;
    }
}
