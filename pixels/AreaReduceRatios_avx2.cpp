// The zoom menu's ratios across (AreaReduceRatios_sse2.h tells the
// arithmetic) eight pixels of each row at a time with AVX2, pmaddubsw doing
// the first sums on the bytes: across at 2:1 and 4:3, down, two rows at a
// time, at 4:1. This file alone is compiled for AVX2;
// AreaReduceRows_sse2.cpp calls it only on a processor (and system) that
// runs AVX2.
#include "pixels/AreaReduceRatios.h"

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

// Each output pixel the sum of four pixels, eight output pixels at a time,
// the rows summed down first.
template <class Source>
int32_t QuarterRatio(const Source& source, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    const __m256i half = _mm256_set1_epi16(int16_t(across.half));
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    // Four output pixels, divided, (o0 o2 | o1 o3): the halves hold pixels 0
    // to 3 and 8 to 11, and 4 to 7 and 12 to 15.
    auto four = [&](size_t x) {
        __m256i a, b, c, d;
        source.Eight(x, a, b);
        source.Eight(x + 8, c, d);
        a = _mm256_add_epi16(a, b);
        b = _mm256_add_epi16(c, d);
        return Divided(_mm256_add_epi16(_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b)), half, shift);
    };
    const __m256i alpha = _mm256_set1_epi32(int32_t(0xFF000000u));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int32_t o = 0;
    for (; o + 8 <= outWidth; o += 8) {
        const size_t x = 4 * size_t(o);
        // Packed within halves: (o0 o2 o4 o6 | o1 o3 o5 o7).
        const __m256i packed = _mm256_packus_epi16(four(x), four(x + 16));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * o),
                            _mm256_or_si256(_mm256_permutevar8x32_epi32(packed, order), alpha));
    }
    return o;
}

// The loops that sum each row across first, on its bytes, by pmaddubsw
// (each pair at most 4 x 255), and the rows' sums then down: fewer
// registers of sums per row than summing down first, and no multiplying
// across but pmaddubsw's. kRegisters registers of sums from each row.
template <int kCount, int kRegisters> class AcrossThenDown {
public:
    AcrossThenDown(const uint8_t* const* rows, const int16_t* weights) {
        for (int t = 0; t < kCount; ++t) {
            row[t] = rows[t];
            down[t] = _mm256_set1_epi16(weights[t]);
            ones = ones && weights[t] == 1;
        }
    }
    // total: the rows' sums across from pixel x on, as across(pixels,
    // sums) gives one row's, weighted and summed down.
    template <class Across> void Sum(size_t x, const Across& across, __m256i* total) const {
        across(row[0] + 4 * x, total);
        if (!ones)
            for (int k = 0; k < kRegisters; ++k)
                total[k] = _mm256_mullo_epi16(total[k], down[0]);
        for (int t = 1; t < kCount; ++t) {
            __m256i sums[kRegisters];
            across(row[t] + 4 * x, sums);
            for (int k = 0; k < kRegisters; ++k)
                total[k] = _mm256_add_epi16(total[k], ones ? sums[k] : _mm256_mullo_epi16(sums[k], down[t]));
        }
    }

private:
    const uint8_t* row[kCount];
    __m256i down[kCount];
    bool ones = true;
};

// Each pixel's bytes, and its neighbour's on its right, interleaved channel
// by channel in each 128-bit half: (p0 p1 p2 p3) to (p0 p1) channel pairs
// in the low 64 bits and (p2 p3) in the high.
inline __m256i Interleaved(__m256i pixels) {
    const __m256i channels = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6, 3,
                                              7, 8, 12, 9, 13, 10, 14, 11, 15);
    return _mm256_shuffle_epi8(pixels, channels);
}

inline __m256i LoadPixels(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Each output pixel the sum of two pixels, eight output pixels at a time.
template <int kCount>
int32_t HalfRatio(const uint8_t* const* rows, const int16_t* weights, const AcrossPlan& across, int32_t outWidth,
                  uint8_t* out) {
    const __m256i half = _mm256_set1_epi16(int16_t(across.half));
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    const __m256i pairs = _mm256_set1_epi8(1);
    // (o0 o1 | o2 o3) and (o4 o5 | o6 o7) from pixels p0 to p15.
    auto sumAcross = [&](const uint8_t* p, __m256i* sums) {
        sums[0] = _mm256_maddubs_epi16(Interleaved(LoadPixels(p)), pairs);
        sums[1] = _mm256_maddubs_epi16(Interleaved(LoadPixels(p + 32)), pairs);
    };
    const AcrossThenDown<kCount, 2> rowsDown(rows, weights);
    const __m256i alpha = _mm256_set1_epi32(int32_t(0xFF000000u));
    int32_t o = 0;
    for (; o + 8 <= outWidth; o += 8) {
        __m256i total[2];
        rowsDown.Sum(2 * size_t(o), sumAcross, total);
        // Packed within halves: (o0 o1 o4 o5 | o2 o3 o6 o7).
        const __m256i packed = _mm256_packus_epi16(Divided(total[0], half, shift), Divided(total[1], half, shift));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * o),
                            _mm256_or_si256(_mm256_permute4x64_epi64(packed, 0xD8), alpha));
    }
    return o;
}

// Four pixels (p0 p1 p2 p3) to three across: 3 p0 + p1, 2 p1 + 2 p2,
// p2 + 3 p3, for twelve output pixels from sixteen of one row.
class FourToThreeAcross {
public:
    // Output pixels o0 to o11 from pixels p0 to p15 at p: (o0 o1 | o4 o5),
    // (o2 o3 | o6 o7) and (o8 o9 | o10 o11).
    void operator()(const uint8_t* p, __m256i* sums) const {
        const __m256i a = LoadPixels(p), b = LoadPixels(p + 32);
        const __m256i second = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(a, secondPixels),
                                                  _mm256_permutevar8x32_epi32(b, secondPixels), 0xF0);
        sums[0] = _mm256_maddubs_epi16(Interleaved(_mm256_permutevar8x32_epi32(a, firstPixels)), firstWeights);
        sums[1] = _mm256_maddubs_epi16(Interleaved(second), secondWeights);
        sums[2] = _mm256_maddubs_epi16(Interleaved(_mm256_permutevar8x32_epi32(b, thirdPixels)), thirdWeights);
    }

private:
    // The pixels each half of a register takes: (p0 p1 p1 p2 | p5 p6 p6 p7),
    // (p2 p3 p4 p5 | p8 p9 p9 p10) and (p10 p11 p12 p13 | p13 p14 p14 p15).
    const __m256i firstPixels = _mm256_setr_epi32(0, 1, 1, 2, 5, 6, 6, 7);
    const __m256i secondPixels = _mm256_setr_epi32(2, 3, 4, 5, 0, 1, 1, 2);
    const __m256i thirdPixels = _mm256_setr_epi32(2, 3, 4, 5, 5, 6, 6, 7);
    // Each output pixel's weights across: (3, 1), (2, 2) and (1, 3) in turn.
    const __m256i firstWeights = _mm256_setr_epi8(3, 1, 3, 1, 3, 1, 3, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                                  2, 1, 3, 1, 3, 1, 3, 1, 3);
    const __m256i secondWeights = _mm256_setr_epi8(1, 3, 1, 3, 1, 3, 1, 3, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1, 3,
                                                   1, 2, 2, 2, 2, 2, 2, 2, 2);
    const __m256i thirdWeights = _mm256_setr_epi8(1, 3, 1, 3, 1, 3, 1, 3, 3, 1, 3, 1, 3, 1, 3, 1, 2, 2, 2, 2, 2, 2, 2,
                                                  2, 1, 3, 1, 3, 1, 3, 1, 3);
};

// The twelve output pixels of FourToThreeAcross's sums, totalled, divided
// and stored at out.
class TwelvePixels {
public:
    explicit TwelvePixels(const AcrossPlan& across)
        : half(_mm256_set1_epi16(int16_t(across.half))), shift(_mm_cvtsi32_si128(across.shift)) {}
    void Store(const __m256i* total, uint8_t* out) const {
        const __m256i first = Divided(total[0], half, shift), second = Divided(total[1], half, shift);
        const __m256i third = Divided(total[2], half, shift);
        // (o0 o1 o2 o3 | o4 o5 o6 o7), and o8 to o11 from the halves of the
        // third.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_or_si256(_mm256_packus_epi16(first, second),
                                                                             _mm256_set1_epi32(int32_t(0xFF000000u))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32),
                         Pixels(_mm256_castsi256_si128(third), _mm256_extracti128_si256(third, 1)));
    }

private:
    __m256i half;
    __m128i shift;
};

// Twelve output pixels at a time of one output row from its kCount rows.
template <int kCount>
int32_t FourToThreeRatio(const uint8_t* const* rows, const int16_t* weights, const AcrossPlan& across, int32_t outWidth,
                         uint8_t* out) {
    const FourToThreeAcross sumAcross;
    const AcrossThenDown<kCount, 3> rowsDown(rows, weights);
    const TwelvePixels pixels(across);
    int32_t o = 0;
    for (; o + 12 <= outWidth; o += 12) {
        __m256i total[3];
        rowsDown.Sum(size_t(o / 3) * 4, sumAcross, total);
        pixels.Store(total, out + 4 * o);
    }
    return o;
}

// Output rows 3 r0 + r1, 2 r1 + 2 r2 and r2 + 3 r3 of rows r0 to r3 (each
// sum at most 16 x 255, so shifts and adds stay in 16 bits), each row
// summed across once for all three.
void FourRowsToThree(const uint8_t* const* rows, const AcrossPlan& across, int32_t outWidth, uint8_t* const* out) {
    const FourToThreeAcross sumAcross;
    const TwelvePixels pixels(across);
    // 3 a + b in each register.
    auto threeAndOne = [](const __m256i* a, const __m256i* b, __m256i* total) {
        for (int k = 0; k < 3; ++k)
            total[k] = _mm256_add_epi16(_mm256_add_epi16(_mm256_slli_epi16(a[k], 1), a[k]), b[k]);
    };
    for (int32_t o = 0; o + 12 <= outWidth; o += 12) {
        const size_t x = 4 * (size_t(o / 3) * 4);
        __m256i first[3], second[3], total[3];
        sumAcross(rows[0] + x, first);
        sumAcross(rows[1] + x, second);
        threeAndOne(first, second, total);
        pixels.Store(total, out[0] + 4 * o);
        sumAcross(rows[2] + x, first);
        for (int k = 0; k < 3; ++k)
            total[k] = _mm256_slli_epi16(_mm256_add_epi16(second[k], first[k]), 1);
        pixels.Store(total, out[1] + 4 * o);
        sumAcross(rows[3] + x, second);
        threeAndOne(second, first, total);
        pixels.Store(total, out[2] + 4 * o);
    }
}

template <int kCount>
int32_t RatioPixels(const uint8_t* const* rows, const int16_t* weights, const AcrossPlan& across, int32_t outWidth,
                    uint8_t* out) {
    if (across.periodOut == 3)
        return FourToThreeRatio<kCount>(rows, weights, across, outWidth, out);
    if (across.period == 2)
        return HalfRatio<kCount>(rows, weights, across, outWidth, out);
    return QuarterRatio(Rows<kCount>(rows, weights), across, outWidth, out);
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

int32_t Avx2FourRowsToThree(const uint8_t* const* rows, const AcrossPlan& across, int32_t outWidth,
                            uint8_t* const* out) {
    FourRowsToThree(rows, across, outWidth, out);
    return outWidth - outWidth % 12;
}
