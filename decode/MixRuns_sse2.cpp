// The passes sixteen bytes (four pixels) at a time with SSE2, which
// every x86-64 processor has. Each step is the scalar formula lane by lane:
// products of two bytes and DivideBy255 fit 16-bit lanes exactly. The tail
// of a run goes through the scalar passes.
#include "decode/MixRuns.h"

#include "decode/BlendModes.h"
#include "decode/BlendTable.h"
#include "decode/MixRunsScalar.h"

#include <cstring>
#include <emmintrin.h>
#include <xmmintrin.h>
#include <utility>

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

// The weights of four layer pixels, as bytes w, w, w, 0. In 32-bit lanes the
// alpha sits in the low 16 bits and the high 16 are zero, so a 16-bit
// multiply by the opacity leaves the high halves zero.
inline __m128i AlphaWeights(__m128i pixels, __m128i opacity) {
    const __m128i alpha = _mm_srli_epi32(pixels, 24);
    return WeightWords(_mm_srli_epi32(_mm_mullo_epi16(alpha, opacity), 7));
}

// MixChannel for sixteen bytes.
inline __m128i Mixed(__m128i t, __m128i f, __m128i weights) {
    const __m128i high = _mm_max_epu8(t, f);
    const __m128i step = ScaledBytes(_mm_sub_epi8(high, _mm_min_epu8(t, f)), weights);
    // Towards a larger value the step is added, towards a smaller one taken off.
    const __m128i up = _mm_cmpeq_epi8(high, f);
    return _mm_or_si128(_mm_and_si128(up, _mm_add_epi8(t, step)), _mm_andnot_si128(up, _mm_sub_epi8(t, step)));
}

// The blend formulas, sixteen bytes at a time (d the picture, s the layer).
enum class Formula { Multiply, Screen, Overlay, HardLight, LinearBurn, Difference, Lighten, Darken };

// d x s >> 7 below the threshold, 255 - ((255 - d) x (255 - s) >> 7) from it
// on; `decider` is the byte compared with 128 (d for Overlay, s for Hard
// light). Both halves stay below 2^16 and their results below 256.
inline __m128i Overlaid(__m128i d, __m128i s, __m128i decider) {
    const __m128i zero = _mm_setzero_si128(), all = _mm_set1_epi8(-1);
    const __m128i nd = _mm_sub_epi8(all, d), ns = _mm_sub_epi8(all, s);
    auto half = [&](__m128i (*unpack)(__m128i, __m128i)) {
        const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(unpack(d, zero), unpack(s, zero)), 7);
        const __m128i high = _mm_srli_epi16(_mm_mullo_epi16(unpack(nd, zero), unpack(ns, zero)), 7);
        return std::make_pair(low, high);
    };
    const auto lo = half(_mm_unpacklo_epi8), hi = half(_mm_unpackhi_epi8);
    const __m128i below = _mm_packus_epi16(lo.first, hi.first);
    const __m128i above = _mm_sub_epi8(all, _mm_packus_epi16(lo.second, hi.second));
    // Bytes of 128 and more have their top bit set: signed, they are negative.
    const __m128i upper = _mm_cmplt_epi8(decider, zero);
    return _mm_or_si128(_mm_and_si128(upper, above), _mm_andnot_si128(upper, below));
}

constexpr uint8_t FormulaCode(Formula f) {
    constexpr uint8_t codes[] = {kBlendMultiply,   kBlendScreen,     kBlendOverlay, kBlendHardLight,
                                 kBlendLinearBurn, kBlendDifference, kBlendLighten, kBlendDarken};
    return codes[int(f)];
}

template <Formula F> inline __m128i Blended(__m128i d, __m128i s) {
    switch (F) {
    case Formula::Multiply:
        return ScaledBytes(d, s);
    case Formula::Screen: // d + s - d x s / 255 never leaves 0 to 255
        return _mm_sub_epi8(_mm_add_epi8(d, s), ScaledBytes(d, s));
    case Formula::Overlay:
        return Overlaid(d, s, d);
    case Formula::HardLight:
        return Overlaid(d, s, s);
    case Formula::LinearBurn: // max(0, d + s - 255) = max(0, d - (255 - s))
        return _mm_subs_epu8(d, _mm_sub_epi8(_mm_set1_epi8(-1), s));
    case Formula::Difference:
        return _mm_sub_epi8(_mm_max_epu8(d, s), _mm_min_epu8(d, s));
    case Formula::Lighten:
        return _mm_max_epu8(d, s);
    case Formula::Darken:
        return _mm_min_epu8(d, s);
    }
    return s;
}

template <Formula F> void BlendAndMix(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    const __m128i o = OpacityLanes(opacity);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i t = Load(target + 4 * i), l = Load(layer + 4 * i);
        Store(target + 4 * i, Mixed(t, Blended<F>(t, l), AlphaWeights(l, o)));
    }
    // The tail, at most three pixels, by the table's own formula.
    for (size_t k = 4 * i; k < 4 * count; k += 4) {
        const uint32_t w = MixWeight(layer[k + 3], opacity);
        for (size_t c = 0; c < 3; ++c) {
            const uint8_t d = target[k + c], s = layer[k + c];
            target[k + c] = MixChannel(d, BlendChannel(FormulaCode(F), d, s), w);
        }
    }
}

} // namespace

bool BlendByFormula(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    switch (code) {
    case kBlendMultiply:
        BlendAndMix<Formula::Multiply>(target, layer, count, opacity);
        return true;
    case kBlendScreen:
        BlendAndMix<Formula::Screen>(target, layer, count, opacity);
        return true;
    case kBlendOverlay:
        BlendAndMix<Formula::Overlay>(target, layer, count, opacity);
        return true;
    case kBlendHardLight:
        BlendAndMix<Formula::HardLight>(target, layer, count, opacity);
        return true;
    case kBlendLinearBurn:
        BlendAndMix<Formula::LinearBurn>(target, layer, count, opacity);
        return true;
    case kBlendDifference:
        BlendAndMix<Formula::Difference>(target, layer, count, opacity);
        return true;
    case kBlendLighten:
        BlendAndMix<Formula::Lighten>(target, layer, count, opacity);
        return true;
    case kBlendDarken:
        BlendAndMix<Formula::Darken>(target, layer, count, opacity);
        return true;
    default:
        return false;
    }
}

void MixLayerPixels(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count, uint8_t opacity) {
    const __m128i o = OpacityLanes(opacity);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i weights = AlphaWeights(Load(layer + 4 * i), o);
        Store(target + 4 * i, Mixed(Load(target + 4 * i), Load(blended + 4 * i), weights));
    }
    scalar::MixLayerPixels(target + 4 * i, blended + 4 * i, layer + 4 * i, count - i, opacity);
}

void AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    const __m128i o = OpacityLanes(opacity);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i l = Load(layer + 4 * i);
        Store(target + 4 * i, _mm_adds_epu8(Load(target + 4 * i), ScaledBytes(l, AlphaWeights(l, o))));
    }
    scalar::AddLayerPixels(target + 4 * i, layer + 4 * i, count - i, opacity);
}

void SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    const __m128i o = OpacityLanes(opacity);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i l = Load(layer + 4 * i);
        Store(target + 4 * i, _mm_subs_epu8(Load(target + 4 * i), ScaledBytes(l, AlphaWeights(l, o))));
    }
    scalar::SubtractLayerPixels(target + 4 * i, layer + 4 * i, count - i, opacity);
}

void MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour) {
    const __m128i o = OpacityLanes(opacity);
    const __m128i zero = _mm_setzero_si128();
    const __m128i colours = _mm_set1_epi32(int32_t(colour & 0xFFFFFF));
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        uint32_t four;
        std::memcpy(&four, coverage + i, 4);
        // Layers are mostly clear: four clear pixels cost one test.
        if (four == 0)
            continue;
        const __m128i c = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(four)), zero), zero);
        const __m128i weights = WeightWords(_mm_srli_epi32(_mm_mullo_epi16(c, o), 7));
        Store(pixels + 4 * i, Mixed(Load(pixels + 4 * i), colours, weights));
    }
    scalar::MixCoverage(pixels + 4 * i, coverage + i, count - i, opacity, colour);
}

void PrefetchPixels(const uint8_t* pixels, size_t count) {
    // One hint per 64-byte cache line, the last line included.
    for (size_t k = 0; k < count; k += 64)
        _mm_prefetch(reinterpret_cast<const char*>(pixels + k), _MM_HINT_T0);
    if (count > 0)
        _mm_prefetch(reinterpret_cast<const char*>(pixels + count - 1), _MM_HINT_T0);
}
