#include "decode/QvmReader.h"

#include "pixels/BlendTable.h"
#include "base/ByteFile.h"
#include "base/ByteSource.h"
#include "pixels/CompositeLayer.h"
#include "decode/DocumentHeader.h"
#include "pixels/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/LoadResult.h"
#include "base/MemBlock.h"
#include "decode/QvmFormat.h"
#include "decode/QvmBands.h"
#include "decode/QvmPictureBands.h"

#include <vector>

namespace {

LoadResult ReadLayersInOrder(ByteSource& file, const QvmHeader& header, ImageBuffer& target, BlendTable& table,
                             const std::vector<uint8_t>* visible) {
    MemBlock scratch;
    if (scratch.Alloc(kInflateChunk, true) == nullptr)
        return loadresult::OutOfMemory(header.width, header.height);
    // One layer buffer serves every visible layer. It is not cleared between
    // layers: only the pixels a layer's stream actually produced are blended.
    ImageBuffer layer;
    if (!layer.Create(header.width, header.height))
        return loadresult::OutOfMemory(header.width, header.height);
    // Create refuses pictures above 2^31 - 1 bytes, so this fits 32 bits.
    const uint32_t capacity = uint32_t(layer.ByteCount());

    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record))
            return loadresult::TruncatedAt(index + 1);
        if (!QvmLayerShows(record, index, visible)) {
            if (!file.Skip(record.compressedSize))
                return loadresult::TruncatedAt(index + 1);
            continue;
        }
        uint32_t produced = 0;
        if (!InflateFromSource(file, layer.bits, capacity, record.compressedSize, scratch.data, kInflateChunk,
                               &produced))
            return loadresult::CorruptLayer(index + 1);
        // A stream that ends early leaves the rest of the layer transparent.
        // A pixel cut in the middle has no alpha byte and counts as
        // transparent too.
        CompositeLayer(target, layer, record.blendMode, record.opacity, table, produced / 4);
    }
    return LoadResult();
}

LoadResult ReadQvmWith(ImageBuffer& target, ByteSource& file, WorkPool* pool, bool anySize,
                       const std::vector<uint8_t>* visible = nullptr) {
    DocumentHeader read;
    LoadResult result = ReadDocumentHeaderSaying(file, read);
    if (!result)
        return result;
    if (read.kind != DocumentKind::Qvm)
        return loadresult::NotDocument();
    QvmHeader header;
    header.width = read.width;
    header.height = read.height;
    header.layerCount = read.layerCount;
    header.recordLength = read.recordLength;
    BlendTable table;
    if (!table.Allocate())
        return loadresult::OutOfMemory(header.width, header.height);
    if (!target.Create(header.width, header.height))
        return loadresult::NotCreated(header.width, header.height);
    target.Fill(0xFFFFFFFF);
    if (!anySize && uint64_t(header.width) * header.height < kPictureBandsPixels)
        return ReadLayersInOrder(file, header, target, table, visible);
    const int64_t records = file.Tell();
    switch (ReadQvmPictureInBands(file, header, records, target, table, pool, visible)) {
    case PictureBandsRead::Done:
        return LoadResult();
    case PictureBandsRead::Cancelled:
        return loadresult::Cancelled();
    default:
        break;
    }
    // A broken document leaves the picture its layers made up to the fault,
    // which only the one-by-one road gives; a document of too many open
    // streams for the bands is read that way too.
    target.Fill(0xFFFFFFFF);
    if (records < 0 || file.Seek(records, ByteSource::FromStart) != records)
        return loadresult::ReadError();
    return ReadLayersInOrder(file, header, target, table, visible);
}

} // namespace

LoadResult ReadQvm(ImageBuffer& target, const char* path, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) ? ReadQvmWith(target, file, pool, false) : loadresult::CannotOpen();
}

LoadResult ReadQvm(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    return ReadQvmWith(target, source, pool, false);
}

LoadResult ReadQvmOnPool(ImageBuffer& target, ByteSource& source, WorkPool& pool) {
    return ReadQvmWith(target, source, &pool, true);
}

LoadResult ReadQvmShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) ? ReadQvmWith(target, file, pool, false, &visible) : loadresult::CannotOpen();
}

LoadResult ReadQvmShowing(ImageBuffer& target, ByteSource& source, const std::vector<uint8_t>& visible,
                          WorkPool* pool) {
    return ReadQvmWith(target, source, pool, false, &visible);
}
