// The vector passes thirty-two bytes (eight pixels) at a time with AVX2.
// This file alone is compiled for AVX2; MixRuns_x86.cpp calls it only on a
// processor (and system) that runs AVX2.
#include "decode/MixRunsVector.h"

#include <immintrin.h>

namespace {

struct Avx2Lanes {
    using Vec = __m256i;
    using Mask = uint32_t; // movemask bits, one per byte
    static constexpr size_t kBytes = 32;

    static Vec loadu(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void storeu(uint8_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static void prefetch(const uint8_t* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0); }
    static Vec setzero() { return _mm256_setzero_si256(); }
    static Vec set1_epi8(char v) { return _mm256_set1_epi8(v); }
    static Vec set1_epi16(int16_t v) { return _mm256_set1_epi16(v); }
    static Vec set1_epi32(int32_t v) { return _mm256_set1_epi32(v); }
    static Vec add_epi8(Vec a, Vec b) { return _mm256_add_epi8(a, b); }
    static Vec sub_epi8(Vec a, Vec b) { return _mm256_sub_epi8(a, b); }
    static Vec adds_epu8(Vec a, Vec b) { return _mm256_adds_epu8(a, b); }
    static Vec subs_epu8(Vec a, Vec b) { return _mm256_subs_epu8(a, b); }
    static Vec min_epu8(Vec a, Vec b) { return _mm256_min_epu8(a, b); }
    static Vec max_epu8(Vec a, Vec b) { return _mm256_max_epu8(a, b); }
    static Vec and_si(Vec a, Vec b) { return _mm256_and_si256(a, b); }
    static Vec andnot_si(Vec a, Vec b) { return _mm256_andnot_si256(a, b); }
    static Vec or_si(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    static Vec xor_si(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
    static Vec cmpeq_epi8(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
    static Vec cmplt_epi8(Vec a, Vec b) { return _mm256_cmpgt_epi8(b, a); }
    static Mask movemask_epi8(Vec a) { return Mask(_mm256_movemask_epi8(a)); }
    static Vec mullo_epi16(Vec a, Vec b) { return _mm256_mullo_epi16(a, b); }
    static Vec mulhi_epu16(Vec a, Vec b) { return _mm256_mulhi_epu16(a, b); }
    static Vec srli_epi16_7(Vec a) { return _mm256_srli_epi16(a, 7); }
    static Vec srli_epi32_7(Vec a) { return _mm256_srli_epi32(a, 7); }
    static Vec srli_epi32_24(Vec a) { return _mm256_srli_epi32(a, 24); }
    static Vec slli_epi32_16(Vec a) { return _mm256_slli_epi32(a, 16); }
    static Vec unpacklo_epi8(Vec a, Vec b) { return _mm256_unpacklo_epi8(a, b); }
    static Vec unpackhi_epi8(Vec a, Vec b) { return _mm256_unpackhi_epi8(a, b); }
    static Vec packus_epi16(Vec a, Vec b) { return _mm256_packus_epi16(a, b); }
    static Vec add_epi16(Vec a, Vec b) { return _mm256_add_epi16(a, b); }
    static Vec sub_epi16(Vec a, Vec b) { return _mm256_sub_epi16(a, b); }
    static Vec sub_epi32(Vec a, Vec b) { return _mm256_sub_epi32(a, b); }
    static Vec add_epi32(Vec a, Vec b) { return _mm256_add_epi32(a, b); }
    static Vec cmpgt_epi32(Vec a, Vec b) { return _mm256_cmpgt_epi32(a, b); }

    using Flt = __m256;
    static constexpr bool kPermutes = true; // vpermps picks from eight floats
    static Flt set1_ps(float v) { return _mm256_set1_ps(v); }
    static Flt cvtepi32_ps(Vec a) { return _mm256_cvtepi32_ps(a); }
    static Vec cvttps_epi32(Flt a) { return _mm256_cvttps_epi32(a); }
    static Flt sub_ps(Flt a, Flt b) { return _mm256_sub_ps(a, b); }
    static Flt mul_ps(Flt a, Flt b) { return _mm256_mul_ps(a, b); }
    static Flt div_ps(Flt a, Flt b) { return _mm256_div_ps(a, b); }
    static Flt min_ps(Flt a, Flt b) { return _mm256_min_ps(a, b); }
    static Flt max_ps(Flt a, Flt b) { return _mm256_max_ps(a, b); }
    static Flt add_ps(Flt a, Flt b) { return _mm256_add_ps(a, b); }
    static Flt or_ps(Flt a, Flt b) { return _mm256_or_ps(a, b); }
    static uint32_t movemask_ps(Flt a) { return uint32_t(_mm256_movemask_ps(a)); }
    static Flt and_ps(Flt a, Flt b) { return _mm256_and_ps(a, b); }
    static Flt xor_ps(Flt a, Flt b) { return _mm256_xor_ps(a, b); }
    static Flt cmpngt_ps(Flt a, Flt b) { return _mm256_cmp_ps(a, b, _CMP_NGT_UQ); }
    static Flt cmpnlt_ps(Flt a, Flt b) { return _mm256_cmp_ps(a, b, _CMP_NLT_UQ); }
    // Pixels (blue, green, red, 0) of channel values in 32-bit lanes, each
    // clamped to 0 to 255 by the saturating packs (a negative value gives 0):
    // each 128-bit half packs to blues, greens, reds, reds, which one
    // shuffle interleaves.
    static Vec PixelsOf(Vec blue, Vec green, Vec red) {
        const Vec bytes = _mm256_packus_epi16(_mm256_packs_epi32(blue, green), _mm256_packs_epi32(red, red));
        const Vec order = _mm256_setr_epi8(0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1, //
                                           0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1);
        return _mm256_shuffle_epi8(bytes, order);
    }

    // Byte k of each pixel, zero-extended to its 32-bit lane.
    template <int k> static Vec ByteOfPixels(Vec pixels) {
        const Vec order = _mm256_setr_epi8(k, -1, -1, -1, k + 4, -1, -1, -1, k + 8, -1, -1, -1, k + 12, -1, -1, -1, //
                                           k, -1, -1, -1, k + 4, -1, -1, -1, k + 8, -1, -1, -1, k + 12, -1, -1, -1);
        return _mm256_shuffle_epi8(pixels, order);
    }

    template <int k> static Vec ChannelOfPixels(Vec pixels) { return ByteOfPixels<k>(pixels); }

    // row[index] for each lane, index 0 to n - 1 (rows are padded to eight).
    template <int n> static Flt PickOf(const float* row, Vec index) {
        return _mm256_permutevar8x32_ps(_mm256_loadu_ps(row), index);
    }

    // float(kLumaRed x red + kLumaGreen x green + kLumaBlue x blue) x 1/255
    // rounded once, in double precision. The sum is exact there: each
    // coefficient is a whole number of 2^-27, so the sum is red x R +
    // green x G + blue x B (below 2^36) times 2^-27, R, G and B being the
    // coefficients times 2^27. That whole number is made in 64-bit integer
    // lanes (even pixels, then odd ones), becomes a double by the 2^52 trick
    // (its bits under the exponent of 2^52, then 2^52 taken off: exact below
    // 2^52) and is multiplied by 1/255 x 2^-27, which rounds as the sum times
    // 1/255 does. Cheaper than widening each channel to doubles.
    static Flt LumaOfBytes(Vec red, Vec green, Vec blue) {
        const Vec r27 = _mm256_set1_epi64x(kLumaRed27), g27 = _mm256_set1_epi64x(kLumaGreen27);
        const Vec b27 = _mm256_set1_epi64x(kLumaBlue27);
        const Vec exponent = _mm256_castpd_si256(_mm256_set1_pd(0x1p52));
        auto four = [&](Vec r, Vec g, Vec b) { // the pixels in the low halves of the 64-bit lanes
            const Vec sum = _mm256_add_epi64(_mm256_add_epi64(_mm256_mul_epu32(r, r27), _mm256_mul_epu32(g, g27)),
                                             _mm256_mul_epu32(b, b27));
            const __m256d whole =
                _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(sum, exponent)), _mm256_set1_pd(0x1p52));
            return _mm256_cvtpd_ps(_mm256_mul_pd(whole, _mm256_set1_pd(double(kHcyInv255) * 0x1p-27)));
        };
        const __m128 even = four(red, green, blue);
        const __m128 odd = four(_mm256_srli_epi64(red, 32), _mm256_srli_epi64(green, 32), _mm256_srli_epi64(blue, 32));
        return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_unpacklo_ps(even, odd)), _mm_unpackhi_ps(even, odd), 1);
    }

    // Weight bytes 8g to 8g + 7 of w as the weight words (w, w, w, 0) of
    // eight pixels. The pixels' halves are the register's two 128-bit lanes,
    // so the bytes are widened across lanes first, then copied within each
    // pixel.
    template <int g> static Vec CoverageWeightWords(Vec w) {
        const __m128i half = g < 2 ? _mm256_castsi256_si128(w) : _mm256_extracti128_si256(w, 1);
        const __m128i eight = g % 2 == 0 ? half : _mm_srli_si128(half, 8);
        const Vec words = _mm256_cvtepu8_epi32(eight);
        const Vec spread = _mm256_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1, //
                                            0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1);
        return _mm256_shuffle_epi8(words, spread);
    }
};

} // namespace

MixRunPasses Avx2MixRunPasses() {
    return VectorPasses<Avx2Lanes>::Passes("AVX2");
}
