// A 256-pixel thumbnail of the six-layer document (and of the QVR documents
// of both versions) from the bytes in memory,
// as the thumbnail handler makes it (Thumbnail256: flattened band by band
// straight into the area filter, the layers on a pool of every core), and as
// it made it before (Thumbnail256Whole: the whole picture decoded on one
// thread, then scaled). Their anchor is the decode alone (ReadQvm), so the
// ratio shows what each road costs beyond it. Each row also gives the most
// memory a thumbnail took above what the process held before it ("peak MB",
// Linux only). The rows of hundreds and thousands of layers show the bound
// holding where the streams cannot all stay open.
#include "bench/BenchDocs.h"
#include "bench/PeakMemory.h"
#include "bench/Register.h"

#include "pixels/ImageBuffer.h"
#include "base/MemorySource.h"
#include "base/WorkPool.h"
#include "decode/ThumbnailPicture.h"
#include "decode/ThumbnailScale.h"
#include "tests/support/DocWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace bench {

namespace {

bool WholeThumbnail(const docwriter::Bytes& bytes, std::vector<uint8_t>& thumbnail) {
    MemorySource source(bytes.data(), bytes.size());
    ImageBuffer picture;
    if (DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes) != ThumbnailPictureStatus::Decoded)
        return false;
    const ThumbnailSize fit = FitThumbnail(picture.width, picture.height, 256);
    return ScaleToThumbnail(picture, fit, thumbnail.data(), ptrdiff_t(fit.width) * 4);
}

bool BandedThumbnail(const docwriter::Bytes& bytes, std::vector<uint8_t>& thumbnail) {
    MemorySource source(bytes.data(), bytes.size());
    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return false;
    const ThumbnailSize fit = FitThumbnail(width, height, 256);
    WorkPool pool; // made for each thumbnail, as the handler makes it
    return DrawThumbnail(source, fit, thumbnail.data(), ptrdiff_t(fit.width) * 4, &pool) ==
           ThumbnailPictureStatus::Decoded;
}

// One kind of document of the set: its path, its name in the rows and the
// decode the rows are measured against.
struct Kind {
    const char* name;
    std::string DocumentSet::*path;
    const char* anchor;
};

const Kind kKinds[] = {{"6layers", &DocumentSet::qvmPath, "ReadQvm/6layers/"},
                       {"qvr1-10layers", &DocumentSet::qvrV1Path, "ReadQvrV1/10layers/"},
                       {"qvr0-4masks", &DocumentSet::qvrV0Path, "ReadQvrV0/4masks/"}};

void RegisterRoad(const std::string& name, const Kind& kind, const PictureSize& size,
                  bool (*make)(const docwriter::Bytes&, std::vector<uint8_t>&)) {
    const std::string n = size.Name();
    Register(name + "/" + kind.name + "/" + n, [size, n, make, kind](benchmark::State& state) {
        const docwriter::Bytes bytes = docwriter::ReadFile(Documents(size).*kind.path);
        std::vector<uint8_t> thumbnail(256 * 256 * 4);
        int64_t peak = 0;
        for (auto _ : state) {
            PeakMemory memory;
            memory.Start();
            if (!make(bytes, thumbnail)) {
                state.SkipWithError("thumbnail failed");
                return;
            }
            peak = std::max(peak, memory.Above());
            benchmark::DoNotOptimize(thumbnail.data());
        }
        state.counters["peak MB"] = double(peak) / (1 << 20);
        Account(state, size.Pixels(), size.Pixels() * 4, kind.anchor + n);
    });
}

// A zlib stream of side x side pixels, a few colours in stripes, made a
// piece at a time: the layer itself (4 GiB and more at the larger sides) is
// never in memory.
docwriter::Bytes StripedStream(int side, uint32_t seed) {
    z_stream stream = {};
    deflateInit(&stream, 1);
    std::vector<uint8_t> row(size_t(side) * 4);
    for (int x = 0; x < side; ++x) {
        const uint32_t colour = (uint32_t(x / 97) * 2654435761u) ^ seed;
        const uint8_t alpha = (x / 131 + seed) % 3 == 0 ? 0 : uint8_t(64 + colour % 192);
        row[size_t(x) * 4 + 0] = uint8_t(colour);
        row[size_t(x) * 4 + 1] = uint8_t(colour >> 8);
        row[size_t(x) * 4 + 2] = uint8_t(colour >> 16);
        row[size_t(x) * 4 + 3] = alpha;
    }
    docwriter::Bytes out;
    std::vector<uint8_t> piece(1 << 16);
    for (int y = 0; y < side; ++y) {
        stream.next_in = row.data();
        stream.avail_in = uInt(row.size());
        const int flush = y + 1 == side ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = piece.data();
            stream.avail_out = uInt(piece.size());
            deflate(&stream, flush);
            out.insert(out.end(), piece.data(), piece.data() + (piece.size() - stream.avail_out));
        } while (stream.avail_out == 0 || (flush == Z_FINISH && stream.avail_in > 0));
    }
    deflateEnd(&stream);
    return out;
}

// The banded thumbnail of a side x side document, timed, with its peak
// memory above the start as a counter.
void MeasureBandedThumbnail(benchmark::State& state, const docwriter::Bytes& bytes, int side) {
    std::vector<uint8_t> thumbnail(256 * 256 * 4);
    int64_t peak = 0;
    for (auto _ : state) {
        PeakMemory memory;
        memory.Start();
        if (!BandedThumbnail(bytes, thumbnail)) {
            state.SkipWithError("thumbnail failed");
            return;
        }
        peak = std::max(peak, memory.Above());
        benchmark::DoNotOptimize(thumbnail.data());
    }
    state.counters["peak MB"] = double(peak) / (1 << 20);
    Account(state, size_t(side) * size_t(side), size_t(side) * size_t(side) * 4);
}

// Two layers (Normal, then Multiply) of side x side: only the bands keep
// such a document within bounds.
void RegisterLarge(int side) {
    const std::string n = std::to_string(side) + "x" + std::to_string(side);
    Register("Thumbnail256/2layers/" + n, [side](benchmark::State& state) {
        // Made once for every repetition.
        static std::map<int, docwriter::Bytes> made;
        docwriter::Bytes& bytes = made[side];
        if (bytes.empty()) {
            docwriter::QvmDocument doc;
            doc.width = doc.height = uint16_t(side);
            for (uint8_t mode : {uint8_t(0), uint8_t(1)}) {
                docwriter::QvmLayer layer = docwriter::MakeQvmLayer("layer", {}, mode, 128);
                layer.stream = StripedStream(side, mode * 77u + 5);
                doc.layers.push_back(std::move(layer));
            }
            bytes = docwriter::WriteQvm(doc);
        }
        MeasureBandedThumbnail(state, bytes, side);
    })->Iterations(1);
}

// One layer of side x side tiled with every other tile of a few coverage
// patterns: the whole road could not hold the picture; bands walk the tiles.
void RegisterLargeTiles(int side) {
    const std::string n = std::to_string(side) + "x" + std::to_string(side);
    Register("Thumbnail256/qvr1-tiles/" + n, [side](benchmark::State& state) {
        static std::map<int, docwriter::Bytes> made;
        docwriter::Bytes& bytes = made[side];
        if (bytes.empty()) {
            docwriter::QvrV1Document doc;
            doc.width = doc.height = uint16_t(side);
            docwriter::QvrTileLayer layer;
            layer.color = 0x3366CC;
            for (int row = 0; row < side / 64; ++row)
                for (int column = row % 2; column < side / 64; column += 2) {
                    docwriter::QvrTile tile;
                    tile.column = uint16_t(column);
                    tile.row = uint16_t(row);
                    tile.coverage = docwriter::Bytes(64 * 64, uint8_t(row * 37 + column));
                    layer.tiles.push_back(std::move(tile));
                }
            doc.layers.push_back(std::move(layer));
            bytes = docwriter::WriteQvrV1(doc);
        }
        MeasureBandedThumbnail(state, bytes, side);
    })->Iterations(1);
}

// count visible layers of side x side sharing one striped stream, blended
// by modes that change from layer to layer: more layers than the bound lets
// stay open side by side at the larger sides.
void RegisterManyLayers(int side, int count) {
    const std::string n = std::to_string(count) + "layers/" + std::to_string(side) + "x" + std::to_string(side);
    Register("Thumbnail256/" + n, [side, count](benchmark::State& state) {
        static std::map<std::pair<int, int>, docwriter::Bytes> made;
        docwriter::Bytes& bytes = made[{side, count}];
        if (bytes.empty()) {
            docwriter::QvmDocument doc;
            doc.width = doc.height = uint16_t(side);
            const docwriter::Bytes stream = StripedStream(side, 11);
            for (int index = 0; index < count; ++index) {
                docwriter::QvmLayer layer = docwriter::MakeQvmLayer("layer", {}, uint8_t(index % 21), 96);
                layer.stream = stream;
                doc.layers.push_back(std::move(layer));
            }
            bytes = docwriter::WriteQvm(doc);
        }
        MeasureBandedThumbnail(state, bytes, side);
    })->Iterations(1);
}

// Headers alone that declare the largest picture and no layer (34 bytes of
// QVM, 30 of QVR version 1): a white thumbnail, measured against that of an
// ordinary screen-sized painting.
void RegisterHeaderOnly() {
    const std::string anchor = "Thumbnail256/6layers/" + Sizes().front().Name();
    docwriter::QvmDocument qvm;
    qvm.width = qvm.height = 65535;
    docwriter::QvrV1Document qvr;
    qvr.width = qvr.height = 65535;
    const std::pair<const char*, docwriter::Bytes> headers[] = {{"qvm", docwriter::WriteQvm(qvm)},
                                                                {"qvr1", docwriter::WriteQvrV1(qvr)}};
    for (const auto& [kind, bytes] : headers) {
        Register(std::string("Thumbnail256/header-only-") + kind + "/65535x65535",
                 [bytes = bytes, anchor](benchmark::State& state) {
                     std::vector<uint8_t> thumbnail(256 * 256 * 4);
                     for (auto _ : state) {
                         if (!BandedThumbnail(bytes, thumbnail)) {
                             state.SkipWithError("thumbnail failed");
                             return;
                         }
                         benchmark::DoNotOptimize(thumbnail.data());
                     }
                     Account(state, size_t(65535) * 65535, 0, anchor);
                 });
    }
}

} // namespace

void RegisterThumbnailBenchmarks() {
    RegisterHeaderOnly();
    for (const PictureSize& size : Sizes())
        for (const Kind& kind : kKinds) {
            RegisterRoad("Thumbnail256", kind, size, BandedThumbnail);
            RegisterRoad("Thumbnail256Whole", kind, size, WholeThumbnail);
        }
    // Twice the side the whole road allowed, and with BENCH_LARGEST set the
    // largest the format allows (minutes to make and to read).
    RegisterLarge(16384);
    RegisterLargeTiles(16384);
    if (std::getenv("BENCH_LARGEST") != nullptr)
        RegisterLarge(65535);
    RegisterManyLayers(256, 2000);
    RegisterManyLayers(2048, 300);
    RegisterManyLayers(2048, 1200);
}

} // namespace bench
