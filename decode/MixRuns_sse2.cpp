// The vector passes sixteen bytes (four pixels) at a time with SSE2, which
// every x86-64 processor has.
#include "decode/MixRunsVector.h"

#include <emmintrin.h>
#include <xmmintrin.h>

namespace {

struct Sse2Lanes {
    using Vec = __m128i;
    static constexpr size_t kBytes = 16;

    static Vec loadu(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void storeu(uint8_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static void prefetch(const uint8_t* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0); }
    static Vec setzero() { return _mm_setzero_si128(); }
    static Vec set1_epi8(char v) { return _mm_set1_epi8(v); }
    static Vec set1_epi16(int16_t v) { return _mm_set1_epi16(v); }
    static Vec set1_epi32(int32_t v) { return _mm_set1_epi32(v); }
    static Vec add_epi8(Vec a, Vec b) { return _mm_add_epi8(a, b); }
    static Vec sub_epi8(Vec a, Vec b) { return _mm_sub_epi8(a, b); }
    static Vec adds_epu8(Vec a, Vec b) { return _mm_adds_epu8(a, b); }
    static Vec subs_epu8(Vec a, Vec b) { return _mm_subs_epu8(a, b); }
    static Vec min_epu8(Vec a, Vec b) { return _mm_min_epu8(a, b); }
    static Vec max_epu8(Vec a, Vec b) { return _mm_max_epu8(a, b); }
    static Vec and_si(Vec a, Vec b) { return _mm_and_si128(a, b); }
    static Vec andnot_si(Vec a, Vec b) { return _mm_andnot_si128(a, b); }
    static Vec or_si(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static Vec xor_si(Vec a, Vec b) { return _mm_xor_si128(a, b); }
    static Vec cmpeq_epi8(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
    static Vec cmplt_epi8(Vec a, Vec b) { return _mm_cmplt_epi8(a, b); }
    static uint32_t movemask_epi8(Vec a) { return uint32_t(_mm_movemask_epi8(a)); }
    static Vec mullo_epi16(Vec a, Vec b) { return _mm_mullo_epi16(a, b); }
    static Vec mulhi_epu16(Vec a, Vec b) { return _mm_mulhi_epu16(a, b); }
    static Vec srli_epi16_7(Vec a) { return _mm_srli_epi16(a, 7); }
    static Vec srli_epi32_7(Vec a) { return _mm_srli_epi32(a, 7); }
    static Vec srli_epi32_24(Vec a) { return _mm_srli_epi32(a, 24); }
    static Vec slli_epi32_16(Vec a) { return _mm_slli_epi32(a, 16); }
    static Vec unpacklo_epi8(Vec a, Vec b) { return _mm_unpacklo_epi8(a, b); }
    static Vec unpackhi_epi8(Vec a, Vec b) { return _mm_unpackhi_epi8(a, b); }
    static Vec packus_epi16(Vec a, Vec b) { return _mm_packus_epi16(a, b); }

    // Weight bytes 4g to 4g + 3 of w as the weight words (w, w, w, 0) of
    // four pixels.
    template <int g> static Vec CoverageWeightWords(Vec w) {
        const Vec pairs = g < 2 ? _mm_unpacklo_epi8(w, w) : _mm_unpackhi_epi8(w, w);
        const Vec quads = g % 2 == 0 ? _mm_unpacklo_epi16(pairs, pairs) : _mm_unpackhi_epi16(pairs, pairs);
        return _mm_and_si128(quads, _mm_set1_epi32(0x00FFFFFF));
    }
};

} // namespace

MixRunPasses Sse2MixRunPasses() {
    return VectorPasses<Sse2Lanes>::Passes("SSE2");
}
