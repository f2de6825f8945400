#pragma once
// The HCY arithmetic of Hcy.cpp a register of pixels at a time: one float
// lane per pixel, the same operations on the same floats in the same order,
// so every lane rounds exactly as the scalar code does and the bytes out
// are the same. Float operations are never fused here (the vector files are
// not built for FMA), and the compares and min / max are picked so that
// equal, zero and NaN operands go the way the scalar branches go.
//
// Included only by MixRunsVector.h, under the same rules: internal linkage,
// no call to another header's inline functions.

#include "decode/BlendModes.h"
#include "decode/Hcy.h"

template <class L> struct HcyVector : L {
    using L::add_ps;
    using L::and_si;
    using L::andnot_ps;
    using L::castps_si;
    using L::cmpeq_ps;
    using L::cmpgt_ps;
    using L::cmplt_ps;
    using L::cmpnle_ps;
    using L::cvtepi32_ps;
    using L::cvttps_epi32;
    using L::div_ps;
    using L::max_ps;
    using L::min_ps;
    using L::mul_ps;
    using L::select_ps;
    using L::set1_epi32;
    using L::set1_ps;
    using L::setzero;
    using L::srli_epi32_16;
    using L::srli_epi32_8;
    using L::sub_epi32;
    using L::sub_ps;
    using L::xor_ps;
    using typename L::Flt;
    using typename L::Vec;

    // A pixel's channel bytes, each in its own 32-bit lane.
    struct Bytes3 {
        Vec red, green, blue;
    };
    // The same as fractions of 255 (byte x 1/255).
    struct Fractions {
        Flt r, g, b;
    };

    static Bytes3 ChannelsOf(Vec pixels) {
        const Vec low = set1_epi32(0xFF);
        return {and_si(srli_epi32_16(pixels), low), and_si(srli_epi32_8(pixels), low), and_si(pixels, low)};
    }

    static Fractions FractionsOf(const Bytes3& c) {
        const Flt inv255 = set1_ps(kHcyInv255);
        return {mul_ps(cvtepi32_ps(c.red), inv255), mul_ps(cvtepi32_ps(c.green), inv255),
                mul_ps(cvtepi32_ps(c.blue), inv255)};
    }

    // Largest and smallest channel: no channel is negative or NaN, so which
    // of two equal values is kept does not matter.
    static Flt Maximum(const Fractions& f) { return max_ps(max_ps(f.r, f.g), f.b); }
    static Flt Minimum(const Fractions& f) { return min_ps(min_ps(f.r, f.g), f.b); }

    static Flt Luma(const Fractions& f) {
        return add_ps(add_ps(mul_ps(set1_ps(0.11f), f.b), mul_ps(set1_ps(0.59f), f.g)), mul_ps(set1_ps(0.3f), f.r));
    }

    // The hue of ToHcy: red decides before green, green before blue, and a
    // grey (chroma 0) has hue 0, whatever its division gave.
    static Flt Hue(const Fractions& f, Flt maximum, Flt chroma) {
        const Flt redLargest = cmpeq_ps(f.r, maximum), greenLargest = cmpeq_ps(f.g, maximum);
        const Flt difference =
            select_ps(redLargest, sub_ps(f.g, f.b), select_ps(greenLargest, sub_ps(f.b, f.r), sub_ps(f.r, f.g)));
        const Flt start = select_ps(greenLargest, set1_ps(120.0f), set1_ps(240.0f));
        const Flt turn = div_ps(mul_ps(set1_ps(60.0f), difference), chroma);
        Flt degrees = select_ps(redLargest, turn, add_ps(turn, start));
        degrees = select_ps(cmplt_ps(degrees, setzero_ps()), add_ps(degrees, set1_ps(360.0f)), degrees);
        return andnot_ps(cmpeq_ps(chroma, setzero_ps()), mul_ps(degrees, set1_ps(kHcyInv360)));
    }

    static Flt setzero_ps() { return set1_ps(0.0f); }

    // ChannelByte before its clamp: value x 255 + 0.5, truncated. The values
    // FromHcy meets lie within a few units of 0 to 1 (a is 0 to 1, each
    // offset times the chroma within 1 or so), so the truncation is in range
    // and only a NaN gives the integer indefinite, which is negative;
    // L::PixelsOf clamps to 0 to 255 as ChannelByte does (a NaN gives 0).
    static Vec ChannelValue(Flt value) { return cvttps_epi32(add_ps(mul_ps(value, set1_ps(255.0f)), set1_ps(0.5f))); }

    // FromHcy, as pixels (blue, green, red, 0), for the hues, chromas and
    // lumas the modes give: hue 0 to 1, luma 0 to 1 (white gives exactly 1
    // in both kinds of luma, and every step is monotonic). FromHcy's grey
    // branch (chroma 0; no hue is negative) needs no lanes of its own there:
    // with chroma 0 every offset is a zero, neither bound is crossed
    // (luma + 0 is neither above 1 nor below 0), a stays 1 and each channel
    // is ChannelByte(luma + 0), the grey's own byte.
    static Vec FromHcy(Flt hue, Flt chroma, Flt luma) {
        // The sextant is the number of ends the hue is not at or below.
        const Vec past0 = castps_si(cmpnle_ps(hue, set1_ps(kHueSextantEnds[0])));
        const Vec past1 = castps_si(cmpnle_ps(hue, set1_ps(kHueSextantEnds[1])));
        const Vec past2 = castps_si(cmpnle_ps(hue, set1_ps(kHueSextantEnds[2])));
        const Vec past3 = castps_si(cmpnle_ps(hue, set1_ps(kHueSextantEnds[3])));
        const Vec past4 = castps_si(cmpnle_ps(hue, set1_ps(kHueSextantEnds[4])));
        const Vec sextant =
            sub_epi32(sub_epi32(sub_epi32(sub_epi32(sub_epi32(setzero(), past0), past1), past2), past3), past4);
        const Flt t = mul_ps(set1_ps(6.0f), sub_ps(hue, L::PickOfSix(kHueSextants.origin, sextant)));
        auto offset = [&](int c) {
            const Flt base = L::PickOfSix(kHueSextants.offsetBase[c], sextant);
            const Flt slope = L::PickOfSix(kHueSextants.offsetSlope[c], sextant);
            return mul_ps(add_ps(base, mul_ps(slope, t)), chroma);
        };
        const Flt d[3] = {offset(0), offset(1), offset(2)};
        const Flt hi = max_ps(max_ps(d[0], d[1]), d[2]);
        const Flt lo = min_ps(min_ps(d[0], d[1]), d[2]);
        const Flt one = set1_ps(1.0f), zero = setzero_ps();
        Flt a = select_ps(cmpgt_ps(add_ps(luma, hi), one), div_ps(sub_ps(one, luma), hi), one);
        const Flt toBlack = div_ps(luma, xor_ps(lo, set1_ps(-0.0f)));
        a = select_ps(L::and_ps(cmplt_ps(add_ps(luma, lo), zero), cmplt_ps(toBlack, a)), toBlack, a);
        return L::PixelsOf(ChannelValue(add_ps(luma, mul_ps(d[2], a))), ChannelValue(add_ps(luma, mul_ps(d[1], a))),
                           ChannelValue(add_ps(luma, mul_ps(d[0], a))));
    }

    // The colour the mode makes of target pixels t and layer pixels l.
    template <uint8_t kCode> static Vec Blended(Vec t, Vec l) {
        const Bytes3 tb = ChannelsOf(t), lb = ChannelsOf(l);
        const Fractions tf = FractionsOf(tb);
        switch (kCode) {
        case kBlendHue: {
            const Fractions lf = FractionsOf(lb);
            const Flt lMax = Maximum(lf), lChroma = sub_ps(lMax, Minimum(lf));
            return FromHcy(Hue(lf, lMax, lChroma), sub_ps(Maximum(tf), Minimum(tf)), Luma(tf));
        }
        case kBlendSaturation: {
            const Fractions lf = FractionsOf(lb);
            const Flt tMax = Maximum(tf), tChroma = sub_ps(tMax, Minimum(tf));
            return FromHcy(Hue(tf, tMax, tChroma), sub_ps(Maximum(lf), Minimum(lf)), Luma(tf));
        }
        case kBlendColor: {
            const Fractions lf = FractionsOf(lb);
            const Flt lMax = Maximum(lf), lChroma = sub_ps(lMax, Minimum(lf));
            return FromHcy(Hue(lf, lMax, lChroma), lChroma, L::LumaOfBytes(tb.red, tb.green, tb.blue));
        }
        default: { // kBlendLuminosity
            const Flt tMax = Maximum(tf), tChroma = sub_ps(tMax, Minimum(tf));
            return FromHcy(Hue(tf, tMax, tChroma), tChroma, L::LumaOfBytes(lb.red, lb.green, lb.blue));
        }
        }
    }
};
