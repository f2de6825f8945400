// The vector passes sixty-four bytes (sixteen pixels) at a time with
// AVX-512: the F, BW, DQ and VL sets alone, which every AVX-512 processor
// has. This file alone is compiled for them; MixRuns_x86.cpp calls it only
// on a processor (and system) that runs them.
//
// AVX-512 compares give mask registers, not vectors; the passes want the
// SSE2 kind of compare (all ones or all zeros in each lane), so the masks
// are widened back to vectors, and the byte movemask is a mask register
// read out as 64 bits.
#include "pixels/MixRunsVector.h"
#include "pixels/MixRunsWideLanes.h"

// GCC 12's AVX-512 intrinsics start their "undefined" operands from
// themselves (__m512 __Y = __Y), which its uninitialised-use check then
// reports, at the header's lines, wherever they are inlined. No such value
// is read: those operands are the pass-through of lanes an all-ones mask
// writes. The check stays on for this file's own lines.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif

namespace {

// AVX-512's instructions under the names the passes use (MixRunsWalk.h,
// MixRunsWideLanes.h).
struct Avx512Steps {
    using Vec = __m512i;
    using Mask = uint64_t; // one bit per byte
    static constexpr size_t kBytes = 64;

    static Vec loadu(const uint8_t* p) { return _mm512_loadu_si512(p); }
    static void storeu(uint8_t* p, Vec v) { _mm512_storeu_si512(p, v); }
    static void prefetch(const uint8_t* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0); }
    static Vec setzero() { return _mm512_setzero_si512(); }
    static Vec set1_epi8(char v) { return _mm512_set1_epi8(v); }
    static Vec set1_epi16(int16_t v) { return _mm512_set1_epi16(v); }
    static Vec set1_epi32(int32_t v) { return _mm512_set1_epi32(v); }
    static Vec add_epi8(Vec a, Vec b) { return _mm512_add_epi8(a, b); }
    static Vec sub_epi8(Vec a, Vec b) { return _mm512_sub_epi8(a, b); }
    static Vec adds_epu8(Vec a, Vec b) { return _mm512_adds_epu8(a, b); }
    static Vec subs_epu8(Vec a, Vec b) { return _mm512_subs_epu8(a, b); }
    static Vec min_epu8(Vec a, Vec b) { return _mm512_min_epu8(a, b); }
    static Vec max_epu8(Vec a, Vec b) { return _mm512_max_epu8(a, b); }
    static Vec and_si(Vec a, Vec b) { return _mm512_and_si512(a, b); }
    static Vec andnot_si(Vec a, Vec b) { return _mm512_andnot_si512(a, b); }
    static Vec or_si(Vec a, Vec b) { return _mm512_or_si512(a, b); }
    static Vec xor_si(Vec a, Vec b) { return _mm512_xor_si512(a, b); }
    static Vec cmpeq_epi8(Vec a, Vec b) { return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(a, b)); }
    static Vec cmplt_epi8(Vec a, Vec b) { return _mm512_movm_epi8(_mm512_cmplt_epi8_mask(a, b)); }
    static Mask movemask_epi8(Vec a) { return Mask(_mm512_movepi8_mask(a)); }
    static Vec mullo_epi16(Vec a, Vec b) { return _mm512_mullo_epi16(a, b); }
    static Vec mulhi_epu16(Vec a, Vec b) { return _mm512_mulhi_epu16(a, b); }
    static Vec srli_epi16_7(Vec a) { return _mm512_srli_epi16(a, 7); }
    static Vec srli_epi32_7(Vec a) { return _mm512_srli_epi32(a, 7); }
    static Vec srli_epi32_24(Vec a) { return _mm512_srli_epi32(a, 24); }
    static Vec slli_epi32_16(Vec a) { return _mm512_slli_epi32(a, 16); }
    static Vec unpacklo_epi8(Vec a, Vec b) { return _mm512_unpacklo_epi8(a, b); }
    static Vec unpackhi_epi8(Vec a, Vec b) { return _mm512_unpackhi_epi8(a, b); }
    static Vec packus_epi16(Vec a, Vec b) { return _mm512_packus_epi16(a, b); }
    static Vec add_epi16(Vec a, Vec b) { return _mm512_add_epi16(a, b); }
    static Vec sub_epi16(Vec a, Vec b) { return _mm512_sub_epi16(a, b); }
    static Vec sub_epi32(Vec a, Vec b) { return _mm512_sub_epi32(a, b); }
    static Vec add_epi32(Vec a, Vec b) { return _mm512_add_epi32(a, b); }
    static Vec cmpgt_epi32(Vec a, Vec b) { return _mm512_movm_epi32(_mm512_cmpgt_epi32_mask(a, b)); }

    using Flt = __m512;
    static Flt set1_ps(float v) { return _mm512_set1_ps(v); }
    static Flt cvtepi32_ps(Vec a) { return _mm512_cvtepi32_ps(a); }
    static Vec cvttps_epi32(Flt a) { return _mm512_cvttps_epi32(a); }
    static Flt sub_ps(Flt a, Flt b) { return _mm512_sub_ps(a, b); }
    static Flt mul_ps(Flt a, Flt b) { return _mm512_mul_ps(a, b); }
    static Flt div_ps(Flt a, Flt b) { return _mm512_div_ps(a, b); }
    static Flt min_ps(Flt a, Flt b) { return _mm512_min_ps(a, b); }
    static Flt max_ps(Flt a, Flt b) { return _mm512_max_ps(a, b); }
    static Flt add_ps(Flt a, Flt b) { return _mm512_add_ps(a, b); }
    static Flt or_ps(Flt a, Flt b) { return _mm512_or_ps(a, b); }
    static uint32_t movemask_ps(Flt a) { return uint32_t(_mm512_movepi32_mask(_mm512_castps_si512(a))); }
    static Flt and_ps(Flt a, Flt b) { return _mm512_and_ps(a, b); }
    static Flt xor_ps(Flt a, Flt b) { return _mm512_xor_ps(a, b); }
    static Flt cmpngt_ps(Flt a, Flt b) {
        return _mm512_castsi512_ps(_mm512_movm_epi32(_mm512_cmp_ps_mask(a, b, _CMP_NGT_UQ)));
    }
    static Flt cmpnlt_ps(Flt a, Flt b) {
        return _mm512_castsi512_ps(_mm512_movm_epi32(_mm512_cmp_ps_mask(a, b, _CMP_NLT_UQ)));
    }

    // The steps of MixRunsWideLanes.h.
    static Vec RepeatLanes(const LaneBytes& lane) {
        return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lane.bytes)));
    }
    static Vec shuffle_epi8(Vec a, Vec order) { return _mm512_shuffle_epi8(a, order); }
    static Vec packs_epi32(Vec a, Vec b) { return _mm512_packs_epi32(a, b); }
    static Vec cvtepu8_epi32(__m128i a) { return _mm512_cvtepu8_epi32(a); }
    // Weight bytes 16g to 16g + 15: the register's 16-byte lane g.
    template <int g> static __m128i WeightBytes(Vec w) { return _mm512_extracti32x4_epi32(w, g); }
    static Vec set1_epi64(int64_t v) { return _mm512_set1_epi64(v); }
    static Vec add_epi64(Vec a, Vec b) { return _mm512_add_epi64(a, b); }
    static Vec mul_epu32(Vec a, Vec b) { return _mm512_mul_epu32(a, b); }
    static Vec srli_epi64_32(Vec a) { return _mm512_srli_epi64(a, 32); }
    using Dbl = __m512d;
    using Half = __m256;
    static Dbl castsi_pd(Vec a) { return _mm512_castsi512_pd(a); }
    static Dbl set1_pd(double v) { return _mm512_set1_pd(v); }
    static Dbl sub_pd(Dbl a, Dbl b) { return _mm512_sub_pd(a, b); }
    static Dbl mul_pd(Dbl a, Dbl b) { return _mm512_mul_pd(a, b); }
    static Half cvtpd_ps(Dbl a) { return _mm512_cvtpd_ps(a); }
    // Float k of the result is float k / 2 of even or of odd (index bit 4).
    static Flt InterleaveFloats(Half even, Half odd) {
        const Vec interleave = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
        return _mm512_permutex2var_ps(_mm512_castps256_ps512(even), interleave, _mm512_castps256_ps512(odd));
    }
};

// The lanes of the passes: the shared steps, and this width's own picks.
struct Avx512Lanes : WideLanes<Avx512Steps> {
    // The HCY passes' channel bytes, by shift and mask: there the shuffle
    // port is busier (the table picks), and this measured faster (Saturation
    // by a sixth), while the formulas' divisions are faster with shuffles.
    template <int k> static Vec ChannelOfPixels(Vec pixels) {
        const Vec low = k == 0 ? pixels : _mm512_srli_epi32(pixels, 8 * k);
        return _mm512_and_si512(low, _mm512_set1_epi32(0xFF));
    }

    static constexpr bool kPermutes = true; // vpermps picks from sixteen floats
    // row[index] for each lane, index 0 to n - 1 (rows are padded to eight).
    // The row fills both halves, so the pick uses the index's low three bits
    // as the AVX2 one does.
    template <int n> static Flt PickOf(const float* row, Vec index) {
        return _mm512_permutexvar_ps(index, _mm512_broadcast_f32x8(_mm256_loadu_ps(row)));
    }
};

} // namespace

MixRunPasses Avx512MixRunPasses() {
    return VectorPasses<Avx512Lanes>::Passes("AVX-512");
}
