// Reading whole documents against zlib alone inflating the same streams into
// a buffer: inflation is the floor of every decode, and the report divides
// the reader's time by it.
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include "base/WorkPool.h"
#include "decode/DocumentLoader.h"
#include "decode/QvmReader.h"
#include "pixels/ImageBuffer.h"

#include <cstring>
#include <zlib.h>

namespace bench {

namespace {

class Inflater {
public:
    Inflater() { ready = inflateInit(&stream) == Z_OK; }
    ~Inflater() { inflateEnd(&stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool Expand(const docwriter::Bytes& input, uint8_t* output, size_t capacity) {
        if (!ready || inflateReset(&stream) != Z_OK)
            return false;
        stream.next_in = const_cast<uint8_t*>(input.data());
        stream.avail_in = uInt(input.size());
        stream.next_out = output;
        stream.avail_out = uInt(capacity);
        return inflate(&stream, Z_FINISH) == Z_STREAM_END;
    }

private:
    z_stream stream = {};
    bool ready = false;
};

void Load(benchmark::State& state, const std::string& path, size_t pixels, size_t rawBytes, const std::string& anchor,
          unsigned threads) {
    ImageBuffer image;
    WorkPool pool(threads);
    for (auto _ : state) {
        if (!LoadDocument(image, path.c_str(), &pool)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(image.bits);
    }
    Account(state, pixels, rawBytes, anchor, pool.Size());
}

// The layers pane's toggle: the document flattened again with its top layer
// hidden, against reading it whole.
void ToggleTopLayer(benchmark::State& state, const std::string& path, size_t layers, size_t pixels, size_t rawBytes,
                    const std::string& anchor, unsigned threads) {
    ImageBuffer image;
    WorkPool pool(threads);
    std::vector<uint8_t> visible(layers, 1);
    visible.back() = 0;
    for (auto _ : state) {
        if (!ReadQvmShowing(image, path.c_str(), visible, &pool)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(image.bits);
    }
    Account(state, pixels, rawBytes, anchor, pool.Size());
}

// Every stream expanded into one reused buffer.
void InflateStreams(benchmark::State& state, const std::vector<docwriter::Bytes>& streams, size_t capacity,
                    size_t pixels) {
    std::vector<uint8_t> output(capacity);
    Inflater inflater;
    for (auto _ : state) {
        for (const docwriter::Bytes& s : streams) {
            if (!inflater.Expand(s, output.data(), output.size())) {
                state.SkipWithError("inflate failed");
                return;
            }
        }
        benchmark::DoNotOptimize(output.data());
    }
    Account(state, pixels, capacity * streams.size());
}

// Compressed tiles inflated, plain ones copied, as the reader must.
void InflateTiles(benchmark::State& state, const std::vector<docwriter::Bytes>& tiles, size_t pixels) {
    uint8_t tile[4096];
    Inflater inflater;
    for (auto _ : state) {
        for (const docwriter::Bytes& data : tiles) {
            if (data.size() == sizeof tile) {
                std::memcpy(tile, data.data(), sizeof tile);
            } else if (!inflater.Expand(data, tile, sizeof tile)) {
                state.SkipWithError("inflate failed");
                return;
            }
            benchmark::DoNotOptimize(tile);
        }
    }
    Account(state, pixels, tiles.size() * sizeof tile);
}

} // namespace

void RegisterDecodeBenchmarks() {
    for (const PictureSize& size : Sizes()) {
        const std::string n = size.Name();
        const size_t pixels = size.Pixels();
        for (unsigned threads : ThreadCounts()) {
            const std::string t = "/t" + std::to_string(threads);
            Register("ReadQvm/6layers/" + n + t, [size, n, pixels, threads](benchmark::State& s) {
                const DocumentSet& d = Documents(size);
                Load(s, d.qvmPath, pixels, d.qvmLayerBytes * d.qvmStreams.size(), "InflateQvm/" + n, threads);
            });
            Register("ToggleLayer/6layers/" + n + t, [size, n, t, pixels, threads](benchmark::State& s) {
                const DocumentSet& d = Documents(size);
                ToggleTopLayer(s, d.qvmPath, d.qvmStreams.size(), pixels, d.qvmLayerBytes * d.qvmStreams.size(),
                               "ReadQvm/6layers/" + n + t, threads);
            });
            Register("ReadQvrV1/10layers/" + n + t, [size, n, pixels, threads](benchmark::State& s) {
                const DocumentSet& d = Documents(size);
                Load(s, d.qvrV1Path, pixels, d.tileData.size() * 4096, "InflateTiles/" + n, threads);
            });
            Register("ReadQvrV0/4masks/" + n + t, [size, n, pixels, threads](benchmark::State& s) {
                const DocumentSet& d = Documents(size);
                Load(s, d.qvrV0Path, pixels, d.maskBytes * d.maskStreams.size(), "InflateMasks/" + n, threads);
            });
        }
        // The floors one core can reach: zlib alone on one thread.
        Register("InflateQvm/" + n, [size, pixels](benchmark::State& s) {
            const DocumentSet& d = Documents(size);
            InflateStreams(s, d.qvmStreams, d.qvmLayerBytes, pixels);
        });
        Register("InflateTiles/" + n,
                 [size, pixels](benchmark::State& s) { InflateTiles(s, Documents(size).tileData, pixels); });
        Register("InflateMasks/" + n, [size, pixels](benchmark::State& s) {
            const DocumentSet& d = Documents(size);
            InflateStreams(s, d.maskStreams, d.maskBytes, pixels);
        });
    }
}

} // namespace bench
