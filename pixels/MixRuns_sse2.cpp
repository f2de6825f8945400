// The vector passes sixteen bytes (four pixels) at a time with SSE2, which
// every x86-64 processor has.
#include "pixels/MixRunsVector.h"

#include <emmintrin.h>
#include <xmmintrin.h>

namespace {

struct Sse2Lanes {
    using Vec = __m128i;
    using Mask = uint32_t; // movemask bits, one per byte
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
    static Mask movemask_epi8(Vec a) { return Mask(_mm_movemask_epi8(a)); }
    static Vec mullo_epi16(Vec a, Vec b) { return _mm_mullo_epi16(a, b); }
    static Vec mulhi_epu16(Vec a, Vec b) { return _mm_mulhi_epu16(a, b); }
    static Vec srli_epi16_7(Vec a) { return _mm_srli_epi16(a, 7); }
    static Vec srli_epi32_7(Vec a) { return _mm_srli_epi32(a, 7); }
    static Vec srli_epi32_24(Vec a) { return _mm_srli_epi32(a, 24); }
    static Vec slli_epi32_16(Vec a) { return _mm_slli_epi32(a, 16); }
    static Vec unpacklo_epi8(Vec a, Vec b) { return _mm_unpacklo_epi8(a, b); }
    static Vec unpackhi_epi8(Vec a, Vec b) { return _mm_unpackhi_epi8(a, b); }
    static Vec packus_epi16(Vec a, Vec b) { return _mm_packus_epi16(a, b); }
    static Vec add_epi16(Vec a, Vec b) { return _mm_add_epi16(a, b); }
    static Vec sub_epi16(Vec a, Vec b) { return _mm_sub_epi16(a, b); }
    static Vec sub_epi32(Vec a, Vec b) { return _mm_sub_epi32(a, b); }
    static Vec add_epi32(Vec a, Vec b) { return _mm_add_epi32(a, b); }
    static Vec cmpgt_epi32(Vec a, Vec b) { return _mm_cmpgt_epi32(a, b); }

    using Flt = __m128;
    static constexpr bool kPermutes = false; // no variable shuffle of floats
    static Flt castsi_ps(Vec a) { return _mm_castsi128_ps(a); }
    static Flt and_ps(Flt a, Flt b) { return _mm_and_ps(a, b); }
    static Flt set1_ps(float v) { return _mm_set1_ps(v); }
    static Flt cvtepi32_ps(Vec a) { return _mm_cvtepi32_ps(a); }
    static Vec cvttps_epi32(Flt a) { return _mm_cvttps_epi32(a); }
    static Flt sub_ps(Flt a, Flt b) { return _mm_sub_ps(a, b); }
    static Flt mul_ps(Flt a, Flt b) { return _mm_mul_ps(a, b); }
    static Flt div_ps(Flt a, Flt b) { return _mm_div_ps(a, b); }
    static Flt min_ps(Flt a, Flt b) { return _mm_min_ps(a, b); }
    static Flt max_ps(Flt a, Flt b) { return _mm_max_ps(a, b); }
    static Flt add_ps(Flt a, Flt b) { return _mm_add_ps(a, b); }
    static Flt or_ps(Flt a, Flt b) { return _mm_or_ps(a, b); }
    static uint32_t movemask_ps(Flt a) { return uint32_t(_mm_movemask_ps(a)); }
    static Flt xor_ps(Flt a, Flt b) { return _mm_xor_ps(a, b); }
    static Flt cmpngt_ps(Flt a, Flt b) { return _mm_cmpngt_ps(a, b); }
    static Flt cmpnlt_ps(Flt a, Flt b) { return _mm_cmpnlt_ps(a, b); }
    // Pixels (blue, green, red, 0) of channel values in 32-bit lanes, each
    // clamped to 0 to 255 by the saturating packs (a negative value gives 0).
    static Vec PixelsOf(Vec blue, Vec green, Vec red) {
        const Vec blueRed = _mm_packs_epi32(blue, red), greenZero = _mm_packs_epi32(green, _mm_setzero_si128());
        const Vec blueGreen = _mm_unpacklo_epi16(blueRed, greenZero), redZero = _mm_unpackhi_epi16(blueRed, greenZero);
        return _mm_packus_epi16(_mm_unpacklo_epi32(blueGreen, redZero), _mm_unpackhi_epi32(blueGreen, redZero));
    }

    // Byte k of each pixel, zero-extended to its 32-bit lane.
    template <int k> static Vec ByteOfPixels(Vec pixels) {
        return _mm_and_si128(_mm_srli_epi32(pixels, 8 * k), _mm_set1_epi32(0xFF));
    }

    template <int k> static Vec ChannelOfPixels(Vec pixels) { return ByteOfPixels<k>(pixels); }

    // row[index] for each lane, index 0 to n - 1: one mask per entry, as
    // SSE2 has no variable shuffle of floats.
    template <int n> static Flt PickOf(const float* row, Vec index) {
        Flt out = _mm_set1_ps(row[0]);
        for (int k = 1; k < n; ++k) {
            const Flt here = _mm_castsi128_ps(_mm_cmpeq_epi32(index, _mm_set1_epi32(k)));
            out = _mm_or_ps(_mm_andnot_ps(here, out), _mm_and_ps(here, _mm_set1_ps(row[k])));
        }
        return out;
    }

    // float(kLumaRed x red + kLumaGreen x green + kLumaBlue x blue) x 1/255
    // rounded once, in double precision: two pixels per register.
    static Flt LumaOfBytes(Vec red, Vec green, Vec blue) {
        const __m128d inv255 = _mm_set1_pd(double(kHcyInv255));
        auto two = [&](Vec r, Vec g, Vec b) {
            const __m128d sum = _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(r), _mm_set1_pd(kLumaRed)),
                                                      _mm_mul_pd(_mm_cvtepi32_pd(g), _mm_set1_pd(kLumaGreen))),
                                           _mm_mul_pd(_mm_cvtepi32_pd(b), _mm_set1_pd(kLumaBlue)));
            return _mm_cvtpd_ps(_mm_mul_pd(sum, inv255));
        };
        const Flt low = two(red, green, blue);
        const Flt high =
            two(_mm_unpackhi_epi64(red, red), _mm_unpackhi_epi64(green, green), _mm_unpackhi_epi64(blue, blue));
        return _mm_movelh_ps(low, high);
    }

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
