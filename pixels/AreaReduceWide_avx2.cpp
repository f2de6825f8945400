// The 32-bit sums with AVX2 (AreaReduceWide.h). This file alone of the wide
// loops is compiled for AVX2, and it uses no inline function of another
// header: the linker keeps one copy of such a function for the whole
// program, and the AVX2 one could stand in for the SSE2 one.
#include "pixels/AreaReduceWide.h"

#include <immintrin.h>

#include <cstring>

namespace {

// The most rows of one weight that are added as bytes into 16-bit sums
// before they are multiplied: 128 x 255 is below 2^15, which pmaddwd takes
// as a signed word.
constexpr int kMostPlainRows = 128;

// The weight of a whole source row: inside an output row every source row
// that it covers whole has the same weight, the largest, and only the first
// and last may have less. Those rows are added as bytes and multiplied once
// together; the edge rows alone are multiplied on their own.
int16_t WholeWeight(const int16_t* weights, int count) {
    int16_t largest = 0;
    for (int t = 0; t < count; ++t)
        largest = weights[t] > largest ? weights[t] : largest;
    return largest;
}

// Sixteen bytes of a row as words.
inline __m256i Words(const uint8_t* row) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)));
}

// Each 32-bit total divided by the area: (total x
// magic) >> shift through the 64-bit products of the even and the odd
// lanes, as AreaReduceRows_sse2.cpp does with SSE2. magic (below 2^33) comes
// as its low 32 bits and, in high, all ones in each 64-bit lane where its
// bit 32 is set; every quotient is below 256.
inline __m256i Divided(__m256i total, __m256i magic, __m256i high, __m128i shift) {
    const __m256i low = _mm256_set1_epi64x(0xFFFFFFFF);
    const __m256i evenTotal = _mm256_and_si256(total, low), oddTotal = _mm256_srli_epi64(total, 32);
    const __m256i even =
        _mm256_add_epi64(_mm256_mul_epu32(evenTotal, magic), _mm256_and_si256(_mm256_slli_epi64(evenTotal, 32), high));
    const __m256i odd =
        _mm256_add_epi64(_mm256_mul_epu32(oddTotal, magic), _mm256_and_si256(_mm256_slli_epi64(oddTotal, 32), high));
    return _mm256_or_si256(_mm256_and_si256(_mm256_srl_epi64(even, shift), low),
                           _mm256_slli_epi64(_mm256_srl_epi64(odd, shift), 32));
}

// One output pixel's four totals (blue, green, red, alpha) before the half
// is added: two taps in each 256-bit step, each the four sums of a pixel
// times that pixel's weight. vpmulld keeps the low 32 bits of a product;
// the total is below 2^32, so the sum of those is the total itself.
inline __m128i Totals(const uint32_t* sums, const AcrossPlan& across, int32_t o) {
    const uint32_t* p = sums + 4 * size_t(across.first[o]);
    const uint32_t* w = across.weights + size_t(o) * size_t(across.taps);
    const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    __m256i total = _mm256_setzero_si256();
    for (int32_t t = 0; t < across.taps; t += 2) {
        const __m256i two = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * t));
        const __m256i weight = _mm256_permutevar8x32_epi32(
            _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + t))), spread);
        total = _mm256_add_epi32(total, _mm256_mullo_epi32(two, weight));
    }
    return _mm_add_epi32(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
}

} // namespace

size_t Avx2SumRowsDownWide(uint32_t* sums, const uint8_t* const* rows, const int16_t* weights, int count,
                           size_t bytes) {
    // The rows of the whole weight first, added as words; the rest after
    // them. Every weight is at most 32767, so pmaddwd reads none negative,
    // and its pairs' totals, whatever their sign bit, add up modulo 2^32 to
    // the sum, which is below 2^32.
    constexpr int kMostRows = 256;
    if (count < 1 || count > kMostRows)
        return 0;
    const uint8_t* plain[kMostRows];
    const uint8_t* edge[kMostRows + 1];
    int16_t edgeWeight[kMostRows + 1];
    const int16_t whole = WholeWeight(weights, count);
    int plainCount = 0, edgeCount = 0;
    for (int t = 0; t < count; ++t) {
        if (weights[t] == whole && plainCount < kMostPlainRows) {
            plain[plainCount++] = rows[t];
        } else {
            edge[edgeCount] = rows[t];
            edgeWeight[edgeCount++] = weights[t];
        }
    }
    // The plain sum pairs with the first edge row; a lone last edge row
    // pairs with a zero-weighted copy of itself.
    const __m256i first =
        _mm256_set1_epi32(int32_t(uint16_t(whole) | uint32_t(edgeCount > 0 ? uint16_t(edgeWeight[0]) : 0) << 16));
    if (edgeCount % 2 == 0 && edgeCount > 0) {
        edge[edgeCount] = edge[edgeCount - 1];
        edgeWeight[edgeCount] = 0;
    }
    const int pairs = edgeCount / 2; // of edge rows 1 on
    __m256i pairWeight[kMostRows / 2 + 1];
    for (int k = 0; k < pairs; ++k) {
        const uint16_t a = uint16_t(edgeWeight[2 * k + 1]);
        const uint16_t b = uint16_t(edgeWeight[2 * k + 2]);
        pairWeight[k] = _mm256_set1_epi32(int32_t(a | uint32_t(b) << 16));
    }
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        __m256i plainSum = _mm256_setzero_si256();
        for (int t = 0; t < plainCount; ++t)
            plainSum = _mm256_add_epi16(plainSum, Words(plain[t] + i));
        const __m256i partner = edgeCount > 0 ? Words(edge[0] + i) : _mm256_setzero_si256();
        // Words 0-3 and 8-11 in low, 4-7 and 12-15 in high.
        __m256i low = _mm256_madd_epi16(_mm256_unpacklo_epi16(plainSum, partner), first);
        __m256i high = _mm256_madd_epi16(_mm256_unpackhi_epi16(plainSum, partner), first);
        for (int k = 0; k < pairs; ++k) {
            const __m256i a = Words(edge[2 * k + 1] + i), b = Words(edge[2 * k + 2] + i);
            low = _mm256_add_epi32(low, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), pairWeight[k]));
            high = _mm256_add_epi32(high, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), pairWeight[k]));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i), _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i + 8), _mm256_permute2x128_si256(low, high, 0x31));
    }
    return i;
}

void Avx2SumRowAcrossWide(const uint32_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out) {
    const __m256i magic = _mm256_set1_epi32(int32_t(uint32_t(across.magic)));
    const __m256i high = (across.magic >> 32) != 0 ? _mm256_set1_epi32(-1) : _mm256_setzero_si256();
    const __m128i shift = _mm_cvtsi32_si128(across.shift);
    const __m256i half = _mm256_set1_epi32(int32_t(across.half));
    const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
    // Two output pixels at a time, one in each 128-bit half.
    int32_t o = 0;
    for (; o + 2 <= outWidth; o += 2) {
        const __m256i totals = _mm256_setr_m128i(Totals(sums, across, o), Totals(sums, across, o + 1));
        const __m256i divided = Divided(_mm256_add_epi32(totals, half), magic, high, shift);
        const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(divided), _mm256_extracti128_si256(divided, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * o), _mm_or_si128(_mm_packus_epi16(words, words), alpha));
    }
    if (o < outWidth) {
        const __m256i divided =
            Divided(_mm256_add_epi32(_mm256_zextsi128_si256(Totals(sums, across, o)), half), magic, high, shift);
        const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(divided), _mm256_castsi256_si128(divided));
        const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(_mm_or_si128(_mm_packus_epi16(words, words), alpha)));
        std::memcpy(out + 4 * o, &pixel, 4);
    }
}
