#include "decode/QvrTileBands.h"

#include "base/ByteSource.h"
#include "base/MemBlock.h"
#include "decode/DocumentHeader.h"
#include "decode/QvrTileWalk.h"
#include "decode/StreamBands.h"
#include "pixels/ImageBuffer.h"

#include <algorithm>
#include <deque>
#include <new>
#include <vector>

namespace {

using namespace qvrtiles;

// A visible tile that reaches into the picture.
struct IndexedTile {
    int64_t position;  // of its data
    int32_t left, top; // picture position of its top-left pixel
    uint16_t size;
    uint16_t layer;
    uint32_t tile; // its place among its layer's tiles, 0 for the first
};

// The first band of bandRows rows a tile reaches.
uint64_t FirstBand(const IndexedTile& tile, int32_t bandRows) {
    return uint64_t(tile.top > 0 ? tile.top : 0) / uint64_t(bandRows);
}

// Tiles walked between looks at the clock: a few microseconds' worth.
constexpr uint32_t kTilesPerLook = 1024;
// What the index holds for a tile: the entry, and its share of the blocks'
// map (the index grows a block at a time, never copied whole).
constexpr uint64_t kIndexedTileBytes = sizeof(IndexedTile) + 2;

enum class Indexed { Done, Broken, TooMany, OutOfTime };

// Reads one tile's data at the source's position into tile.
Taken ReadTile(ByteSource& source, uint16_t size, uint8_t* packed, uint8_t* tile, TileInflater& inflater) {
    // Exactly 4096 bytes are the coverage itself, even when they happen to
    // form a valid zlib stream.
    if (size == kTileBytes)
        return source.ReadExact(tile, kTileBytes) ? Taken::Mixed : Taken::Truncated;
    if (!source.ReadExact(packed, size))
        return Taken::Truncated;
    return inflater.Expand(packed, size, tile) ? Taken::Mixed : Taken::Corrupt;
}

// Why a tile ended the document, as ReadQvr names it.
LoadResult TileFault(Taken taken, uint32_t layer, uint32_t tile) {
    return taken == Taken::Truncated ? loadresult::TruncatedAt(layer + 1, tile + 1)
                                     : loadresult::CorruptTile(layer + 1, tile + 1);
}

class TileIndex {
public:
    TileIndex(ByteSource& source, const DocumentHeader& header, uint8_t* packed, uint8_t* tile, TileInflater& inflater)
        : source(source), header(header), packed(packed), tile(tile), inflater(inflater) {}

    std::vector<CoverageMixer> mixers; // of every layer
    std::deque<IndexedTile> tiles;     // by band, in file order within each (once Sort has run)
    LoadResult fault;                  // where Build found the document Broken

    // Walks every layer's tiles from `at`, the first layer record, in a
    // file of fileEnd bytes, keeping at most mostTiles in file order.
    Indexed Build(int64_t at, int64_t fileEnd, size_t mostTiles, const Deadline& deadline) {
        const uint16_t recordLength = uint16_t(header.recordLength); // a u16 in this version
        const int64_t width = header.width, height = header.height;
        mixers.reserve(header.layerCount);
        uint32_t sinceLook = 0;
        for (uint32_t index = 0; index < header.layerCount; ++index) {
            TileLayer layer;
            if (!ReadLayerRecord(source, recordLength, layer)) {
                fault = loadresult::TruncatedAt(index + 1);
                return Indexed::Broken;
            }
            at += recordLength;
            mixers.push_back({layer.opacity, layer.colour});
            const bool visible = (layer.flags & 1) != 0;
            for (uint32_t t = 0; t < layer.tileCount; ++t) {
                if (++sinceLook == kTilesPerLook) {
                    sinceLook = 0;
                    if (deadline.Passed())
                        return Indexed::OutOfTime;
                }
                uint16_t column = 0, row = 0, size = 0;
                if (!source.ReadU16LE(column) || !source.ReadU16LE(row) || !source.ReadU16LE(size)) {
                    fault = loadresult::TruncatedAt(index + 1, t + 1);
                    return Indexed::Broken;
                }
                at += 6;
                if (size == 0 || size > kTileBytes) {
                    fault = loadresult::CorruptTile(index + 1, t + 1);
                    return Indexed::Broken;
                }
                const int64_t left = int64_t(layer.x) + int64_t(kTileSide) * column;
                const int64_t top = int64_t(layer.y) + int64_t(kTileSide) * row;
                const bool inside = left < width && left + kTileSide > 0 && top < height && top + kTileSide > 0;
                if (visible && !inside) {
                    const Taken taken = ReadTile(source, size, packed, tile, inflater);
                    if (taken != Taken::Mixed) {
                        fault = TileFault(taken, index, t);
                        return Indexed::Broken;
                    }
                } else {
                    // The whole reader reads a visible tile's bytes: the file
                    // must hold them.
                    if ((visible && at + size > fileEnd) || !source.Skip(size)) {
                        fault = loadresult::TruncatedAt(index + 1, t + 1);
                        return Indexed::Broken;
                    }
                    if (visible) {
                        if (tiles.size() == mostTiles)
                            return Indexed::TooMany;
                        tiles.push_back({at, int32_t(left), int32_t(top), size, uint16_t(index), t});
                    }
                }
                at += size;
            }
        }
        return Indexed::Done;
    }

    // Orders the tiles by the first band of bandRows rows each reaches, in
    // file order within each band.
    void Sort(int32_t bandRows) {
        std::sort(tiles.begin(), tiles.end(), [bandRows](const IndexedTile& a, const IndexedTile& b) {
            const uint64_t bandA = FirstBand(a, bandRows), bandB = FirstBand(b, bandRows);
            return bandA != bandB ? bandA < bandB : a.position < b.position;
        });
    }

private:
    ByteSource& source;
    const DocumentHeader& header;
    uint8_t* const packed;
    uint8_t* const tile;
    TileInflater& inflater;
};

} // namespace

BandedRead ReadQvrTilesInBands(ByteSource& source, const DocumentHeader& header, uint64_t memoryLimit, BandSink& sink,
                               const Deadline& deadline, LoadResult* faultOut) {
    LoadResult noted;
    LoadResult& fault = faultOut != nullptr ? *faultOut : noted;
    if (header.width == 0 || header.height == 0) {
        fault = loadresult::EmptyPicture(header.width, header.height);
        return BandedRead::Broken;
    }
    const int32_t width = header.width, height = header.height;
    const int64_t records = source.Tell();
    const int64_t fileEnd = source.Seek(0, ByteSource::FromEnd);
    if (records < 0 || fileEnd < 0 || source.Seek(records, ByteSource::FromStart) != records) {
        fault = loadresult::ReadError();
        return BandedRead::Broken;
    }

    // A white row, the layers' colours and where each band's tiles start;
    // the index takes what a band a tile tall leaves (so that a tile reaches
    // two bands at most), and the band what the index leaves.
    const uint64_t rowBytes = uint64_t(width) * 4;
    const uint64_t mostStarts = (uint64_t(height) / kTileSide + 2) * sizeof(size_t);
    const uint64_t fixed = 2 * uint64_t(kTileBytes) + kOpenStreamBytes + rowBytes +
                           uint64_t(header.layerCount) * sizeof(CoverageMixer) + mostStarts;
    const uint64_t leastBand = std::min<uint64_t>(kTileSide, height) * rowBytes;
    if (memoryLimit <= fixed + leastBand)
        return BandedRead::NotBanded;
    const uint64_t room = memoryLimit - fixed;
    const size_t mostTiles = size_t((room - leastBand) / kIndexedTileBytes);

    MemBlock tile, packed;
    TileInflater inflater;
    if (tile.Alloc(kTileBytes, false) == nullptr || packed.Alloc(kTileBytes, false) == nullptr || !inflater.Init())
        return BandedRead::NotBanded;
    TileIndex index(source, header, packed.data, tile.data, inflater);
    switch (index.Build(records, fileEnd, mostTiles, deadline)) {
    case Indexed::Done:
        break;
    case Indexed::Broken:
        fault = std::move(index.fault);
        return BandedRead::Broken;
    case Indexed::TooMany:
        return BandedRead::NotBanded;
    case Indexed::OutOfTime:
        return BandedRead::Refused;
    }
    if (!sink.Begin(false))
        return BandedRead::NotBanded;
    const std::deque<IndexedTile>& tiles = index.tiles;
    if (tiles.empty())
        return SendWhiteRows(sink, width, height) ? BandedRead::Done : BandedRead::NotBanded;
    // Bands as tall as the index leaves room for: fewer tiles cross them.
    const uint64_t indexBytes = uint64_t(tiles.size()) * kIndexedTileBytes;
    const int32_t rows = int32_t(std::min<uint64_t>(
        uint64_t(height), std::max<uint64_t>(kTileSide, (room - std::min(room, indexBytes)) / rowBytes)));
    const uint64_t bands = (uint64_t(height) + uint64_t(rows) - 1) / uint64_t(rows);
    index.Sort(rows);

    std::vector<size_t> starts(size_t(bands) + 1, tiles.size());
    for (size_t i = tiles.size(); i-- > 0;)
        starts[size_t(FirstBand(tiles[i], rows))] = i;
    for (size_t b = size_t(bands); b-- > 0;)
        starts[b] = std::min(starts[b], starts[b + 1]);
    ImageBuffer band;
    std::vector<uint8_t> white(size_t(rowBytes), 0xFF);
    if (!band.Create(width, rows))
        return BandedRead::NotBanded;
    // Tiles are read with moves from where the last one ended, which stay
    // inside the bytes the source read ahead when the tiles lie close.
    int64_t standing = source.Tell();
    for (size_t b = 0; b < bands; ++b) {
        const int32_t first = int32_t(b) * rows;
        const int32_t count = height - first < rows ? height - first : rows;
        // The tiles of the band before that reach down into this one, and
        // this band's own, merged back into file order.
        size_t carried = b > 0 ? starts[b - 1] : starts[b];
        const size_t carriedEnd = starts[b];
        size_t own = starts[b];
        const size_t ownEnd = starts[b + 1];
        bool painted = false;
        for (;;) {
            while (carried < carriedEnd && tiles[carried].top + kTileSide <= first)
                ++carried;
            if (carried == carriedEnd && own == ownEnd)
                break;
            const bool takeCarried =
                own == ownEnd || (carried < carriedEnd && tiles[carried].position < tiles[own].position);
            const IndexedTile& next = takeCarried ? tiles[carried++] : tiles[own++];
            if (deadline.Passed())
                return BandedRead::Refused;
            if (!painted) {
                band.Fill(0xFFFFFFFF);
                painted = true;
            }
            if (standing < 0 || source.Seek(next.position - standing, ByteSource::FromCurrent) != next.position) {
                fault = loadresult::ReadError();
                return BandedRead::Broken;
            }
            const Taken taken = ReadTile(source, next.size, packed.data, tile.data, inflater);
            if (taken != Taken::Mixed) {
                // The tiles are read band by band: a broken tile further
                // down the picture may lie before this one in the file.
                fault = TileFault(taken, next.layer, next.tile);
                return BandedRead::Broken;
            }
            standing = next.position + next.size;
            const TileSpan span(band, next.left, int64_t(next.top) - first);
            MixTile(band, tile.data, span, index.mixers[next.layer]);
        }
        if (!painted) {
            sink.RepeatRow(white.data(), count);
            continue;
        }
        for (int32_t row = 0; row < count; ++row)
            sink.Row(band.TopRow(row));
    }
    return BandedRead::Done;
}
