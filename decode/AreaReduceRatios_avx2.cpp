// The zoom menu's ratios across (AreaReduceRatios_sse2.h tells the
// arithmetic) eight pixels of each row at a time with AVX2, pmaddubsw doing
// the first sums on the bytes: down, two rows at a time, at 2:1 and 4:1;
// across at 4:3. This file alone is compiled for AVX2;
// AreaReduceRows_sse2.cpp calls it only on a processor (and system) that
// runs AVX2.
#include "decode/AreaReduceRatios.h"

#include <immintrin.h>

namespace {

// The most rows an output row of the ratios takes, and the largest weight
// pmaddubsw takes as a signed byte.
constexpr int kMostRows = 4;
constexpr int16_t kLargestWeight = 127;

// Pixels x to x + 7 of kCount rows summed down, each 128-bit half as the
// SSE2 loops have four pixels: low (p0 p1 | p4 p5), high (p2 p3 | p6 p7).
// pmaddubsw multiplies two rows' bytes, interleaved, by their signed byte
// weights and adds each pair: every weight is below 128 and a pair's sum at
// most 32767 (the rows' sums fit in 15 bits), so nothing saturates. A lone
// last row pairs with itself at weight 0.
template <int kCount> class Rows {
public:
    Rows(const uint8_t* const* rows, const int16_t* weights) {
        for (int p = 0; p < kPairs; ++p) {
            const bool lone = 2 * p + 1 == kCount;
            row[2 * p] = rows[2 * p];
            row[2 * p + 1] = lone ? rows[2 * p] : rows[2 * p + 1];
            const uint16_t second = lone ? 0 : uint16_t(weights[2 * p + 1]);
            weight[p] = _mm256_set1_epi16(int16_t(uint16_t(weights[2 * p]) | uint16_t(second << 8)));
        }
    }
    void Eight(size_t x, __m256i& low, __m256i& high) const {
        low = high = _mm256_setzero_si256();
        for (int p = 0; p < kPairs; ++p) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row[2 * p] + 4 * x));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row[2 * p + 1] + 4 * x));
            low = _mm256_add_epi16(low, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), weight[p]));
            high = _mm256_add_epi16(high, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), weight[p]));
        }
    }

private:
    static constexpr int kPairs = (kCount + 1) / 2;
    const uint8_t* row[2 * kPairs];
    __m256i weight[kPairs];
};

inline __m256i Divided(__m256i totals, __m256i half, __m128i shift) {
    return _mm256_srl_epi16(_mm256_add_epi16(totals, half), shift);
}

inline __m128i Pixels(__m128i lowPixels, __m128i highPixels) {
    return _mm_or_si128(_mm_packus_epi16(lowPixels, highPixels), _mm_set1_epi32(int32_t(0xFF000000u)));
}

// Each output pixel the sum of two (kSpan 2) or four (kSpan 4) pixels,
// eight output pixels at a time.
template <int kSpan, class Source>
int32_t WholeRatio(const Source& source, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    const __m256i half = _mm256_set1_epi16(int16_t(across.half));
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    // Four output pixels, divided: (o0 o1 | o2 o3) for kSpan 2, where the
    // pairs of pixels are summed; (o0 o2 | o1 o3) for kSpan 4, whose halves
    // hold pixels 0 to 3 and 8 to 11, and 4 to 7 and 12 to 15.
    auto four = [&](size_t x) {
        __m256i a, b;
        source.Eight(x, a, b);
        if (kSpan == 4) {
            __m256i c, d;
            source.Eight(x + 8, c, d);
            a = _mm256_add_epi16(a, b);
            b = _mm256_add_epi16(c, d);
        }
        return Divided(_mm256_add_epi16(_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b)), half, shift);
    };
    const __m256i alpha = _mm256_set1_epi32(int32_t(0xFF000000u));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int32_t o = 0;
    for (; o + 8 <= outWidth; o += 8) {
        const size_t x = kSpan * size_t(o);
        // Packed within halves: (o0 o1 o4 o5 | o2 o3 o6 o7) for kSpan 2,
        // (o0 o2 o4 o6 | o1 o3 o5 o7) for kSpan 4.
        const __m256i packed = _mm256_packus_epi16(four(x), four(x + 4 * kSpan));
        const __m256i pixels =
            kSpan == 2 ? _mm256_permute4x64_epi64(packed, 0xD8) : _mm256_permutevar8x32_epi32(packed, order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * o), _mm256_or_si256(pixels, alpha));
    }
    return o;
}

// Four pixels (p0 p1 p2 p3) to three: 3 p0 + p1, 2 p1 + 2 p2, p2 + 3 p3,
// twelve output pixels at a time. Here each row is summed across first, on
// its bytes, by pmaddubsw (each pair at most 4 x 255), and the rows' sums
// then down: that takes three registers of sums per row where summing down
// first takes four, and no multiplying but pmaddubsw's across.
template <int kCount>
int32_t FourToThreeRatio(const uint8_t* const* rows, const int16_t* weights, const AcrossPlan& across, int32_t outWidth,
                         uint8_t* out) {
    const __m256i half = _mm256_set1_epi16(int16_t(across.half));
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    // Output pixels o0 to o11 from pixels p0 to p15, the pixels each half of
    // a register takes: (p0 p1 p1 p2 | p5 p6 p6 p7) for (o0 o1 | o4 o5),
    // (p2 p3 p4 p5 | p8 p9 p9 p10) for (o2 o3 | o6 o7) and (p10 p11 p12 p13
    // | p13 p14 p14 p15) for (o8 o9 | o10 o11); the pixels in pairs, their
    // bytes then interleaved channel by channel for pmaddubsw.
    const __m256i firstPixels = _mm256_setr_epi32(0, 1, 1, 2, 5, 6, 6, 7);
    const __m256i secondPixels = _mm256_setr_epi32(2, 3, 4, 5, 0, 1, 1, 2);
    const __m256i thirdPixels = _mm256_setr_epi32(2, 3, 4, 5, 5, 6, 6, 7);
    const __m256i channels = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6, 3,
                                              7, 8, 12, 9, 13, 10, 14, 11, 15);
    // Each output pixel's weights across: (3, 1), (2, 2) and (1, 3) in turn.
    const __m256i firstWeights = _mm256_setr_epi8(3, 1, 3, 1, 3, 1, 3, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                                  2, 1, 3, 1, 3, 1, 3, 1, 3);
    const __m256i secondWeights = _mm256_setr_epi8(1, 3, 1, 3, 1, 3, 1, 3, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1, 3,
                                                   1, 2, 2, 2, 2, 2, 2, 2, 2);
    const __m256i thirdWeights = _mm256_setr_epi8(1, 3, 1, 3, 1, 3, 1, 3, 3, 1, 3, 1, 3, 1, 3, 1, 2, 2, 2, 2, 2, 2, 2,
                                                  2, 1, 3, 1, 3, 1, 3, 1, 3);
    __m256i down[kCount];
    bool ones = true;
    for (int t = 0; t < kCount; ++t) {
        down[t] = _mm256_set1_epi16(weights[t]);
        ones = ones && weights[t] == 1;
    }
    auto across3 = [&](const uint8_t* p, __m256i* sums) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const __m256i second = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(a, secondPixels),
                                                  _mm256_permutevar8x32_epi32(b, secondPixels), 0xF0);
        sums[0] = _mm256_maddubs_epi16(_mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(a, firstPixels), channels),
                                       firstWeights);
        sums[1] = _mm256_maddubs_epi16(_mm256_shuffle_epi8(second, channels), secondWeights);
        sums[2] = _mm256_maddubs_epi16(_mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(b, thirdPixels), channels),
                                       thirdWeights);
    };
    const __m256i alpha = _mm256_set1_epi32(int32_t(0xFF000000u));
    int32_t o = 0;
    for (; o + 12 <= outWidth; o += 12) {
        const size_t x = size_t(o / 3) * 4;
        __m256i total[3];
        across3(rows[0] + 4 * x, total);
        if (!ones)
            for (int k = 0; k < 3; ++k)
                total[k] = _mm256_mullo_epi16(total[k], down[0]);
        for (int t = 1; t < kCount; ++t) {
            __m256i sums[3];
            across3(rows[t] + 4 * x, sums);
            for (int k = 0; k < 3; ++k)
                total[k] = _mm256_add_epi16(total[k], ones ? sums[k] : _mm256_mullo_epi16(sums[k], down[t]));
        }
        for (int k = 0; k < 3; ++k)
            total[k] = Divided(total[k], half, shift);
        // (o0 o1 o2 o3 | o4 o5 o6 o7), and o8 to o11 from the halves of the third.
        const __m256i firstEight = _mm256_or_si256(_mm256_packus_epi16(total[0], total[1]), alpha);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * o), firstEight);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * o + 32),
                         Pixels(_mm256_castsi256_si128(total[2]), _mm256_extracti128_si256(total[2], 1)));
    }
    return o;
}

template <int kCount>
int32_t RatioPixels(const uint8_t* const* rows, const int16_t* weights, const AcrossPlan& across, int32_t outWidth,
                    uint8_t* out) {
    if (across.periodOut == 3)
        return FourToThreeRatio<kCount>(rows, weights, across, outWidth, out);
    const Rows<kCount> source(rows, weights);
    return across.period == 2 ? WholeRatio<2>(source, across, outWidth, out)
                              : WholeRatio<4>(source, across, outWidth, out);
}

} // namespace

int32_t Avx2RatioPixels(const uint8_t* const* rows, const int16_t* weights, int count, const AcrossPlan& across,
                        int32_t outWidth, uint8_t* out) {
    // A plain loop rather than a library call: an inline function of
    // another header built here for AVX2 could stand in for the same one
    // built elsewhere for SSE2.
    if (count < 1 || count > kMostRows)
        return 0;
    for (int t = 0; t < count; ++t)
        if (weights[t] > kLargestWeight)
            return 0;
    switch (count) {
    case 1:
        return RatioPixels<1>(rows, weights, across, outWidth, out);
    case 2:
        return RatioPixels<2>(rows, weights, across, outWidth, out);
    case 3:
        return RatioPixels<3>(rows, weights, across, outWidth, out);
    default:
        return RatioPixels<kMostRows>(rows, weights, across, outWidth, out);
    }
}
