// Documents made to cost as much as their format allows: the most layers a
// QVM or QVR v0 header can declare, each empty or of one pixel. A reader whose
// work follows what the streams hold loads them in a small multiple of the
// time it takes to make the white picture at all; one that made a pass over
// the picture, or rebuilt a whole blend table, per layer would take hours.
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include "decode/DocumentLoader.h"
#include "pixels/BlendModes.h"
#include "pixels/ImageBuffer.h"

namespace bench {

namespace {

constexpr int kMostLayers = 65535; // the header's 16-bit count

template <typename Doc> Doc Sized(int width, int height) {
    Doc doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    return doc;
}

std::string WriteDocument(const std::string& name, const docwriter::Bytes& bytes) {
    const std::string path = ScratchFile(name);
    docwriter::WriteFile(path, bytes);
    return path;
}

std::string EmptyLayersQvm(int side) {
    docwriter::QvmDocument doc = Sized<docwriter::QvmDocument>(side, side);
    const docwriter::Bytes empty = docwriter::Compress({});
    for (int i = 0; i < kMostLayers; ++i) {
        docwriter::QvmLayer layer;
        layer.stream = empty;
        layer.blendMode = uint8_t(i % 21);
        doc.layers.push_back(layer);
    }
    return WriteDocument("empty-layers.qvm", docwriter::WriteQvm(doc));
}

std::string EmptyMasksQvr(int side) {
    docwriter::QvrV0Document doc = Sized<docwriter::QvrV0Document>(side, side);
    const docwriter::Bytes empty = docwriter::Compress({});
    for (int i = 0; i < kMostLayers; ++i) {
        docwriter::QvrMaskLayer mask;
        mask.stream = empty;
        doc.layers.push_back(mask);
    }
    return WriteDocument("empty-masks.qvr", docwriter::WriteQvrV0(doc));
}

// Every layer one dark pixel in a mode that goes through the blend table.
std::string OnePixelTableLayersQvm(int side) {
    docwriter::QvmDocument doc = Sized<docwriter::QvmDocument>(side, side);
    const docwriter::Bytes darkPixel = docwriter::Compress({0, 0, 0, 255});
    for (int i = 0; i < kMostLayers; ++i) {
        docwriter::QvmLayer layer;
        layer.stream = darkPixel;
        layer.blendMode = (i % 2) ? kBlendMultiply : kBlendDarken;
        doc.layers.push_back(layer);
    }
    return WriteDocument("one-pixel-layers.qvm", docwriter::WriteQvm(doc));
}

void Load(benchmark::State& state, const std::string& path, int side) {
    ImageBuffer image;
    for (auto _ : state) {
        if (!LoadDocument(image, path.c_str())) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(image.bits);
    }
    Account(state, size_t(side) * size_t(side), 0, "WhitePicture/" + std::to_string(side));
}

// The least any load of that size does: the picture made and filled white.
void WhitePicture(benchmark::State& state, int side) {
    for (auto _ : state) {
        ImageBuffer image;
        if (!image.Create(side, side)) {
            state.SkipWithError("no picture");
            return;
        }
        image.Fill(0xFFFFFFFF);
        benchmark::DoNotOptimize(image.bits);
    }
    Account(state, size_t(side) * size_t(side), 0);
}

} // namespace

void RegisterHostileBenchmarks() {
    for (int side : {512, 2048})
        Register("WhitePicture/" + std::to_string(side), [side](benchmark::State& s) { WhitePicture(s, side); });
    Register("Hostile/QvmEmptyLayers/2048", [](benchmark::State& s) {
        static const std::string path = EmptyLayersQvm(2048);
        Load(s, path, 2048);
    });
    Register("Hostile/QvrEmptyMasks/2048", [](benchmark::State& s) {
        static const std::string path = EmptyMasksQvr(2048);
        Load(s, path, 2048);
    });
    Register("Hostile/QvmOnePixelTableLayers/512", [](benchmark::State& s) {
        static const std::string path = OnePixelTableLayersQvm(512);
        Load(s, path, 512);
    });
}

} // namespace bench
