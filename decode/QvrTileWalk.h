#pragma once
// QVR version 1. After the version byte: 4 bytes, B (u32) and B bytes, HS
// (u16, the header length after this field, at least 12), width, height (u16
// each), 2 bytes, layer count (u16), 2 bytes, LS (u16, the fixed layer record
// length, at least 79) and HS - 12 more header bytes. Layer record: X and Y
// (signed, picture position of tile column 0 and row 0), two unused u32, tile
// count (u32), 50 bytes, opacity (0 to 128), colour (u32), flags (bit 0
// visible), 3 bytes and LS - 79 more, then the tiles. Tile: column, row,
// size (u16 each; size 1 to 4096) and size bytes: the 64 x 64 coverage bytes
// (top row first) stored plainly when size is 4096, otherwise one zlib stream
// expanding to them. The header is read by ReadDocumentHeader
// (DocumentHeader.h).
//
// The walk over the layers' tiles and the mix of one tile, shared by the
// whole-picture reader (QvrTiles.cpp) and the banded one (QvrBands.cpp).

#include "base/ByteSource.h"
#include "decode/QvrVersions.h"
#include "pixels/ImageBuffer.h"

#include <cstring>
#include <zlib.h>

namespace qvrtiles {

constexpr int kTileSide = 64;
constexpr uint32_t kTileBytes = kTileSide * kTileSide;
constexpr uint16_t kMinRecordLength = 79;

// The whole-picture reader on a pool expands tiles a batch at a time, a
// batch more than the threads so that the reader fills one meanwhile. The
// batches share a fixed room, so more threads take smaller batches, never
// more memory; beyond kMostTileBatches the extra threads wait.
constexpr size_t kMostTileBatches = 16;
constexpr uint32_t kMostBatchTiles = 256;
constexpr uint64_t kTileBatchesRoom = uint64_t(8) << 20; // tiles read and tiles expanded
struct TileBatching {
    size_t batches;
    uint32_t tiles; // of a batch
};
inline TileBatching TileBatchingFor(size_t poolSize) {
    const size_t batches = poolSize + 1 < kMostTileBatches ? poolSize + 1 : kMostTileBatches;
    const uint64_t fits = kTileBatchesRoom / (uint64_t(batches) * 2 * kTileBytes);
    return {batches, uint32_t(fits < kMostBatchTiles ? fits : kMostBatchTiles)};
}

// One inflate stream for the whole file, reset for every tile.
class TileInflater {
public:
    TileInflater() = default;
    ~TileInflater() {
        if (ready)
            inflateEnd(&stream);
    }
    TileInflater(const TileInflater&) = delete;
    TileInflater& operator=(const TileInflater&) = delete;

    bool Init() {
        stream = {};
        ready = inflateInit(&stream) == Z_OK;
        return ready;
    }

    // Expands size bytes of input into the tile. A stream that ends before
    // filling the tile leaves the rest uncovered.
    bool Expand(const uint8_t* input, uint32_t size, uint8_t* tile) {
        if (inflateReset(&stream) != Z_OK)
            return false;
        stream.next_in = const_cast<uint8_t*>(input);
        stream.avail_in = size;
        stream.next_out = tile;
        stream.avail_out = kTileBytes;
        int status;
        do
            status = inflate(&stream, Z_NO_FLUSH);
        while (status == Z_OK);
        if (status != Z_STREAM_END)
            return false;
        std::memset(stream.next_out, 0, stream.avail_out);
        return true;
    }

private:
    z_stream stream = {};
    bool ready = false;
};

struct TileLayer {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t tileCount = 0;
    uint8_t opacity = 0;
    uint32_t colour = 0;
    uint8_t flags = 0;
};

inline bool ReadLayerRecord(ByteSource& file, uint16_t recordLength, TileLayer& layer) {
    uint32_t unused = 0;
    return file.ReadI32LE(layer.x) && file.ReadI32LE(layer.y) && file.ReadU32LE(unused) && file.ReadU32LE(unused) &&
           file.ReadU32LE(layer.tileCount) && file.Skip(50) && file.ReadU8(layer.opacity) &&
           file.ReadU32LE(layer.colour) && file.ReadU8(layer.flags) && file.Skip(3 + recordLength - kMinRecordLength);
}

// The part of a tile whose top-left pixel is at (left, top) that falls inside
// the picture, in tile coordinates. The position is 64-bit: X + 64 x column
// reaches past 32 bits.
struct TileSpan {
    int64_t left, top, firstColumn, endColumn, firstRow, endRow;

    TileSpan(const ImageBuffer& target, int64_t x, int64_t y) : left(x), top(y) {
        firstColumn = left < 0 ? -left : 0;
        endColumn = target.width - left < kTileSide ? target.width - left : kTileSide;
        firstRow = top < 0 ? -top : 0;
        endRow = target.height - top < kTileSide ? target.height - top : kTileSide;
    }
    bool Empty() const { return firstColumn >= endColumn || firstRow >= endRow; }
    uint8_t* Row(ImageBuffer& target, int64_t j) const {
        return target.TopRow(int32_t(top + j)) + (left + firstColumn) * 4;
    }
    size_t RowBytes() const { return size_t(endColumn - firstColumn) * 4; }
};

// A tile's rows lie a whole picture row apart, each on a page of its own in
// a large picture, so the processor cannot guess them. Asking for them
// before the tile is read and expanded lets memory work while zlib does.
inline void PrefetchTile(ImageBuffer& target, const TileSpan& span) {
    for (int64_t j = span.firstRow; j < span.endRow; ++j)
        PrefetchPixels(span.Row(target, j), span.RowBytes());
}

inline void MixTile(ImageBuffer& target, const uint8_t* tile, const TileSpan& span, const CoverageMixer& mixer) {
    for (int64_t j = span.firstRow; j < span.endRow; ++j)
        mixer.MixRow(span.Row(target, j), tile + j * kTileSide + span.firstColumn,
                     size_t(span.endColumn - span.firstColumn));
}

// Where a tile lies in the file: its layer, 1 for the bottom one, and its
// place among that layer's tiles, 1 for the first.
struct TileAt {
    uint32_t layer;
    uint32_t tile;
};

// What take made of a tile: Ended when a fault met before it (one the
// caller knows of) ends the document.
enum class Taken { Mixed, Truncated, Corrupt, Ended };

// Walks every layer's tiles in file order. A visible tile's span goes to
// take(span, mixer, size, at) with the file at its size bytes, which take
// reads. visible overrides the layers' stored flags (QvrLayerFlags). Up to
// 4 294 967 295 tiles a layer: every tile reads its fields, so a file that
// ends stops the walk at the first short read. The result names where the
// walk stopped; after Ended it is Cancelled, for the caller to replace.
//
// target may be a band of the picture whose top row is picture row
// bandTop: the spans are then the parts of the tiles inside the band.
template <typename Take>
LoadResult WalkTiles(ByteSource& file, const ImageBuffer& target, uint32_t layerCount, uint16_t recordLength, Take take,
                     const std::vector<uint8_t>* visible = nullptr, int64_t bandTop = 0) {
    for (uint32_t index = 0; index < layerCount; ++index) {
        TileLayer layer;
        if (!ReadLayerRecord(file, recordLength, layer))
            return loadresult::TruncatedAt(index + 1);
        const bool shown = (QvrLayerFlags(layer.flags, index, visible) & 1) != 0;
        const CoverageMixer mixer = {layer.opacity, layer.colour};
        for (uint32_t t = 0; t < layer.tileCount; ++t) {
            const TileAt at = {index + 1, t + 1};
            uint16_t column = 0, row = 0, size = 0;
            if (!file.ReadU16LE(column) || !file.ReadU16LE(row) || !file.ReadU16LE(size))
                return loadresult::TruncatedAt(at.layer, at.tile);
            if (size == 0 || size > kTileBytes)
                return loadresult::CorruptTile(at.layer, at.tile);
            if (!shown) {
                if (!file.Skip(size))
                    return loadresult::TruncatedAt(at.layer, at.tile);
                continue;
            }
            const TileSpan span(target, int64_t(layer.x) + int64_t(kTileSide) * column,
                                int64_t(layer.y) + int64_t(kTileSide) * row - bandTop);
            switch (take(span, mixer, size, at)) {
            case Taken::Mixed:
                break;
            case Taken::Truncated:
                return loadresult::TruncatedAt(at.layer, at.tile);
            case Taken::Corrupt:
                return loadresult::CorruptTile(at.layer, at.tile);
            case Taken::Ended:
                return loadresult::Cancelled();
            }
        }
    }
    return LoadResult();
}

} // namespace qvrtiles
