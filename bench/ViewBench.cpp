// The image view's reduced pictures against one memcpy of the picture (the
// anchor, Memcpy/<size> from CompositeBench). Each zoom below 100% made by
// the area filter on a pool of every core into fresh memory, as the first
// picture shown at that zoom is (ReducedPicture/<zoom>), and the picture
// fitted to a 1000-pixel-high view (ReducedPicture/fit), whose size shares
// few divisors with the picture's. Stepping on to the next picture of the
// same size at the same zoom (ReducedPictureStep/<zoom>): the levels cleared
// and the zoom's level made again, into the memory kept from the last
// picture, which is what a user browsing a folder waits for. And one redraw
// of a 1600 x 1000 view at each zoom below 100% (ViewRedraw/<zoom>): the
// visible rows copied 1:1 out of the reduced picture, which is what the
// view's paint does once the picture is made.
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include "app/ReducedPictures.h"
#include "base/WorkPool.h"
#include "pixels/ImageBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace bench {

namespace {

constexpr int32_t kViewWidth = 1600;
constexpr int32_t kViewHeight = 1000;

// The picture every benchmark here reduces: a pattern that no ratio
// repeats. False (and the benchmark skipped) when memory is short.
bool MakePicture(benchmark::State& state, const PictureSize& size, ImageBuffer& picture) {
    if (!picture.Create(size.width, size.height)) {
        state.SkipWithError("no memory for the picture");
        return false;
    }
    for (int32_t y = 0; y < picture.height; ++y) {
        uint8_t* row = picture.TopRow(y);
        for (int32_t x = 0; x < picture.width * 4; ++x)
            row[x] = uint8_t((x * 7 + y * 13) ^ (x >> 5));
    }
    return true;
}

void Reduce(benchmark::State& state, const PictureSize& size, int32_t outWidth, int32_t outHeight) {
    ImageBuffer picture;
    if (!MakePicture(state, size, picture))
        return;
    WorkPool pool;
    for (auto _ : state) {
        ImageBuffer reduced;
        if (!ReducePicture(picture, outWidth, outHeight, reduced, &pool)) {
            state.SkipWithError("reduction failed");
            return;
        }
        benchmark::DoNotOptimize(reduced.TopRow(0));
    }
    Account(state, size.Pixels(), size.Pixels() * 4, "Memcpy/" + size.Name(), pool.Size());
}

void Step(benchmark::State& state, const PictureSize& size, int32_t outWidth, int32_t outHeight) {
    ImageBuffer picture;
    if (!MakePicture(state, size, picture))
        return;
    WorkPool pool;
    ReducedPictures levels(&pool);
    // The first picture's level, made into fresh memory outside the timing.
    if (levels.Get(picture, outWidth, outHeight) == nullptr) {
        state.SkipWithError("reduction failed");
        return;
    }
    for (auto _ : state) {
        levels.Clear();
        const ImageBuffer* reduced = levels.Get(picture, outWidth, outHeight);
        if (reduced == nullptr) {
            state.SkipWithError("reduction failed");
            return;
        }
        benchmark::DoNotOptimize(reduced->TopRow(0));
    }
    Account(state, size.Pixels(), size.Pixels() * 4, "Memcpy/" + size.Name(), pool.Size());
}

void Redraw(benchmark::State& state, const PictureSize& size, int32_t zoom) {
    ImageBuffer picture;
    if (!MakePicture(state, size, picture))
        return;
    ReducedPictures levels(nullptr);
    const ImageBuffer* reduced = levels.Get(picture, size.width * zoom / 100, size.height * zoom / 100);
    if (reduced == nullptr) {
        state.SkipWithError("reduction failed");
        return;
    }
    const int32_t width = std::min(kViewWidth, reduced->width);
    const int32_t height = std::min(kViewHeight, reduced->height);
    std::vector<uint8_t> screen(size_t(width) * size_t(height) * 4);
    for (auto _ : state) {
        // Taken again each time, as the paint asks for it.
        reduced = levels.Get(picture, size.width * zoom / 100, size.height * zoom / 100);
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(screen.data() + size_t(y) * size_t(width) * 4, reduced->TopRow(y), size_t(width) * 4);
        benchmark::DoNotOptimize(screen.data());
    }
    Account(state, size_t(width) * size_t(height), size_t(width) * size_t(height) * 4);
}

} // namespace

void RegisterViewBenchmarks() {
    const PictureSize size{4096, 4096};
    for (int32_t zoom : {25, 50, 75}) {
        Register("ReducedPicture/" + std::to_string(zoom) + "/" + size.Name(), [size, zoom](benchmark::State& s) {
            Reduce(s, size, size.width * zoom / 100, size.height * zoom / 100);
        });
        Register("ReducedPictureStep/" + std::to_string(zoom) + "/" + size.Name(), [size, zoom](benchmark::State& s) {
            Step(s, size, size.width * zoom / 100, size.height * zoom / 100);
        });
        Register("ViewRedraw/" + std::to_string(zoom) + "/" + size.Name(),
                 [size, zoom](benchmark::State& s) { Redraw(s, size, zoom); });
    }
    // 4096 to 977 rows: the view of a 1000-pixel-high window less its bars.
    constexpr int32_t kFitted = 977;
    Register("ReducedPicture/fit/" + size.Name(), [size](benchmark::State& s) {
        Reduce(s, size, int32_t(int64_t(size.width) * kFitted / size.height), kFitted);
    });
}

} // namespace bench
