// The byte-run passes sixteen bytes (four pixels) at a time with SSE2, which
// every x86-64 processor has. Each step is the scalar formula lane by lane:
// products of two bytes and DivideBy255 fit 16-bit lanes exactly. The tail
// of a run goes through the scalar passes.
#include "decode/MixRuns.h"

#include "decode/MixRunsScalar.h"

#include <emmintrin.h>

namespace {

inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// (x + 1 + (x >> 8)) >> 8 in each 16-bit lane; x <= 65 025 keeps the sum
// below 2^16.
inline __m128i DivideBy255x8(__m128i x) {
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8));
    return _mm_srli_epi16(sum, 8);
}

// DivideBy255(a[k] * b[k]) for sixteen byte pairs.
inline __m128i ScaledBytes(__m128i a, __m128i b) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = DivideBy255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)));
    const __m128i high = DivideBy255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)));
    return _mm_packus_epi16(low, high);
}

inline __m128i OpacityLanes(uint8_t opacity) {
    return _mm_set1_epi16(int16_t(opacity > kFullOpacity ? kFullOpacity : opacity));
}

// Four 16-bit weights (in the low halves of 32-bit lanes) as weight words:
// bytes w, w, w, 0.
inline __m128i WeightWords(__m128i w32) {
    return _mm_or_si128(w32, _mm_or_si128(_mm_slli_epi32(w32, 8), _mm_slli_epi32(w32, 16)));
}

} // namespace

void AlphaWeights(const uint8_t* pixels, size_t count, uint8_t opacity, uint8_t* weights) {
    // In 32-bit lanes the alpha sits in the low 16 bits and the high 16 are
    // zero, so a 16-bit multiply by the opacity leaves the high halves zero.
    const __m128i o = OpacityLanes(opacity);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i alpha = _mm_srli_epi32(Load(pixels + 4 * i), 24);
        Store(weights + 4 * i, WeightWords(_mm_srli_epi32(_mm_mullo_epi16(alpha, o), 7)));
    }
    scalar::AlphaWeights(pixels + 4 * i, count - i, opacity, weights + 4 * i);
}

void CoverageWeights(const uint8_t* coverage, size_t count, uint8_t opacity, uint8_t* weights) {
    const __m128i o = OpacityLanes(opacity);
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i c = Load(coverage + i);
        const __m128i halves[2] = {_mm_unpacklo_epi8(c, zero), _mm_unpackhi_epi8(c, zero)};
        for (int h = 0; h < 2; ++h) {
            const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(halves[h], o), 7); // 8 weights
            const __m128i pairs = _mm_or_si128(w, _mm_slli_epi16(w, 8));        // bytes w, w
            uint8_t* out = weights + 4 * (i + 8 * size_t(h));
            Store(out, _mm_unpacklo_epi16(pairs, w)); // bytes w, w, w, 0
            Store(out + 16, _mm_unpackhi_epi16(pairs, w));
        }
    }
    scalar::CoverageWeights(coverage + i, count - i, opacity, weights + 4 * i);
}

void MixBytes(uint8_t* target, const uint8_t* blended, const uint8_t* weights, size_t count) {
    size_t k = 0;
    for (; k + 16 <= count; k += 16) {
        const __m128i t = Load(target + k), f = Load(blended + k);
        const __m128i high = _mm_max_epu8(t, f);
        const __m128i step = ScaledBytes(_mm_sub_epi8(high, _mm_min_epu8(t, f)), Load(weights + k));
        // Towards a larger value the step is added, towards a smaller one taken off.
        const __m128i up = _mm_cmpeq_epi8(high, f);
        const __m128i mixed =
            _mm_or_si128(_mm_and_si128(up, _mm_add_epi8(t, step)), _mm_andnot_si128(up, _mm_sub_epi8(t, step)));
        Store(target + k, mixed);
    }
    scalar::MixBytes(target + k, blended + k, weights + k, count - k);
}

void AddBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count) {
    size_t k = 0;
    for (; k + 16 <= count; k += 16)
        Store(target + k, _mm_adds_epu8(Load(target + k), ScaledBytes(Load(layer + k), Load(weights + k))));
    scalar::AddBytes(target + k, layer + k, weights + k, count - k);
}

void SubtractBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count) {
    size_t k = 0;
    for (; k + 16 <= count; k += 16)
        Store(target + k, _mm_subs_epu8(Load(target + k), ScaledBytes(Load(layer + k), Load(weights + k))));
    scalar::SubtractBytes(target + k, layer + k, weights + k, count - k);
}
