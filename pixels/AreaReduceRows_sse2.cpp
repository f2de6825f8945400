// The small-sum loops with SSE2, which every x86-64 processor has: sixteen
// bytes at a time down, one output pixel's four channels at a time across;
// the zoom menu's ratios with AVX2 where the processor runs it.
#include "pixels/AreaReduceRows.h"

#include "pixels/AreaReduceRatios.h"
#include "pixels/AreaReduceRatios_sse2.h"
#include "pixels/AreaReduceWide.h"
#include "pixels/CpuFeatures.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

// (total x magic) >> shift in each 32-bit lane, through the 64-bit products
// of lanes 0 and 2, and of 1 and 3: each quotient is below 256, in the low
// half of its product. magic (below 2^33) comes as its low 32 bits and, in
// high, all ones in each 64-bit lane where its bit 32 is set.
inline __m128i DividedWide(__m128i total, __m128i magic, __m128i high, __m128i shift) {
    const __m128i low = _mm_set_epi32(0, -1, 0, -1);
    const __m128i evenTotal = _mm_and_si128(total, low), oddTotal = _mm_srli_epi64(total, 32);
    const __m128i even =
        _mm_add_epi64(_mm_mul_epu32(evenTotal, magic), _mm_and_si128(_mm_slli_epi64(evenTotal, 32), high));
    const __m128i odd =
        _mm_add_epi64(_mm_mul_epu32(oddTotal, magic), _mm_and_si128(_mm_slli_epi64(oddTotal, 32), high));
    return _mm_or_si128(_mm_and_si128(_mm_srl_epi64(even, shift), low), _mm_slli_epi64(_mm_srl_epi64(odd, shift), 32));
}

// The magic's two parts for DividedWide.
inline void SplitMagic(uint64_t magic, __m128i& lowPart, __m128i& highPart) {
    lowPart = _mm_set1_epi32(int32_t(uint32_t(magic)));
    highPart = (magic >> 32) != 0 ? _mm_set1_epi32(-1) : _mm_setzero_si128();
}

// The low 32 bits of each lane of values times weight.
inline __m128i Times(__m128i values, __m128i weight) {
    const __m128i even = _mm_mul_epu32(values, weight);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(values, 32), weight);
    return _mm_or_si128(_mm_and_si128(even, _mm_set_epi32(0, -1, 0, -1)), _mm_slli_epi64(odd, 32));
}

// Sums kCount rows into sums (kAdd: adds them to what sums holds), their
// pointers and weights held in registers; kOnes: every weight is 1 (a whole
// number of rows to each output row), which needs no multiplying. Returns
// the bytes done: all but the last few when bytes is no multiple of 16.
template <int kCount, bool kAdd, bool kOnes>
size_t SumRowsDownBy(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, size_t bytes) {
    const __m128i zero = _mm_setzero_si128();
    const uint8_t* row[kCount];
    __m128i weight[kCount];
    for (int t = 0; t < kCount; ++t) {
        row[t] = rows[t];
        weight[t] = _mm_set1_epi16(weights[t]);
    }
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        __m128i low = kAdd ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i)) : zero;
        __m128i high = kAdd ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 8)) : zero;
        for (int t = 0; t < kCount; ++t) {
            const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[t] + i));
            const __m128i lowWords = _mm_unpacklo_epi8(bytes16, zero), highWords = _mm_unpackhi_epi8(bytes16, zero);
            low = _mm_add_epi16(low, kOnes ? lowWords : _mm_mullo_epi16(lowWords, weight[t]));
            high = _mm_add_epi16(high, kOnes ? highWords : _mm_mullo_epi16(highWords, weight[t]));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 8), high);
    }
    return i;
}

// Up to four rows in one pass (a quarter's rows), the rest added two and
// one at a time.
template <bool kOnes>
size_t SumRowsDownAll(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes) {
    size_t done = 0;
    switch (std::min(count, 4)) {
    case 1:
        done = SumRowsDownBy<1, false, kOnes>(sums, rows, weights, bytes);
        break;
    case 2:
        done = SumRowsDownBy<2, false, kOnes>(sums, rows, weights, bytes);
        break;
    case 3:
        done = SumRowsDownBy<3, false, kOnes>(sums, rows, weights, bytes);
        break;
    default:
        done = SumRowsDownBy<4, false, kOnes>(sums, rows, weights, bytes);
        break;
    }
    int t = std::min(count, 4);
    for (; t + 2 <= count; t += 2)
        SumRowsDownBy<2, true, kOnes>(sums, rows + t, weights + t, bytes);
    if (t < count)
        SumRowsDownBy<1, true, kOnes>(sums, rows + t, weights + t, bytes);
    return done;
}

// One output pixel's (blue, green, red, alpha) as 32-bit lanes, divided.
// The pairs are multiplied and added by pmaddwd, which takes its words as
// signed: every sum and weight is below 2^15, so none is read negative and
// no pair's total overflows. kPairs: the number of pairs where the compiler
// is to unroll them, 0 otherwise; kShift: the magic is 1.
template <int kPairs, bool kShift>
inline __m128i OutputPixel(const int16_t* sums, const AcrossPlan& across, int32_t o, __m128i magic, __m128i high,
                           __m128i shift) {
    const int32_t pairs = kPairs != 0 ? kPairs : across.taps / 2;
    const int16_t* p = sums + 4 * size_t(across.first[o]);
    const uint32_t* w = across.weights + size_t(o) * size_t(2 * pairs);
    __m128i total = _mm_set1_epi32(int32_t(across.half));
    for (int32_t j = 0; j < pairs; ++j) {
        const __m128i two = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * j));
        // (b0 g0 r0 a0 b1 g1 r1 a1) to (b0 b1 g0 g1 r0 r1 a0 a1)
        const __m128i paired = _mm_unpacklo_epi16(two, _mm_unpackhi_epi64(two, two));
        total = _mm_add_epi32(total, _mm_madd_epi16(paired, _mm_set1_epi32(int32_t(w[2 * j] | w[2 * j + 1] << 16))));
    }
    return kShift ? _mm_srl_epi32(total, shift) : DividedWide(total, magic, high, shift);
}

template <int kPairs, bool kShift>
void SumRowAcrossBy(const int16_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    __m128i magic, high;
    SplitMagic(across.magic, magic, high);
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
    int32_t o = 0;
    for (; o + 4 <= outWidth; o += 4) {
        const __m128i a = OutputPixel<kPairs, kShift>(sums, across, o, magic, high, shift);
        const __m128i b = OutputPixel<kPairs, kShift>(sums, across, o + 1, magic, high, shift);
        const __m128i c = OutputPixel<kPairs, kShift>(sums, across, o + 2, magic, high, shift);
        const __m128i d = OutputPixel<kPairs, kShift>(sums, across, o + 3, magic, high, shift);
        const __m128i pixels = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * o), _mm_or_si128(pixels, alpha));
    }
    for (; o < outWidth; ++o) {
        const __m128i a = OutputPixel<kPairs, kShift>(sums, across, o, magic, high, shift);
        const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(a, a), a))) | 0xFF000000u;
        std::memcpy(out + 4 * o, &pixel, 4);
    }
}

template <bool kShift>
void SumRowAcrossShift(const int16_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    switch (across.taps / 2) {
    case 1:
        return SumRowAcrossBy<1, kShift>(sums, across, outWidth, out);
    case 2:
        return SumRowAcrossBy<2, kShift>(sums, across, outWidth, out);
    default:
        return SumRowAcrossBy<0, kShift>(sums, across, outWidth, out);
    }
}

bool Avx2Runs() {
    static const bool runs = RunsAvx2(); // asked once, by whichever thread comes first
    return runs;
}

// The ratio's own loop from kCount rows, summed down in registers.
template <int kCount>
int32_t RatioPixelsFromRows(const uint8_t* const* rows, const int16_t* weights, const AcrossPlan& across,
                            int32_t outWidth, uint8_t* out) {
    if (std::all_of(weights, weights + kCount, [](int16_t weight) { return weight == 1; }))
        return RatioPixels(RowsSource<kCount, true>(rows, weights), across, outWidth, out);
    return RatioPixels(RowsSource<kCount, false>(rows, weights), across, outWidth, out);
}

// The zoom menu's ratios take at most four rows to an output row.
constexpr int kMostRatioRows = 4;

int32_t RatioPixelsFromRows(const uint8_t* const* rows, const int16_t* weights, int count, const AcrossPlan& across,
                            int32_t outWidth, uint8_t* out) {
    switch (count) {
    case 1:
        return RatioPixelsFromRows<1>(rows, weights, across, outWidth, out);
    case 2:
        return RatioPixelsFromRows<2>(rows, weights, across, outWidth, out);
    case 3:
        return RatioPixelsFromRows<3>(rows, weights, across, outWidth, out);
    case kMostRatioRows:
        return RatioPixelsFromRows<kMostRatioRows>(rows, weights, across, outWidth, out);
    default:
        return 0;
    }
}

} // namespace

void SumRowsToPixels(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes,
                     const AcrossPlan& across, int32_t outWidth, uint8_t* out, bool widest) {
    int32_t done = 0;
    if (IsRatio(across)) {
        if (widest && Avx2Runs())
            done = Avx2RatioPixels(rows, weights, count, across, outWidth, out);
        if (done == 0)
            done = RatioPixelsFromRows(rows, weights, count, across, outWidth, out);
    }
    if (done == 0) {
        SumRowsDownShort(sums, rows, weights, count, bytes);
        SumRowAcrossShort(sums, across, outWidth, out);
        return;
    }
    if (done == outWidth)
        return;
    // The last few output pixels through the sums, from the first pixel
    // they read on; done is a whole number of periods.
    const size_t from = 4 * size_t(across.first[done]);
    const uint8_t* rest[kMostRatioRows];
    for (int t = 0; t < count; ++t)
        rest[t] = rows[t] + from;
    SumRowsDownShort(sums + from, rest, weights, count, bytes - from);
    AcrossPlan last = across;
    last.first += done;
    last.weights += size_t(done) * size_t(across.taps);
    SumRowAcrossShort(sums, last, outWidth - done, out + 4 * size_t(done));
}

void SumRowsDownShort(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes) {
    const bool ones = std::all_of(weights, weights + count, [](int16_t weight) { return weight == 1; });
    const size_t done = ones ? SumRowsDownAll<true>(sums, rows, weights, count, bytes)
                             : SumRowsDownAll<false>(sums, rows, weights, count, bytes);
    for (size_t i = done; i < bytes; ++i) {
        int sum = 0;
        for (int k = 0; k < count; ++k)
            sum += weights[k] * rows[k][i];
        sums[i] = int16_t(sum);
    }
}

void SumRowsDownWide(uint32_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes,
                     bool widest) {
    // Two rows at a time by pmaddwd: their bytes interleaved as words, each
    // pair times its two weights (a lone last row's partner weighs 0). A
    // pair's total stays below 2^31, so pmaddwd's signed sums are whole.
    const __m128i zero = _mm_setzero_si128();
    size_t i = widest && Avx2Runs() ? Avx2SumRowsDownWide(sums, rows, weights, count, bytes) : 0;
    for (; i + 16 <= bytes; i += 16) {
        __m128i sum0 = zero, sum1 = zero, sum2 = zero, sum3 = zero;
        for (int t = 0; t < count; t += 2) {
            const bool pair = t + 1 < count;
            const uint32_t both = uint16_t(weights[t]) | uint32_t(pair ? uint16_t(weights[t + 1]) : 0) << 16;
            const __m128i weight = _mm_set1_epi32(int32_t(both));
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + i));
            const __m128i b = pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + i)) : zero;
            const __m128i low = _mm_unpacklo_epi8(a, b), high = _mm_unpackhi_epi8(a, b);
            sum0 = _mm_add_epi32(sum0, _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), weight));
            sum1 = _mm_add_epi32(sum1, _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), weight));
            sum2 = _mm_add_epi32(sum2, _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), weight));
            sum3 = _mm_add_epi32(sum3, _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), weight));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i), sum0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 4), sum1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 8), sum2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 12), sum3);
    }
    for (; i < bytes; ++i) {
        uint32_t sum = 0;
        for (int t = 0; t < count; ++t)
            sum += uint32_t(weights[t]) * rows[t][i];
        sums[i] = sum;
    }
}

void SumRowAcrossShort(const int16_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    const int32_t done = RatioPixels(SumsSource{sums + 4 * size_t(across.first[0])}, across, outWidth, out);
    AcrossPlan rest = across;
    rest.first += done;
    rest.weights += size_t(done) * size_t(across.taps);
    if (across.magic == 1)
        SumRowAcrossShift<true>(sums, rest, outWidth - done, out + 4 * size_t(done));
    else
        SumRowAcrossShift<false>(sums, rest, outWidth - done, out + 4 * size_t(done));
}

void SumRowAcrossWide(const uint32_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out, bool widest) {
    if (widest && Avx2Runs())
        return Avx2SumRowAcrossWide(sums, across, outWidth, out);
    __m128i magic, high;
    SplitMagic(across.magic, magic, high);
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    for (int32_t o = 0; o < outWidth; ++o) {
        const uint32_t* p = sums + 4 * size_t(across.first[o]);
        const uint32_t* w = across.weights + size_t(o) * size_t(across.taps);
        __m128i total = _mm_set1_epi32(int32_t(across.half));
        for (int32_t t = 0; t < across.taps; ++t) {
            const __m128i pixel = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * t));
            total = _mm_add_epi32(total, Times(pixel, _mm_set1_epi32(int32_t(w[t]))));
        }
        const __m128i a = DividedWide(total, magic, high, shift);
        const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(a, a), a))) | 0xFF000000u;
        std::memcpy(out + 4 * o, &pixel, 4);
    }
}

bool SumFourRowsToThree(int16_t* sums, const uint8_t* const* rows, size_t bytes, const AcrossPlan& across,
                        int32_t outWidth, uint8_t* const* out, bool widest) {
    if (!widest || !Avx2Runs() || !IsRatio(across) || across.periodOut != 3)
        return false;
    const int32_t done = Avx2FourRowsToThree(rows, across, outWidth, out);
    if (done == outWidth)
        return true;
    // The last few output pixels of each row through the sums, as
    // SumRowsToPixels leaves them.
    const size_t from = 4 * size_t(across.first[done]);
    AcrossPlan last = across;
    last.first += done;
    last.weights += size_t(done) * size_t(across.taps);
    const int16_t weights[3][2] = {{3, 1}, {2, 2}, {1, 3}};
    for (int k = 0; k < 3; ++k) {
        const uint8_t* pair[2] = {rows[k] + from, rows[k + 1] + from};
        SumRowsDownShort(sums + from, pair, weights[k], 2, bytes - from);
        SumRowAcrossShort(sums, last, outWidth - done, out[k] + 4 * size_t(done));
    }
    return true;
}
