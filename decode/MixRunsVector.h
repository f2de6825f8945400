#pragma once
// The vector passes of MixRuns.h, written once for any vector width. L gives
// the lanes: L::Vec is a register of L::kBytes bytes (16 with SSE2, 32 with
// AVX2, 64 with AVX-512) and L's functions are that width's instructions
// under the names of the SSE2 ones without the _mm_ prefix, compares giving
// lanes of all ones or all zeros as SSE2's do. L::Mask holds a movemask of
// the bytes. Only the byte order within each 16-byte lane matters:
// unpacking and packing stay within a 16-byte lane on every width, so the
// same steps give the same bytes. Each step is the scalar
// formula lane by lane: products of two bytes and the division by 255 fit
// 16-bit lanes exactly; the divisions of Dodge, Burn and Vivid light and the
// HCY modes (MixRunsHcy.h) are float lanes, one per pixel and channel or one
// per pixel (L::Flt). Each pass returns the pixels it did, whole registers;
// the tail is left to the caller (MixRunsWith.cpp).
//
// Included only by the files that define the lanes (MixRuns_sse2.cpp,
// MixRuns_avx2.cpp, MixRuns_avx512.cpp), each compiled for its own
// instruction set. Whatever such a file compiles is its own: the lanes and
// these passes have internal linkage, and nothing here calls an inline
// function of another header, so the linker can never pick a copy built for
// a wider instruction set for code that runs on a processor without it.

#include "decode/BlendModes.h"
#include "decode/Mix.h"
#include "decode/MixRunPasses.h"
#include "decode/MixRunsHcy.h"

template <class L> struct VectorPasses : L {
    using L::add_epi16;
    using L::add_epi8;
    using L::adds_epu8;
    using L::and_si;
    using L::andnot_si;
    using L::cmpeq_epi8;
    using L::cmplt_epi8;
    using L::cvtepi32_ps;
    using L::cvttps_epi32;
    using L::div_ps;
    using L::kBytes;
    using L::loadu;
    using L::max_epu8;
    using L::min_epu8;
    using L::min_ps;
    using L::movemask_epi8;
    using L::mul_ps;
    using L::mulhi_epu16;
    using L::mullo_epi16;
    using L::or_si;
    using L::packus_epi16;
    using L::prefetch;
    using L::set1_epi16;
    using L::set1_epi32;
    using L::set1_epi8;
    using L::set1_ps;
    using L::setzero;
    using L::slli_epi32_16;
    using L::srli_epi16_7;
    using L::srli_epi32_24;
    using L::srli_epi32_7;
    using L::storeu;
    using L::sub_epi16;
    using L::sub_epi8;
    using L::subs_epu8;
    using L::unpackhi_epi8;
    using L::unpacklo_epi8;
    using L::xor_si;
    using typename L::Flt;
    using typename L::Mask;
    using typename L::Vec;

    static constexpr size_t kPixels = kBytes / 4; // pixels per register
    // Movemask bits (L::Mask holds one per byte): all of a register's bytes,
    // and those of the alpha bytes.
    static constexpr Mask kAllBits = Mask(~uint64_t(0) >> (64 - kBytes));
    static constexpr Mask kAlphaBits = Mask(0x8888888888888888u) & kAllBits;

    static Vec Load(const uint8_t* p) { return loadu(p); }
    static void Store(uint8_t* p, Vec v) { storeu(p, v); }

    // x / 255 in each 16-bit lane, as x * 0x8081 >> 23: one multiply keeping
    // the high half and one shift. 0x8081 / 2^23 exceeds 1 / 255 by so little
    // that the quotient is exact for every 16-bit x, products of two bytes
    // included; the pixel-run tests meet every such product.
    static Vec DivideBy255x8(Vec x) { return srli_epi16_7(mulhi_epu16(x, set1_epi16(int16_t(0x8081)))); }

    // DivideBy255(a[k] * b[k]) for every byte pair.
    static Vec ScaledBytes(Vec a, Vec b) {
        const Vec zero = setzero();
        const Vec low = DivideBy255x8(mullo_epi16(unpacklo_epi8(a, zero), unpacklo_epi8(b, zero)));
        const Vec high = DivideBy255x8(mullo_epi16(unpackhi_epi8(a, zero), unpackhi_epi8(b, zero)));
        return packus_epi16(low, high);
    }

    static Vec OpacityLanes(uint8_t opacity) {
        return set1_epi16(int16_t(opacity > kFullOpacity ? kFullOpacity : opacity));
    }

    // 16-bit weights (in the low halves of 32-bit lanes) as weight words:
    // bytes w, w, w, 0.
    static Vec WeightWords(Vec w32) {
        // w x 0x0101 is w in both bytes of the low 16 bits (w < 256: no carry).
        return or_si(mullo_epi16(w32, set1_epi16(0x0101)), slli_epi32_16(w32));
    }

    // The weights of the layer pixels, as bytes w, w, w, 0. In 32-bit lanes
    // the alpha sits in the low 16 bits and the high 16 are zero, so a 16-bit
    // multiply by the opacity leaves the high halves zero.
    static Vec AlphaWeights(Vec pixels, Vec opacity) {
        return WeightWords(srli_epi32_7(mullo_epi16(srli_epi32_24(pixels), opacity)));
    }

    // MixChannel for every byte. Of the two saturated differences one is 0
    // and the other the distance; the step (at most the distance) is added
    // towards a larger value and taken off towards a smaller one, and the
    // minimum with each difference picks which without a compare.
    static Vec Mixed(Vec t, Vec f, Vec weights) {
        const Vec rise = subs_epu8(f, t), fall = subs_epu8(t, f);
        const Vec step = ScaledBytes(or_si(rise, fall), weights);
        return sub_epi8(add_epi8(t, min_epu8(step, rise)), min_epu8(step, fall));
    }

    // Painted layers are mostly clear or opaque, with soft edges between: a
    // register of pixels whose weights are all 0 leaves the picture as it
    // is, and one whose weights are all 255 takes the blended colour bytes
    // whole (MixChannel at weight 255 is the blended value). Testing for both
    // costs far less than the mix they skip, and the runs keep the branches
    // predictable.
    static bool AllClear(Vec weights) { return movemask_epi8(cmpeq_epi8(weights, setzero())) == kAllBits; }
    // Weight words hold 0 in byte 3: setting it makes an all-255 group all ones.
    static bool AllFull(Vec weights) {
        const Vec alphaBytes = set1_epi32(int32_t(0xFF000000u));
        return movemask_epi8(cmpeq_epi8(or_si(weights, alphaBytes), set1_epi8(-1))) == kAllBits;
    }

    // The colour bytes of f with byte 3 of t: the picture's byte 3 is never changed.
    static Vec ColourOf(Vec f, Vec t) {
        const Vec alphaBytes = set1_epi32(int32_t(0xFF000000u));
        return or_si(andnot_si(alphaBytes, f), and_si(alphaBytes, t));
    }

    // Target pixels mixed towards f by the weights, with the two shortcuts.
    static Vec MixedOrWhole(Vec t, Vec f, Vec weights) {
        return AllFull(weights) ? ColourOf(f, t) : Mixed(t, f, weights);
    }

    // The layer passes walk the picture and the layer as two long streams.
    // On a large picture memory does not keep up with the loop on its own:
    // each line of both is asked for this many bytes before the loop reaches
    // it. A page ahead: at 1024 bytes the faster passes (Vivid light, Dodge)
    // still waited on memory at 4096 x 4096.
    static constexpr size_t kAheadBytes = 4096;

    // Walks the registers of pixels in order and returns the pixels walked, a
    // multiple of kPixels (the rest are the caller's tail). A register of
    // clear layer pixels (weight 0 at any opacity) is passed over; one of
    // opaque pixels at full opacity (weight 255) goes to whole(byte offset,
    // layer pixels), which takes the blended colour bytes as they are; any
    // other to part(byte offset, layer pixels, weights) unless its weights
    // are all 0. Both tests look at the layer's alpha bytes alone, before any
    // weight is worked out. part never meets weights that are all 255.
    //
    // Layers are mostly wholly clear or wholly opaque over long stretches,
    // so a cache line of registers is told clear or opaque by one test of
    // them all (or-ed, and and-ed), and only a line of both kinds is tested
    // register by register.
    template <class Whole, class Part>
    static size_t ForEachCoveredGroup(const uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity,
                                      Whole whole, Part part) {
        const Vec o = OpacityLanes(opacity);
        const Vec zero = setzero(), ones = set1_epi8(-1);
        const bool fullOpacity = opacity >= kFullOpacity;
        const size_t walked = count - count % kPixels, bytes = 4 * walked;
        auto one = [&](size_t k, Vec l) {
            if ((movemask_epi8(cmpeq_epi8(l, zero)) & kAlphaBits) == kAlphaBits)
                return;
            if (fullOpacity && (movemask_epi8(cmpeq_epi8(l, ones)) & kAlphaBits) == kAlphaBits) {
                whole(k, l);
                return;
            }
            const Vec weights = AlphaWeights(l, o);
            if (!AllClear(weights))
                part(k, l, weights);
        };
        constexpr size_t kLine = 64, kPerLine = kLine / kBytes;
        size_t k = 0;
        for (; k + kLine <= bytes; k += kLine) {
            if (k + kAheadBytes < bytes) {
                prefetch(layer + k + kAheadBytes);
                prefetch(target + k + kAheadBytes);
            }
            Vec l[kPerLine];
            Vec all = l[0] = Load(layer + k), any = all;
            for (size_t r = 1; r < kPerLine; ++r) {
                l[r] = Load(layer + k + r * kBytes);
                all = and_si(all, l[r]);
                any = or_si(any, l[r]);
            }
            if ((movemask_epi8(cmpeq_epi8(any, zero)) & kAlphaBits) == kAlphaBits)
                continue;
            if (fullOpacity && (movemask_epi8(cmpeq_epi8(all, ones)) & kAlphaBits) == kAlphaBits) {
                for (size_t r = 0; r < kPerLine; ++r)
                    whole(k + r * kBytes, l[r]);
                continue;
            }
            for (size_t r = 0; r < kPerLine; ++r)
                one(k + r * kBytes, l[r]);
        }
        for (; k < bytes; k += kBytes)
            one(k, Load(layer + k));
        return walked;
    }

    // The blend formulas, a register at a time (d the picture, s the layer).
    enum class Formula {
        Multiply,
        Screen,
        Overlay,
        SoftLight,
        HardLight,
        Dodge,
        Burn,
        LinearBurn,
        VividLight,
        LinearLight,
        PinLight,
        Difference,
        Lighten,
        Darken
    };

    // d x s >> 7 below the threshold, 255 - ((255 - d) x (255 - s) >> 7) from
    // it on; `decider` is the byte compared with 128 (d for Overlay, s for
    // Hard light). 255 - x is x ^ 255, so the upper half is the lower one on
    // inputs and result flipped by the same mask: one product for both. The
    // deciding byte is below 128 in whichever form is multiplied, so the
    // product >> 7 stays below 256.
    static Vec Overlaid(Vec d, Vec s, Vec decider) {
        const Vec zero = setzero();
        // Bytes of 128 and more have their top bit set: signed, they are negative.
        const Vec upper = cmplt_epi8(decider, zero);
        const Vec a = xor_si(d, upper), b = xor_si(s, upper);
        const Vec low = srli_epi16_7(mullo_epi16(unpacklo_epi8(a, zero), unpacklo_epi8(b, zero)));
        const Vec high = srli_epi16_7(mullo_epi16(unpackhi_epi8(a, zero), unpackhi_epi8(b, zero)));
        return xor_si(packus_epi16(low, high), upper);
    }

    // m + (d + s - 2m) x d / 255 with m = d x s / 255, in 16-bit lanes. The
    // table's form, m + (255 - k - m) x d / 255 with k = (255 - d) x
    // (255 - s) / 255, is the same: k = 255 - d - s + m exactly, since
    // (255 - d)(255 - s) = 255 (255 - d - s) + d x s. So two products do.
    static Vec SoftLit(Vec d, Vec s) {
        const Vec zero = setzero();
        auto half = [](Vec d16, Vec s16) {
            const Vec m = DivideBy255x8(mullo_epi16(d16, s16));
            const Vec x = sub_epi16(add_epi16(d16, s16), add_epi16(m, m));
            return add_epi16(m, DivideBy255x8(mullo_epi16(x, d16)));
        };
        return packus_epi16(half(unpacklo_epi8(d, zero), unpacklo_epi8(s, zero)),
                            half(unpackhi_epi8(d, zero), unpackhi_epi8(s, zero)));
    }

    // For each colour byte: 255 where x >= q (q = 0 included), otherwise
    // 255 x / q rounded down, which is then below 255. The division is done
    // in floats, one lane per pixel and channel: 255 x and q are exact, the
    // quotient is correctly rounded, and a true quotient below 255 lies at
    // least 1 / q below the next whole number, far more than its rounding
    // can move it, so truncating gives the exact result; from 255 on (and
    // for x / 0) the minimum with 255 gives 255. Byte 3 comes out 0.
    static Vec Ratio255(Vec x, Vec q) {
        const Flt k255 = set1_ps(255.0f);
        auto channel = [&](Vec xc, Vec qc) {
            return cvttps_epi32(min_ps(div_ps(mul_ps(cvtepi32_ps(xc), k255), cvtepi32_ps(qc)), k255));
        };
        return L::PixelsOf(channel(L::template ByteOfPixels<0>(x), L::template ByteOfPixels<0>(q)),
                           channel(L::template ByteOfPixels<1>(x), L::template ByteOfPixels<1>(q)),
                           channel(L::template ByteOfPixels<2>(x), L::template ByteOfPixels<2>(q)));
    }

    // Vivid light is a Ratio255 on either half of the layer value. Below
    // 128 it is 255 (d + 2s - 255) / 2s, 0 where d + 2s - 255 is not
    // positive; from 128 on 255 d / (510 - 2s), 255 where d >= 510 - 2s.
    // Without a select: 255 - 2s below 128 is (255 - s) - s,
    // which saturates to 0 from 128 on, so one saturated difference is
    // either numerator; 2 min(s, 255 - s) is either divisor (at most 254).
    // Below 128 a numerator of 0 must give 0, which it does for any divisor
    // but 0 (s = 0): there the divisor is made 1. From 128 on a divisor of 0
    // (s = 255) rightly gives 255 for every d.
    static Vec VividLit(Vec d, Vec s) {
        const Vec rest = xor_si(s, set1_epi8(-1));
        const Vec x = subs_epu8(d, subs_epu8(rest, s));
        const Vec half = min_epu8(s, rest);
        const Vec oneAtZero = and_si(cmpeq_epi8(s, setzero()), set1_epi8(1));
        return Ratio255(x, or_si(add_epi8(half, half), oneAtZero));
    }

    template <Formula F> static Vec Blended(Vec d, Vec s) {
        switch (F) {
        case Formula::Multiply:
            return ScaledBytes(d, s);
        case Formula::Screen: // d + s - d x s / 255 never leaves 0 to 255
            return sub_epi8(add_epi8(d, s), ScaledBytes(d, s));
        case Formula::Overlay:
            return Overlaid(d, s, d);
        case Formula::SoftLight:
            return SoftLit(d, s);
        case Formula::HardLight:
            return Overlaid(d, s, s);
        case Formula::Dodge: // 255 d / (255 - s), at most 255
            return Ratio255(d, xor_si(s, set1_epi8(-1)));
        case Formula::Burn: // 255 - 255 (255 - d) / s, at least 0
            return xor_si(Ratio255(xor_si(d, set1_epi8(-1)), s), set1_epi8(-1));
        case Formula::VividLight:
            return VividLit(d, s);
        case Formula::LinearLight: {
            // d + 2s - 255 is d plus 2s - 255 from 128 on and d minus
            // 255 - 2s below; the other difference saturates to 0.
            const Vec rest = xor_si(s, set1_epi8(-1));
            return subs_epu8(adds_epu8(d, subs_epu8(s, rest)), subs_epu8(rest, s));
        }
        case Formula::PinLight: {
            // min(d, 2s) below 128 and max(d, 2s - 255) from it on, as one
            // clamp of d between max(0, 2s - 255) and min(255, 2s).
            const Vec rest = xor_si(s, set1_epi8(-1));
            return min_epu8(max_epu8(d, subs_epu8(s, rest)), adds_epu8(s, s));
        }
        case Formula::LinearBurn: // max(0, d + s - 255) = max(0, d - (255 - s))
            return subs_epu8(d, sub_epi8(set1_epi8(-1), s));
        case Formula::Difference:
            return sub_epi8(max_epu8(d, s), min_epu8(d, s));
        case Formula::Lighten:
            return max_epu8(d, s);
        case Formula::Darken:
            return min_epu8(d, s);
        }
        return s;
    }

    template <Formula F>
    static size_t BlendAndMix(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) {
                const Vec t = Load(target + k);
                Store(target + k, ColourOf(Blended<F>(t, l), t));
            },
            [target](size_t k, Vec l, Vec w) {
                const Vec t = Load(target + k);
                Store(target + k, Mixed(t, Blended<F>(t, l), w));
            });
    }

    static bool BlendByFormula(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity,
                               size_t* done) {
        switch (code) {
        case kBlendMultiply:
            *done = BlendAndMix<Formula::Multiply>(target, layer, count, opacity);
            return true;
        case kBlendScreen:
            *done = BlendAndMix<Formula::Screen>(target, layer, count, opacity);
            return true;
        case kBlendOverlay:
            *done = BlendAndMix<Formula::Overlay>(target, layer, count, opacity);
            return true;
        case kBlendSoftLight:
            *done = BlendAndMix<Formula::SoftLight>(target, layer, count, opacity);
            return true;
        case kBlendHardLight:
            *done = BlendAndMix<Formula::HardLight>(target, layer, count, opacity);
            return true;
        case kBlendDodge:
            *done = BlendAndMix<Formula::Dodge>(target, layer, count, opacity);
            return true;
        case kBlendBurn:
            *done = BlendAndMix<Formula::Burn>(target, layer, count, opacity);
            return true;
        case kBlendVividLight:
            *done = BlendAndMix<Formula::VividLight>(target, layer, count, opacity);
            return true;
        case kBlendLinearLight:
            *done = BlendAndMix<Formula::LinearLight>(target, layer, count, opacity);
            return true;
        case kBlendPinLight:
            *done = BlendAndMix<Formula::PinLight>(target, layer, count, opacity);
            return true;
        case kBlendLinearBurn:
            *done = BlendAndMix<Formula::LinearBurn>(target, layer, count, opacity);
            return true;
        case kBlendDifference:
            *done = BlendAndMix<Formula::Difference>(target, layer, count, opacity);
            return true;
        case kBlendLighten:
            *done = BlendAndMix<Formula::Lighten>(target, layer, count, opacity);
            return true;
        case kBlendDarken:
            *done = BlendAndMix<Formula::Darken>(target, layer, count, opacity);
            return true;
        default:
            return false;
        }
    }

    static size_t MixLayerPixels(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count,
                                 uint8_t opacity) {
        return ForEachCoveredGroup(
            target, layer, count, opacity,
            [target, blended](size_t k, Vec) { Store(target + k, ColourOf(Load(blended + k), Load(target + k))); },
            [target, blended](size_t k, Vec, Vec w) {
                Store(target + k, Mixed(Load(target + k), Load(blended + k), w));
            });
    }

    static size_t AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) { Store(target + k, adds_epu8(Load(target + k), ColourOf(l, setzero()))); },
            [target](size_t k, Vec l, Vec w) { Store(target + k, adds_epu8(Load(target + k), ScaledBytes(l, w))); });
    }

    static size_t SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) { Store(target + k, subs_epu8(Load(target + k), ColourOf(l, setzero()))); },
            [target](size_t k, Vec l, Vec w) { Store(target + k, subs_epu8(Load(target + k), ScaledBytes(l, w))); });
    }

    // One register of pixels of a four-register step, with the clear and
    // full movemask bits of the step's weights.
    template <int g> static void MixCoverageGroup(uint8_t* pixels, Vec colours, Vec w, Mask clear, Mask full) {
        constexpr Mask kBits = Mask(((uint64_t(1) << kPixels) - 1) << (kPixels * g));
        if ((clear & kBits) == kBits)
            return;
        uint8_t* p = pixels + kBytes * g;
        const Vec t = Load(p);
        Store(p, (full & kBits) == kBits ? ColourOf(colours, t)
                                         : Mixed(t, colours, L::template CoverageWeightWords<g>(w)));
    }

    static size_t MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity,
                              uint32_t colour) {
        const Vec o = OpacityLanes(opacity);
        const Vec zero = setzero(), ones = set1_epi8(-1);
        const Vec colours = set1_epi32(int32_t(colour & 0xFFFFFF));
        size_t i = 0;
        // A register of coverage bytes gives as many weights at once (at most
        // 255 x 128 >> 7 = 255, so they pack back into bytes), the weights of
        // four registers of pixels: a clear stretch of a tile costs one test,
        // and each register of pixels is told clear, full or soft from the
        // same two compares.
        for (; i + kBytes <= count; i += kBytes) {
            const Vec c = Load(coverage + i);
            const Vec low = srli_epi16_7(mullo_epi16(unpacklo_epi8(c, zero), o));
            const Vec high = srli_epi16_7(mullo_epi16(unpackhi_epi8(c, zero), o));
            const Vec w = packus_epi16(low, high);
            const Mask clear = movemask_epi8(cmpeq_epi8(w, zero));
            if (clear == kAllBits)
                continue;
            const Mask full = movemask_epi8(cmpeq_epi8(w, ones));
            uint8_t* p = pixels + 4 * i;
            MixCoverageGroup<0>(p, colours, w, clear, full);
            MixCoverageGroup<1>(p, colours, w, clear, full);
            MixCoverageGroup<2>(p, colours, w, clear, full);
            MixCoverageGroup<3>(p, colours, w, clear, full);
        }
        return i;
    }

    template <uint8_t kCode> static size_t Hcy(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) {
                const Vec t = Load(target + k);
                Store(target + k, ColourOf(HcyVector<L>::template Blended<kCode>(t, l), t));
            },
            [target](size_t k, Vec l, Vec w) {
                const Vec t = Load(target + k);
                Store(target + k, Mixed(t, HcyVector<L>::template Blended<kCode>(t, l), w));
            });
    }

    static size_t HcyLayerPixels(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        switch (code) {
        case kBlendHue:
            return Hcy<kBlendHue>(target, layer, count, opacity);
        case kBlendSaturation:
            return Hcy<kBlendSaturation>(target, layer, count, opacity);
        case kBlendColor:
            return Hcy<kBlendColor>(target, layer, count, opacity);
        default:
            return Hcy<kBlendLuminosity>(target, layer, count, opacity);
        }
    }

    static MixRunPasses Passes(const char* name) {
        return {name,        kBytes,        MixLayerPixels, BlendByFormula, AddLayerPixels, SubtractLayerPixels,
                MixCoverage, HcyLayerPixels};
    }
};
