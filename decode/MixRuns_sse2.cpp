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

namespace {

inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// x / 255 in each 16-bit lane, as x * 0x8081 >> 23: one multiply keeping
// the high half and one shift. 0x8081 / 2^23 exceeds 1 / 255 by so little
// that the quotient is exact for every 16-bit x, products of two bytes
// included; the pixel-run tests meet every such product.
inline __m128i DivideBy255x8(__m128i x) {
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(int16_t(0x8081))), 7);
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
    // w x 0x0101 is w in both bytes of the low 16 bits (w < 256: no carry).
    return _mm_or_si128(_mm_mullo_epi16(w32, _mm_set1_epi16(0x0101)), _mm_slli_epi32(w32, 16));
}

// The weights of four layer pixels, as bytes w, w, w, 0. In 32-bit lanes the
// alpha sits in the low 16 bits and the high 16 are zero, so a 16-bit
// multiply by the opacity leaves the high halves zero.
inline __m128i AlphaWeights(__m128i pixels, __m128i opacity) {
    const __m128i alpha = _mm_srli_epi32(pixels, 24);
    return WeightWords(_mm_srli_epi32(_mm_mullo_epi16(alpha, opacity), 7));
}

// MixChannel for sixteen bytes. Of the two saturated differences one is 0
// and the other the distance; the step (at most the distance) is added
// towards a larger value and taken off towards a smaller one, and the
// minimum with each difference picks which without a compare.
inline __m128i Mixed(__m128i t, __m128i f, __m128i weights) {
    const __m128i rise = _mm_subs_epu8(f, t), fall = _mm_subs_epu8(t, f);
    const __m128i step = ScaledBytes(_mm_or_si128(rise, fall), weights);
    return _mm_sub_epi8(_mm_add_epi8(t, _mm_min_epu8(step, rise)), _mm_min_epu8(step, fall));
}

// Painted layers are mostly clear or opaque, with soft edges between: a
// group of four pixels whose weights are all 0 leaves the picture as it is,
// and one whose weights are all 255 takes the blended colour bytes whole
// (MixChannel at weight 255 is the blended value). Testing for both costs
// far less than the mix they skip, and the runs keep the branches predictable.
inline bool AllClear(__m128i weights) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(weights, _mm_setzero_si128())) == 0xFFFF;
}
// Weight words hold 0 in byte 3: setting it makes an all-255 group all ones.
inline bool AllFull(__m128i weights) {
    const __m128i alphaBytes = _mm_set1_epi32(int32_t(0xFF000000u));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(weights, alphaBytes), _mm_set1_epi8(-1))) == 0xFFFF;
}

// The colour bytes of f with byte 3 of t: the picture's byte 3 is never changed.
inline __m128i ColourOf(__m128i f, __m128i t) {
    const __m128i alphaBytes = _mm_set1_epi32(int32_t(0xFF000000u));
    return _mm_or_si128(_mm_andnot_si128(alphaBytes, f), _mm_and_si128(alphaBytes, t));
}

// Target pixels mixed towards f by the weights, with the two shortcuts.
inline __m128i MixedOrWhole(__m128i t, __m128i f, __m128i weights) {
    return AllFull(weights) ? ColourOf(f, t) : Mixed(t, f, weights);
}

// The layer passes walk the picture and the layer as two long streams. On a
// large picture memory does not keep up with the loop on its own: each line
// of both is asked for this many bytes before the loop reaches it.
constexpr size_t kAheadBytes = 1024;

// Walks the groups of four pixels in order and returns the pixels walked, a
// multiple of four (the rest are the caller's tail). A group of clear layer
// pixels (weight 0 at any opacity) is passed over; one of opaque pixels at
// full opacity (weight 255) goes to whole(byte offset, layer pixels), which
// takes the blended colour bytes as they are; any other to part(byte offset,
// layer pixels, weights) unless its weights are all 0. Both tests look at
// the layer's alpha bytes alone, before any weight is worked out. part never
// meets a group whose weights are all 255.
template <class Whole, class Part>
inline size_t ForEachCoveredGroup(const uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity,
                                  Whole whole, Part part) {
    const __m128i o = OpacityLanes(opacity);
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi8(-1);
    const bool fullOpacity = opacity >= kFullOpacity;
    constexpr int kAlphaBits = 0x8888; // the movemask bits of bytes 3, 7, 11 and 15
    const size_t walked = count & ~size_t(3), bytes = 4 * walked;
    for (size_t k = 0; k < bytes; k += 16) {
        if ((k & 63) == 0 && k + kAheadBytes < bytes) {
            _mm_prefetch(reinterpret_cast<const char*>(layer + k + kAheadBytes), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(target + k + kAheadBytes), _MM_HINT_T0);
        }
        const __m128i l = Load(layer + k);
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(l, zero)) & kAlphaBits) == kAlphaBits)
            continue;
        if (fullOpacity && (_mm_movemask_epi8(_mm_cmpeq_epi8(l, ones)) & kAlphaBits) == kAlphaBits) {
            whole(k, l);
            continue;
        }
        const __m128i weights = AlphaWeights(l, o);
        if (!AllClear(weights))
            part(k, l, weights);
    }
    return walked;
}

// The blend formulas, sixteen bytes at a time (d the picture, s the layer).
enum class Formula { Multiply, Screen, Overlay, HardLight, LinearBurn, Difference, Lighten, Darken };

// d x s >> 7 below the threshold, 255 - ((255 - d) x (255 - s) >> 7) from it
// on; `decider` is the byte compared with 128 (d for Overlay, s for Hard
// light). 255 - x is x ^ 255, so the upper half is the lower one on inputs
// and result flipped by the same mask: one product for both. The deciding
// byte is below 128 in whichever form is multiplied, so the product >> 7
// stays below 256.
inline __m128i Overlaid(__m128i d, __m128i s, __m128i decider) {
    const __m128i zero = _mm_setzero_si128();
    // Bytes of 128 and more have their top bit set: signed, they are negative.
    const __m128i upper = _mm_cmplt_epi8(decider, zero);
    const __m128i a = _mm_xor_si128(d, upper), b = _mm_xor_si128(s, upper);
    const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)), 7);
    const __m128i high = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)), 7);
    return _mm_xor_si128(_mm_packus_epi16(low, high), upper);
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
    const size_t i = ForEachCoveredGroup(
        target, layer, count, opacity,
        [target](size_t k, __m128i l) {
            const __m128i t = Load(target + k);
            Store(target + k, ColourOf(Blended<F>(t, l), t));
        },
        [target](size_t k, __m128i l, __m128i w) {
            const __m128i t = Load(target + k);
            Store(target + k, Mixed(t, Blended<F>(t, l), w));
        });
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
    const size_t i = ForEachCoveredGroup(
        target, layer, count, opacity,
        [target, blended](size_t k, __m128i) { Store(target + k, ColourOf(Load(blended + k), Load(target + k))); },
        [target, blended](size_t k, __m128i, __m128i w) {
            Store(target + k, Mixed(Load(target + k), Load(blended + k), w));
        });
    scalar::MixLayerPixels(target + 4 * i, blended + 4 * i, layer + 4 * i, count - i, opacity);
}

void AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    const size_t i = ForEachCoveredGroup(
        target, layer, count, opacity,
        [target](size_t k, __m128i l) {
            Store(target + k, _mm_adds_epu8(Load(target + k), ColourOf(l, _mm_setzero_si128())));
        },
        [target](size_t k, __m128i l, __m128i w) {
            Store(target + k, _mm_adds_epu8(Load(target + k), ScaledBytes(l, w)));
        });
    scalar::AddLayerPixels(target + 4 * i, layer + 4 * i, count - i, opacity);
}

void SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    const size_t i = ForEachCoveredGroup(
        target, layer, count, opacity,
        [target](size_t k, __m128i l) {
            Store(target + k, _mm_subs_epu8(Load(target + k), ColourOf(l, _mm_setzero_si128())));
        },
        [target](size_t k, __m128i l, __m128i w) {
            Store(target + k, _mm_subs_epu8(Load(target + k), ScaledBytes(l, w)));
        });
    scalar::SubtractLayerPixels(target + 4 * i, layer + 4 * i, count - i, opacity);
}

// The weights of four pixels, bytes 4g to 4g + 3 of w, as weight words.
template <int g>
inline __m128i GroupWeightWords(__m128i w) {
    const __m128i pairs = g < 2 ? _mm_unpacklo_epi8(w, w) : _mm_unpackhi_epi8(w, w);
    const __m128i quads = g % 2 == 0 ? _mm_unpacklo_epi16(pairs, pairs) : _mm_unpackhi_epi16(pairs, pairs);
    return _mm_and_si128(quads, _mm_set1_epi32(0x00FFFFFF));
}

// One group of four pixels of a sixteen-pixel step, with the weights' clear
// and full movemask bits of all sixteen.
template <int g>
inline void MixCoverageGroup(uint8_t* pixels, __m128i colours, __m128i w, int clear, int full) {
    constexpr int kBits = 0xF << (4 * g);
    if ((clear & kBits) == kBits)
        return;
    uint8_t* p = pixels + 16 * g;
    const __m128i t = Load(p);
    Store(p, (full & kBits) == kBits ? ColourOf(colours, t) : Mixed(t, colours, GroupWeightWords<g>(w)));
}

void MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour) {
    const __m128i o = OpacityLanes(opacity);
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi8(-1);
    const __m128i colours = _mm_set1_epi32(int32_t(colour & 0xFFFFFF));
    size_t i = 0;
    // Sixteen coverage bytes give sixteen weights at once (at most
    // 255 x 128 >> 7 = 255, so they pack back into bytes): a clear stretch
    // of a tile costs one test, and the groups of four within it are told
    // clear, full or soft from the same two compares.
    for (; i + 16 <= count; i += 16) {
        const __m128i c = Load(coverage + i);
        const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(c, zero), o), 7);
        const __m128i high = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(c, zero), o), 7);
        const __m128i w = _mm_packus_epi16(low, high);
        const int clear = _mm_movemask_epi8(_mm_cmpeq_epi8(w, zero));
        if (clear == 0xFFFF)
            continue;
        const int full = _mm_movemask_epi8(_mm_cmpeq_epi8(w, ones));
        uint8_t* p = pixels + 4 * i;
        MixCoverageGroup<0>(p, colours, w, clear, full);
        MixCoverageGroup<1>(p, colours, w, clear, full);
        MixCoverageGroup<2>(p, colours, w, clear, full);
        MixCoverageGroup<3>(p, colours, w, clear, full);
    }
    for (; i + 4 <= count; i += 4) {
        uint32_t four;
        std::memcpy(&four, coverage + i, 4);
        if (four == 0)
            continue;
        const __m128i c = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(four)), zero), zero);
        const __m128i weights = WeightWords(_mm_srli_epi32(_mm_mullo_epi16(c, o), 7));
        Store(pixels + 4 * i, MixedOrWhole(Load(pixels + 4 * i), colours, weights));
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
