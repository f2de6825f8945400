#pragma once
// The zoom menu's ratios across, 2:1, 4:1 and 4:3, with SSE2: where the
// area is a power of two no larger than 256, every total, half the area
// included, stays below 2^16, and so does every product and partial sum in
// it, so eight 16-bit lanes hold two output pixels and the division is a
// shift.
//
// The loops take their pixels summed down from a source: a row of sums
// already made (SumsSource), or the picture's rows themselves, summed down
// in registers as they are taken (RowsSource), which spares a trip through
// memory for every byte. Each returns the output pixels it made, a whole
// number of its groups; the rest go through the general loops.
//
// Included by AreaReduceRows_sse2.cpp alone; all here has internal linkage
// all the same, so that no file built for a wider instruction set could
// lend the linker its copy.

#include "pixels/AreaReduceRows.h"

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace {

// Pixels x to x + 3 summed down from a row of sums: (p0 p1) and (p2 p3).
struct SumsSource {
    const int16_t* sums;
    void Four(size_t x, __m128i& low, __m128i& high) const {
        low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + 4 * x));
        high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + 4 * x + 8));
    }
};

// The same summed down from kCount rows; kOnes: every weight is 1, which
// needs no multiplying.
template <int kCount, bool kOnes> class RowsSource {
public:
    RowsSource(const uint8_t* const* rows, const int16_t* weights) {
        for (int t = 0; t < kCount; ++t) {
            row[t] = rows[t];
            weight[t] = _mm_set1_epi16(weights[t]);
        }
    }
    void Four(size_t x, __m128i& low, __m128i& high) const {
        const __m128i zero = _mm_setzero_si128();
        low = high = zero;
        for (int t = 0; t < kCount; ++t) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[t] + 4 * x));
            const __m128i lowWords = _mm_unpacklo_epi8(bytes, zero), highWords = _mm_unpackhi_epi8(bytes, zero);
            low = _mm_add_epi16(low, kOnes ? lowWords : _mm_mullo_epi16(lowWords, weight[t]));
            high = _mm_add_epi16(high, kOnes ? highWords : _mm_mullo_epi16(highWords, weight[t]));
        }
    }

private:
    const uint8_t* row[kCount];
    __m128i weight[kCount];
};

// Two output pixels (b0 g0 r0 a0 b1 g1 r1 a1), rounded and divided.
inline __m128i Divided(__m128i totals, __m128i half, __m128i shift) {
    return _mm_srl_epi16(_mm_add_epi16(totals, half), shift);
}

inline __m128i Pixels(__m128i lowPixels, __m128i highPixels) {
    return _mm_or_si128(_mm_packus_epi16(lowPixels, highPixels), _mm_set1_epi32(int32_t(0xFF000000u)));
}

// Each output pixel the sum of two (kSpan 2) or four (kSpan 4) pixels.
template <int kSpan, class Source>
int32_t WholeRatio(const Source& source, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    const __m128i half = _mm_set1_epi16(int16_t(across.half));
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    // Two neighbouring output pixels from their pixels, summed in pairs:
    // (p0 p1) and (p2 p3) make (p0 + p1, p2 + p3).
    auto two = [&](size_t x) {
        __m128i a, b;
        source.Four(x, a, b);
        if (kSpan == 4) {
            __m128i c, d;
            source.Four(x + 4, c, d);
            a = _mm_add_epi16(a, b);
            b = _mm_add_epi16(c, d);
        }
        return Divided(_mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b)), half, shift);
    };
    int32_t o = 0;
    for (; o + 4 <= outWidth; o += 4) {
        const size_t x = kSpan * size_t(o);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * o), Pixels(two(x), two(x + 2 * kSpan)));
    }
    return o;
}

// Four pixels (p0 p1 p2 p3) to three: 3 p0 + p1, 2 p1 + 2 p2, p2 + 3 p3.
template <class Source>
int32_t FourToThreeRatio(const Source& source, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    const __m128i half = _mm_set1_epi16(int16_t(across.half));
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    const __m128i threeOne = _mm_set_epi16(1, 1, 1, 1, 3, 3, 3, 3);
    const __m128i oneThree = _mm_set_epi16(3, 3, 3, 3, 1, 1, 1, 1);
    // One period: (first, second) and (third, 0) of its output pixels.
    auto period = [&](size_t x, __m128i& firstTwo, __m128i& third) {
        __m128i a, b; // (p0 p1), (p2 p3)
        source.Four(x, a, b);
        const __m128i left = _mm_mullo_epi16(a, threeOne), right = _mm_mullo_epi16(b, oneThree);
        // (3 p0, 2 p2) + (p1, 2 p1)
        firstTwo = _mm_add_epi16(_mm_unpacklo_epi64(left, _mm_slli_epi16(b, 1)),
                                 _mm_unpackhi_epi64(left, _mm_slli_epi16(a, 1)));
        third = _mm_add_epi16(right, _mm_unpackhi_epi64(right, right));
    };
    int32_t o = 0;
    for (; o + 6 <= outWidth; o += 6) {
        const size_t x = size_t(o / 3) * 4;
        __m128i firstTwo, third, nextTwo, nextThird;
        period(x, firstTwo, third);
        period(x + 4, nextTwo, nextThird);
        const __m128i low = Divided(firstTwo, half, shift);
        const __m128i middle = Divided(_mm_unpacklo_epi64(third, nextTwo), half, shift);
        const __m128i high = Divided(_mm_unpacklo_epi64(_mm_unpackhi_epi64(nextTwo, nextTwo), nextThird), half, shift);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * o), Pixels(low, middle));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * o + 16), Pixels(high, high));
    }
    return o;
}

// Whether the plan is one of the ratios, with a shift for its division.
inline bool IsRatio(const AcrossPlan& across) {
    return across.magic == 1 && across.area <= 256 &&
           ((across.periodOut == 1 && (across.period == 2 || across.period == 4)) ||
            (across.periodOut == 3 && across.period == 4));
}

// The output pixels the ratio's own loop made, or 0. The source's pixel 0
// is where the plan's output pixel 0 starts, at the start of a period.
template <class Source>
int32_t RatioPixels(const Source& source, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    if (!IsRatio(across))
        return 0;
    if (across.periodOut == 3)
        return FourToThreeRatio(source, across, outWidth, out);
    return across.period == 2 ? WholeRatio<2>(source, across, outWidth, out)
                              : WholeRatio<4>(source, across, outWidth, out);
}

} // namespace
