// The vector passes thirty-two bytes (eight pixels) at a time with AVX2.
// This file alone is compiled for AVX2; MixRuns_x86.cpp calls it only on a
// processor (and system) that runs AVX2.
#include "pixels/MixRunsVector.h"
#include "pixels/MixRunsWideLanes.h"

#include <immintrin.h>

namespace {

// AVX2's instructions under the names the passes use (MixRunsWalk.h,
// MixRunsWideLanes.h).
struct Avx2Steps {
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

    // The steps of MixRunsWideLanes.h.
    static Vec RepeatLanes(const LaneBytes& lane) {
        const int8_t* b = lane.bytes;
        return _mm256_setr_epi8(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                                b[14], b[15], b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11],
                                b[12], b[13], b[14], b[15]);
    }
    static Vec shuffle_epi8(Vec a, Vec order) { return _mm256_shuffle_epi8(a, order); }
    static Vec packs_epi32(Vec a, Vec b) { return _mm256_packs_epi32(a, b); }
    static Vec cvtepu8_epi32(__m128i a) { return _mm256_cvtepu8_epi32(a); }
    // Weight bytes 8g to 8g + 7. The pixels' halves are the register's two
    // 16-byte lanes, so the bytes are taken across lanes.
    template <int g> static __m128i WeightBytes(Vec w) {
        const __m128i half = g < 2 ? _mm256_castsi256_si128(w) : _mm256_extracti128_si256(w, 1);
        return g % 2 == 0 ? half : _mm_srli_si128(half, 8);
    }
    static Vec set1_epi64(int64_t v) { return _mm256_set1_epi64x(v); }
    static Vec add_epi64(Vec a, Vec b) { return _mm256_add_epi64(a, b); }
    static Vec mul_epu32(Vec a, Vec b) { return _mm256_mul_epu32(a, b); }
    static Vec srli_epi64_32(Vec a) { return _mm256_srli_epi64(a, 32); }
    using Dbl = __m256d;
    using Half = __m128;
    static Dbl castsi_pd(Vec a) { return _mm256_castsi256_pd(a); }
    static Dbl set1_pd(double v) { return _mm256_set1_pd(v); }
    static Dbl sub_pd(Dbl a, Dbl b) { return _mm256_sub_pd(a, b); }
    static Dbl mul_pd(Dbl a, Dbl b) { return _mm256_mul_pd(a, b); }
    static Half cvtpd_ps(Dbl a) { return _mm256_cvtpd_ps(a); }
    static Flt InterleaveFloats(Half even, Half odd) {
        return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_unpacklo_ps(even, odd)), _mm_unpackhi_ps(even, odd), 1);
    }
};

// The lanes of the passes: the shared steps, and this width's own picks.
struct Avx2Lanes : WideLanes<Avx2Steps> {
    // The HCY passes' channels, by the formulas' shuffle.
    template <int k> static Vec ChannelOfPixels(Vec pixels) { return ByteOfPixels<k>(pixels); }

    static constexpr bool kPermutes = true; // vpermps picks from eight floats
    // row[index] for each lane, index 0 to n - 1 (rows are padded to eight).
    template <int n> static Flt PickOf(const float* row, Vec index) {
        return _mm256_permutevar8x32_ps(_mm256_loadu_ps(row), index);
    }
};

} // namespace

MixRunPasses Avx2MixRunPasses() {
    return VectorPasses<Avx2Lanes>::Passes("AVX2");
}
