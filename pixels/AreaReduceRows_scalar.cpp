// The small-sum loops for processors without SSE2: one value at a time.
#include "pixels/AreaReduceRows.h"

#include <cstring>

void SumRowsDownShort(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        int sum = 0;
        for (int t = 0; t < count; ++t)
            sum += weights[t] * rows[t][i];
        sums[i] = int16_t(sum);
    }
}

void SumRowsDownWide(uint32_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes,
                     bool /*widest*/) {
    for (size_t i = 0; i < bytes; ++i) {
        uint32_t sum = 0;
        for (int t = 0; t < count; ++t)
            sum += uint32_t(weights[t]) * rows[t][i];
        sums[i] = sum;
    }
}

namespace {

template <typename Sum> void SumRowAcross(const Sum* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    for (int32_t o = 0; o < outWidth; ++o) {
        const Sum* p = sums + 4 * size_t(across.first[o]);
        const uint32_t* w = across.weights + size_t(o) * size_t(across.taps);
        for (int c = 0; c < 3; ++c) {
            uint32_t total = across.half;
            for (int32_t t = 0; t < across.taps; ++t)
                total += w[t] * uint32_t(p[4 * t + c]);
            out[4 * o + c] = uint8_t(uint64_t(total) * across.magic >> across.shift);
        }
        out[4 * o + 3] = 255;
    }
}

} // namespace

void SumRowAcrossShort(const int16_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    SumRowAcross(sums, across, outWidth, out);
}

void SumRowAcrossWide(const uint32_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out, bool /*widest*/) {
    SumRowAcross(sums, across, outWidth, out);
}

void SumRowsToPixels(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes,
                     const AcrossPlan& across, int32_t outWidth, uint8_t* out, bool /*widest*/) {
    SumRowsDownShort(sums, rows, weights, count, bytes);
    SumRowAcrossShort(sums, across, outWidth, out);
}

bool SumFourRowsToThree(int16_t* /*sums*/, const uint8_t* const* /*rows*/, size_t /*bytes*/,
                        const AcrossPlan& /*across*/, int32_t /*outWidth*/, uint8_t* const* /*out*/, bool /*widest*/) {
    return false;
}
