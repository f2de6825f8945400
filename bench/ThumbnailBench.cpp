// A 256-pixel thumbnail of the six-layer document from the bytes in memory,
// as the thumbnail handler makes it (Thumbnail256: flattened band by band
// straight into the area filter, the layers on a pool of every core), and as
// it made it before (Thumbnail256Whole: the whole picture decoded on one
// thread, then scaled). Their anchor is the decode alone (ReadQvm), so the
// ratio shows what each road costs beyond it. Each row also gives the most
// memory a thumbnail took above what the process held before it ("peak MB",
// Linux only).
#include "bench/BenchDocs.h"
#include "bench/PeakMemory.h"
#include "bench/Register.h"

#include "decode/ImageBuffer.h"
#include "decode/MemorySource.h"
#include "base/WorkPool.h"
#include "shell/ThumbnailPicture.h"
#include "shell/ThumbnailScale.h"
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
    if (DecodeThumbnailPicture(source, picture) != ThumbnailPictureStatus::Decoded)
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

void RegisterRoad(const std::string& name, const PictureSize& size,
                  bool (*make)(const docwriter::Bytes&, std::vector<uint8_t>&)) {
    const std::string n = size.Name();
    Register(name + "/6layers/" + n, [size, n, make](benchmark::State& state) {
        const docwriter::Bytes bytes = docwriter::ReadFile(Documents(size).qvmPath);
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
        Account(state, size.Pixels(), size.Pixels() * 4, "ReadQvm/6layers/" + n);
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
    })->Iterations(1);
}

} // namespace

void RegisterThumbnailBenchmarks() {
    for (const PictureSize& size : Sizes()) {
        RegisterRoad("Thumbnail256", size, BandedThumbnail);
        RegisterRoad("Thumbnail256Whole", size, WholeThumbnail);
    }
    // Twice the side the whole road allowed, and with BENCH_LARGEST set the
    // largest the format allows (minutes to make and to read).
    RegisterLarge(16384);
    if (std::getenv("BENCH_LARGEST") != nullptr)
        RegisterLarge(65535);
}

} // namespace bench
