// libFuzzer target: the banded scaling of either format against the whole
// picture scaled the same way. Both must judge the input alike and, when it
// loads, give the same pixels, with memory for large bands and for bands of
// a few rows, and with streams starting over for every band; a disagreement
// aborts, so libFuzzer keeps the input.

#include "base/MemorySource.h"
#include "decode/DocumentLoader.h"
#include "decode/ScaleInBands.h"
#include "pixels/AreaAverage.h"
#include "pixels/ImageBuffer.h"
#include "tools/fuzz/PictureCap.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Disagree(const char* what) {
    std::fprintf(stderr, "fuzz_thumbnail_bands: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemorySource header(data, size);
    uint32_t width = 0, height = 0;
    if (!PeekDocumentSize(header, width, height) || width == 0 || height == 0)
        return 0;
    if (uint64_t(width) * height > fuzzcap::kMaxPixels)
        return -1;
    const int32_t outWidth = width < 24 ? int32_t(width) : 24;
    const int32_t outHeight = height < 17 ? int32_t(height) : 17;

    MemorySource wholeSource(data, size);
    ImageBuffer picture;
    const LoadResult whole = LoadDocument(picture, wholeSource);
    const bool loaded = bool(whole) && !picture.IsEmpty();
    // The bands walk a QVM or QVR version 0 document's records as the whole
    // reader does, so they meet its fault; version 1's tiles are read band
    // by band, and the bands never make the whole picture.
    const bool sameFault = (data[2] == 'M' || (size > 7 && data[7] == 0)) && whole.code != LoadCode::TooLarge &&
                           whole.code != LoadCode::OutOfMemory;
    std::vector<uint8_t> expected(size_t(outWidth) * outHeight * 4);
    if (loaded) {
        AreaAverage filter;
        if (!filter.Start(picture.width, picture.height, outWidth, outHeight, false, expected.data(), outWidth * 4))
            Disagree("the whole picture does not scale");
        for (int32_t y = 0; y < picture.height; ++y)
            filter.AddRow(picture.TopRow(y));
        filter.Finish();
    }
    // Enough for tall bands of many layers, and barely one row of a few; and
    // thin bands in groups of two with one stream kept open, the others
    // starting over for every band (for pictures of few rows, whose bands
    // are few).
    struct Run {
        uint64_t memory;
        BandShape shape;
    };
    const Run runs[] = {{uint64_t(40) << 20, {}}, {uint64_t(1300) << 10, {}}, {uint64_t(40) << 20, {5, 2, 1}}};
    for (const Run& run : runs) {
        if (run.shape.mostRows > 0 && height > 512)
            continue;
        MemorySource source(data, size);
        std::vector<uint8_t> drawn(expected.size());
        LoadResult fault;
        const BandedRead read = ScaleDocumentInBands(source, outWidth, outHeight, drawn.data(), outWidth * 4,
                                                     run.memory, nullptr, run.shape, Deadline(), &fault);
        if (read == BandedRead::NotBanded)
            continue;
        if ((read == BandedRead::Done) != loaded)
            Disagree(loaded ? "the banded road refuses a document that loads" : "the banded road draws a broken one");
        if (read == BandedRead::Broken && (fault || (sameFault && fault.reason != whole.reason))) {
            std::fprintf(stderr, "fuzz_thumbnail_bands: %s beside %s\n", fault.reason.c_str(), whole.reason.c_str());
            Disagree("the banded road names another fault");
        }
        if (loaded && drawn != expected)
            Disagree("the banded road draws other pixels");
    }
    return 0;
}
