// QVR version 0. After the header (DocumentHeader.h): S (u32). When S is not 0,
// S bytes of zlib data expand to the flattened picture in ImageBuffer order
// and nothing else is read. Otherwise the layer records follow, bottom layer
// first: 32 bytes, opacity (0 to 128), flags (bit 0 visible), colour (u32),
// CS (u32) and CS bytes of zlib data expanding to the mask: one coverage byte
// per pixel, the top row first, each row padded to a multiple of 4 bytes.

#include "base/ByteSource.h"
#include "base/MemBlock.h"
#include "decode/DocumentHeader.h"
#include "decode/Inflate.h"
#include "decode/QvmPictureBands.h"
#include "decode/QvrPictureBands.h"
#include "decode/QvrVersions.h"
#include "pixels/ImageBuffer.h"

#include <cstring>

namespace {

constexpr uint32_t kUnreadRecordStart = 32;

// Mixes one layer through the first `produced` bytes of its mask. A mask
// stream that ended early covers nothing beyond what it produced, so the walk
// stops there instead of taking stale bytes of the previous layer's mask.
void MixMask(ImageBuffer& target, const uint8_t* mask, uint64_t stride, uint64_t produced, uint8_t opacity,
             uint32_t colour) {
    const CoverageMixer mixer = {opacity, colour};
    for (int32_t y = 0; y < target.height; ++y) {
        const uint64_t rowStart = uint64_t(y) * stride;
        if (rowStart >= produced)
            return;
        const uint64_t available = produced - rowStart;
        const size_t count = available < uint64_t(target.width) ? size_t(available) : size_t(target.width);
        mixer.MixRow(target.TopRow(y), mask + rowStart, count);
    }
}

bool ReadRecord(ByteSource& file, uint8_t& opacity, uint8_t& flags, uint32_t& colour, uint32_t& compressedSize) {
    return file.Skip(kUnreadRecordStart) && file.ReadU8(opacity) && file.ReadU8(flags) && file.ReadU32LE(colour) &&
           file.ReadU32LE(compressedSize);
}

} // namespace

LoadResult ReadQvrMasks(ByteSource& file, const DocumentHeader& header, ImageBuffer& target, WorkPool* pool,
                        bool anySize, const std::vector<uint8_t>* visible) {
    const uint16_t width = header.width, height = header.height, layerCount = header.layerCount;
    MemBlock scratch;
    if (scratch.Alloc(kInflateChunk, true) == nullptr)
        return loadresult::OutOfMemory(width, height);

    if (!target.Create(width, height))
        return loadresult::NotCreated(width, height);
    // S ends the header: a file without it is cut short there.
    uint32_t flattenedSize = 0;
    if (!file.ReadU32LE(flattenedSize))
        return loadresult::CorruptHeader();
    // Create refuses pictures above 2^31 - 1 bytes, so this fits 32 bits.
    const uint32_t pictureBytes = uint32_t(target.ByteCount());
    if (flattenedSize != 0) {
        // The stored picture replaces everything, white background included.
        uint32_t produced = 0;
        if (!InflateFromSource(file, target.bits, pictureBytes, flattenedSize, scratch.data, kInflateChunk, &produced))
            return loadresult::CorruptPicture();
        // A picture stream that ends early leaves the rest black and clear,
        // whatever the platform's fresh pixel memory held.
        std::memset(target.bits + produced, 0, pictureBytes - produced);
        return LoadResult();
    }

    const uint64_t stride = (uint64_t(width) + 3) & ~uint64_t(3);
    const uint64_t maskBytes = stride * height; // below 2^30 for any picture Create accepts
    const int64_t records = file.Tell();
    if (anySize || uint64_t(width) * height >= kPictureBandsPixels) {
        target.Fill(0xFFFFFFFF);
        switch (ReadQvrMasksInBands(file, layerCount, records, target, pool, visible)) {
        case MaskBandsRead::Done:
            return LoadResult();
        case MaskBandsRead::Cancelled:
            return loadresult::Cancelled();
        default:
            break;
        }
        // A broken document leaves the picture its layers made up to the
        // fault, which only reading a mask at a time gives; a document of
        // too many streams for the bands is read that way too.
        if (records < 0 || file.Seek(records, ByteSource::FromStart) != records)
            return loadresult::ReadError();
    }
    MemBlock mask;
    if (mask.Alloc(uint32_t(maskBytes), false) == nullptr)
        return loadresult::OutOfMemory(width, height);
    target.Fill(0xFFFFFFFF);

    for (uint32_t index = 0; index < layerCount; ++index) {
        uint8_t opacity = 0, flags = 0;
        uint32_t colour = 0, compressedSize = 0;
        if (!ReadRecord(file, opacity, flags, colour, compressedSize))
            return loadresult::TruncatedAt(index + 1);
        // Invisible layers' masks are expanded too: the next record starts
        // wherever the expansion leaves the file.
        uint32_t produced = 0;
        if (!InflateFromSource(file, mask.data, mask.size, compressedSize, scratch.data, kInflateChunk, &produced))
            return loadresult::CorruptMask(index + 1);
        if ((QvrLayerFlags(flags, index, visible) & 1) != 0)
            MixMask(target, mask.data, stride, produced, opacity, colour);
    }
    return LoadResult();
}
