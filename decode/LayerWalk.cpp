#include "decode/LayerWalk.h"

#include "decode/Inflate.h"
#include "decode/QvmFormat.h"
#include "decode/QvrTileWalk.h"
#include "pixels/ImageBuffer.h"

#include <cstring>

namespace {

constexpr uint32_t kQvrUnreadRecordStart = 32;

std::string LayerNumberName(uint32_t index) {
    return "Layer " + std::to_string(index + 1);
}

void Clear(ImageBuffer& pixels) {
    std::memset(pixels.bits, 0, pixels.ByteCount());
}

// The layer's colour (byte 0 blue, 1 green, 2 red) with coverage as alpha.
void PaintCoverage(uint8_t* pixel, const uint8_t* coverage, size_t count, uint32_t colour) {
    for (size_t i = 0; i < count; ++i, pixel += 4) {
        pixel[0] = uint8_t(colour);
        pixel[1] = uint8_t(colour >> 8);
        pixel[2] = uint8_t(colour >> 16);
        pixel[3] = coverage[i];
    }
}

} // namespace

void FindAlphaBounds(const ImageBuffer& pixels, WalkedLayer& layer) {
    int32_t left = pixels.width, right = 0, top = pixels.height, bottom = 0;
    for (int32_t y = 0; y < pixels.height; ++y) {
        const uint8_t* row = pixels.TopRow(y);
        int32_t first = 0;
        while (first < pixels.width && row[size_t(first) * 4 + 3] == 0)
            ++first;
        if (first == pixels.width)
            continue;
        int32_t last = pixels.width - 1;
        while (row[size_t(last) * 4 + 3] == 0)
            --last;
        left = first < left ? first : left;
        right = last + 1 > right ? last + 1 : right;
        top = y < top ? y : top;
        bottom = y + 1;
    }
    if (right <= left) {
        layer.left = layer.top = layer.right = layer.bottom = 0;
        return;
    }
    layer.left = left;
    layer.top = top;
    layer.right = right;
    layer.bottom = bottom;
}

bool LayerWalk::Open(const char* path) {
    index = 0;
    failure = LoadResult();
    if (!file.OpenRead(path))
        return Fail(loadresult::CannotOpen());
    LoadResult read = ReadDocumentHeaderSaying(file, header);
    if (!read)
        return Fail(std::move(read));
    if (scratch.Alloc(kInflateChunk, true) == nullptr)
        return Fail(loadresult::OutOfMemory(header.width, header.height));
    count = header.layerCount;
    flattened = false;
    if (header.kind == DocumentKind::Qvr && header.version == 0) {
        if (!file.ReadU32LE(flattenedSize))
            return Fail(loadresult::CorruptHeader());
        flattened = flattenedSize != 0;
        if (flattened)
            count = 1;
    }
    if (header.kind == DocumentKind::Qvr && header.version == 1 &&
        (input.Alloc(qvrtiles::kTileBytes, false) == nullptr || mask.Alloc(qvrtiles::kTileBytes, false) == nullptr))
        return Fail(loadresult::OutOfMemory(header.width, header.height));
    return true;
}

bool LayerWalk::Next(WalkedLayer& layer, ImageBuffer* pixels) {
    if (index >= count)
        return false;
    layer = WalkedLayer();
    bool read = false;
    if (header.kind == DocumentKind::Qvm)
        read = NextQvm(layer, pixels);
    else if (flattened)
        read = NextFlattened(layer, pixels);
    else if (header.version == 0)
        read = NextQvrMask(layer, pixels);
    else
        read = NextQvrTiles(layer, pixels);
    if (!read)
        return false;
    if (pixels != nullptr) {
        if (!layer.decoded)
            Clear(*pixels);
        FindAlphaBounds(*pixels, layer);
    }
    ++index;
    return true;
}

bool LayerWalk::NextQvm(WalkedLayer& layer, ImageBuffer* pixels) {
    QvmLayerRecord record;
    if (!ReadQvmLayerRecord(file, header.recordLength, record))
        return Fail(loadresult::TruncatedAt(index + 1));
    layer.name = record.name;
    layer.storedName = true;
    layer.blendMode = record.blendMode;
    layer.opacity = record.opacity;
    layer.visible = record.Visible();
    const int64_t dataStart = file.Tell();
    if (dataStart < 0)
        return Fail(loadresult::ReadError());
    if (pixels != nullptr) {
        uint32_t produced = 0;
        const uint32_t capacity = uint32_t(pixels->ByteCount());
        layer.decoded = InflateFromSource(file, pixels->bits, capacity, record.compressedSize, scratch.data,
                                          kInflateChunk, &produced);
        // A stream that ends early leaves the rest of the layer clear, as
        // the reader blends it; a pixel cut in the middle is clear too.
        const uint32_t whole = produced / 4 * 4;
        layer.produced = produced / 4;
        std::memset(pixels->bits + whole, 0, capacity - whole);
    }
    // The next record starts right after this one's block, as the layers
    // pane reads the records.
    return file.Seek(dataStart + record.compressedSize, ByteFile::FromStart) >= 0 ||
           Fail(loadresult::TruncatedAt(index + 1));
}

bool LayerWalk::NextFlattened(WalkedLayer& layer, ImageBuffer* pixels) {
    layer.name = LayerNumberName(0);
    if (pixels == nullptr)
        return file.Skip(flattenedSize) || Fail(loadresult::CorruptPicture());
    uint32_t produced = 0;
    const uint32_t capacity = uint32_t(pixels->ByteCount());
    layer.decoded =
        InflateFromSource(file, pixels->bits, capacity, flattenedSize, scratch.data, kInflateChunk, &produced);
    // The reader shows the stored picture as it is, black where its stream
    // ended: the layer is that picture, opaque.
    std::memset(pixels->bits + produced, 0, capacity - produced);
    for (size_t i = 3; i < capacity; i += 4)
        pixels->bits[i] = 0xFF;
    return true;
}

bool LayerWalk::NextQvrMask(WalkedLayer& layer, ImageBuffer* pixels) {
    uint8_t flags = 0;
    uint32_t colour = 0, compressedSize = 0;
    if (!file.Skip(kQvrUnreadRecordStart) || !file.ReadU8(layer.opacity) || !file.ReadU8(flags) ||
        !file.ReadU32LE(colour) || !file.ReadU32LE(compressedSize))
        return Fail(loadresult::TruncatedAt(index + 1));
    layer.name = LayerNumberName(index);
    layer.visible = (flags & 1) != 0;
    const uint64_t stride = (uint64_t(header.width) + 3) & ~uint64_t(3);
    const uint64_t maskBytes = stride * header.height;
    // Every mask is expanded, as the reader does: the next record starts
    // wherever the expansion leaves the file.
    if (pixels == nullptr) {
        MemBlock expanded;
        if (expanded.Alloc(kInflateChunk, false) == nullptr)
            return Fail(loadresult::OutOfMemory(header.width, header.height));
        layer.decoded = PassStream(file, maskBytes, compressedSize, scratch.data, expanded.data, kInflateChunk);
        return true;
    }
    if (mask.size < maskBytes && mask.Alloc(uint32_t(maskBytes), false) == nullptr)
        return Fail(loadresult::OutOfMemory(header.width, header.height));
    uint32_t produced = 0;
    layer.decoded =
        InflateFromSource(file, mask.data, uint32_t(maskBytes), compressedSize, scratch.data, kInflateChunk, &produced);
    Clear(*pixels);
    for (int32_t y = 0; y < pixels->height; ++y) {
        const uint64_t rowStart = uint64_t(y) * stride;
        if (rowStart >= produced)
            break;
        const uint64_t available = produced - rowStart;
        const size_t width = available < uint64_t(pixels->width) ? size_t(available) : size_t(pixels->width);
        PaintCoverage(pixels->TopRow(y), mask.data + rowStart, width, colour);
    }
    return true;
}

bool LayerWalk::NextQvrTiles(WalkedLayer& layer, ImageBuffer* pixels) {
    using namespace qvrtiles;
    TileLayer record;
    if (!ReadLayerRecord(file, uint16_t(header.recordLength), record))
        return Fail(loadresult::TruncatedAt(index + 1));
    layer.name = LayerNumberName(index);
    layer.opacity = record.opacity;
    layer.visible = (record.flags & 1) != 0;
    if (pixels != nullptr)
        Clear(*pixels);
    TileInflater inflater;
    if (pixels != nullptr && !inflater.Init())
        return Fail(loadresult::OutOfMemory(header.width, header.height));
    for (uint32_t t = 0; t < record.tileCount; ++t) {
        uint16_t column = 0, row = 0, size = 0;
        if (!file.ReadU16LE(column) || !file.ReadU16LE(row) || !file.ReadU16LE(size))
            return Fail(loadresult::TruncatedAt(index + 1, t + 1));
        if (size == 0 || size > kTileBytes)
            return Fail(loadresult::CorruptTile(index + 1, t + 1));
        // A hidden layer's tiles are passed over by the reader, so the
        // walk's place in the file never depends on what they hold.
        if (pixels == nullptr || !layer.decoded) {
            if (!file.Skip(size))
                return Fail(loadresult::TruncatedAt(index + 1, t + 1));
            continue;
        }
        if (!file.ReadExact(input.data, size)) {
            if (layer.visible)
                return Fail(loadresult::TruncatedAt(index + 1, t + 1));
            layer.decoded = false;
            continue;
        }
        if (size == kTileBytes)
            std::memcpy(mask.data, input.data, kTileBytes);
        else if (!inflater.Expand(input.data, size, mask.data)) {
            if (layer.visible)
                return Fail(loadresult::CorruptTile(index + 1, t + 1));
            layer.decoded = false;
            continue;
        }
        const TileSpan span(*pixels, int64_t(record.x) + int64_t(kTileSide) * column,
                            int64_t(record.y) + int64_t(kTileSide) * row);
        if (span.Empty())
            continue;
        for (int64_t j = span.firstRow; j < span.endRow; ++j)
            PaintCoverage(span.Row(*pixels, j), mask.data + j * kTileSide + span.firstColumn,
                          size_t(span.endColumn - span.firstColumn), record.colour);
    }
    return true;
}
