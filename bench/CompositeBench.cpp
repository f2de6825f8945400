// CompositeLayer for every blend code, opaque and partly clear, against memcpy
// of the same number of bytes: one pass over the picture is the floor.
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include "pixels/BlendModes.h"
#include "pixels/BlendTable.h"
#include "pixels/CompositeLayer.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/Paintings.h"

#include <cstring>
#include <map>

namespace bench {

namespace {

using paintings::Cover;

struct Mode {
    const char* name;
    uint8_t code;
};

// Every blend code: the separable ones by their vector formulas (the table
// only where there are none), Add and Subtract with their own saturation,
// and the four HCY modes.
const Mode kModes[] = {{"Normal", kBlendNormal},
                       {"Multiply", kBlendMultiply},
                       {"Screen", kBlendScreen},
                       {"Overlay", kBlendOverlay},
                       {"SoftLight", kBlendSoftLight},
                       {"HardLight", kBlendHardLight},
                       {"Dodge", kBlendDodge},
                       {"Burn", kBlendBurn},
                       {"LinearBurn", kBlendLinearBurn},
                       {"VividLight", kBlendVividLight},
                       {"LinearLight", kBlendLinearLight},
                       {"PinLight", kBlendPinLight},
                       {"Difference", kBlendDifference},
                       {"Lighten", kBlendLighten},
                       {"Darken", kBlendDarken},
                       {"Add", kBlendAdd},
                       {"Subtract", kBlendSubtract},
                       {"Hue", kBlendHue},
                       {"Saturation", kBlendSaturation},
                       {"Color", kBlendColor},
                       {"Luminosity", kBlendLuminosity}};

const docwriter::Bytes& Pixels(const PictureSize& size, uint32_t seed, Cover cover) {
    static std::map<std::string, docwriter::Bytes> made;
    docwriter::Bytes& pixels = made[size.Name() + "/" + std::to_string(seed)];
    if (pixels.empty())
        pixels = paintings::LayerPixels(size.width, size.height, seed, cover);
    return pixels;
}

const docwriter::Bytes& StartPicture(const PictureSize& size) {
    return Pixels(size, 7, Cover::Opaque);
}

void Composite(benchmark::State& state, const PictureSize& size, uint8_t code, Cover cover) {
    const docwriter::Bytes& start = StartPicture(size);
    const docwriter::Bytes& pixels = Pixels(size, cover == Cover::Opaque ? 21 : 22, cover);
    ImageBuffer target, layer;
    BlendTable table;
    if (!target.Create(size.width, size.height) || !layer.Create(size.width, size.height) || !table.Allocate()) {
        state.SkipWithError("out of memory");
        return;
    }
    std::memcpy(layer.bits, pixels.data(), pixels.size());
    for (auto _ : state) {
        // Every pass blends onto the same picture, as a document's next layer would.
        state.PauseTiming();
        std::memcpy(target.bits, start.data(), start.size());
        state.ResumeTiming();
        CompositeLayer(target, layer, code, 128, table);
        benchmark::DoNotOptimize(target.bits);
        benchmark::ClobberMemory();
    }
    Account(state, size.Pixels(), size.Pixels() * 4, "Memcpy/" + size.Name());
}

void Memcpy(benchmark::State& state, const PictureSize& size) {
    const docwriter::Bytes& start = StartPicture(size);
    std::vector<uint8_t> copy(start.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), start.data(), start.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    Account(state, size.Pixels(), start.size());
}

// The same copy into memory never touched before, made as the viewer makes
// a picture's memory (on Windows a fresh DIB section), so that every page
// of it faults in: what the first picture built at a new size pays on top
// of its own work, against the warm copy above.
void MemcpyFresh(benchmark::State& state, const PictureSize& size) {
    const docwriter::Bytes& start = StartPicture(size);
    for (auto _ : state) {
        ImageBuffer copy;
        if (!copy.Create(size.width, size.height)) {
            state.SkipWithError("out of memory");
            return;
        }
        std::memcpy(copy.bits, start.data(), start.size());
        benchmark::DoNotOptimize(copy.bits);
        benchmark::ClobberMemory();
    }
    Account(state, size.Pixels(), start.size(), "Memcpy/" + size.Name());
}

} // namespace

void RegisterCompositeBenchmarks() {
    for (const PictureSize& size : Sizes()) {
        Register("Memcpy/" + size.Name(), [size](benchmark::State& s) { Memcpy(s, size); });
        Register("MemcpyFresh/" + size.Name(), [size](benchmark::State& s) { MemcpyFresh(s, size); });
        for (const Mode& mode : kModes) {
            const uint8_t code = mode.code;
            Register(std::string("Composite/") + mode.name + "/opaque/" + size.Name(),
                     [size, code](benchmark::State& s) { Composite(s, size, code, Cover::Opaque); });
            Register(std::string("Composite/") + mode.name + "/partial/" + size.Name(),
                     [size, code](benchmark::State& s) { Composite(s, size, code, Cover::Partial); });
        }
    }
}

} // namespace bench
