#pragma once
// The HCY arithmetic of Hcy.cpp a register of pixels at a time: one float
// lane per pixel, the same operations on the same floats in the same order,
// so every lane rounds exactly as the scalar code does and the bytes out
// are the same. Where the road differs (the hue's branch taken from tables,
// the sextant by truncation, the scale a by a min) the comments say why the
// floats come out the same, and check_hcy_passes tries every colour. Float
// operations are never fused here (the vector files are not built for FMA,
// or, where AVX-512 brings it along, with contraction off), and the compares
// and min / max are picked so that equal, zero and NaN operands go the way
// the scalar branches go.
//
// Included only by MixRunsVector.h, under the same rules: internal linkage,
// no call to another header's inline functions.

#include "pixels/BlendModes.h"
#include "pixels/Hcy.h"

#include <cfloat>

template <class L> struct HcyVector {
    using Flt = typename L::Flt;
    using Vec = typename L::Vec;

    static constexpr uint32_t kAllLanes = (uint32_t(1) << (L::kBytes / 4)) - 1; // movemask_ps bits

    // A pixel's channel bytes, each in its own 32-bit lane
    // (L::ChannelOfPixels: L::ByteOfPixels, or another way to the same lanes
    // that is faster here).
    struct Bytes3 {
        Vec red, green, blue;
    };
    // The same as fractions of 255 (byte x 1/255).
    struct Fractions {
        Flt r, g, b;
    };
    // A colour's pure hue as offsets from its luma per unit of chroma (red,
    // green, blue), and the colour's chroma.
    struct HueOf {
        Flt offset[3];
        Flt chroma;
    };

    static Bytes3 ChannelsOf(Vec pixels) {
        return {L::template ChannelOfPixels<2>(pixels), L::template ChannelOfPixels<1>(pixels),
                L::template ChannelOfPixels<0>(pixels)};
    }

    static Fractions FractionsOf(const Bytes3& c) {
        const Flt inv255 = L::set1_ps(kHcyInv255);
        return {L::mul_ps(L::cvtepi32_ps(c.red), inv255), L::mul_ps(L::cvtepi32_ps(c.green), inv255),
                L::mul_ps(L::cvtepi32_ps(c.blue), inv255)};
    }

    // Largest minus smallest channel: no channel is negative or NaN, so which
    // of two equal values a min or max keeps does not matter.
    static Flt Chroma(const Fractions& f) {
        return L::sub_ps(L::max_ps(L::max_ps(f.r, f.g), f.b), L::min_ps(L::min_ps(f.r, f.g), f.b));
    }

    static Flt Luma(const Fractions& f) {
        return L::add_ps(L::add_ps(L::mul_ps(L::set1_ps(0.11f), f.b), L::mul_ps(L::set1_ps(0.59f), f.g)),
                         L::mul_ps(L::set1_ps(0.3f), f.r));
    }

    // kHueOrders' sign and start for each lane. Where the lanes permute
    // (AVX2, AVX-512) the order index picks them from the tables; SSE2 has no
    // such shuffle, and there the same rules as masks cost far less than
    // eight-way picks.
    static void SignAndStart(const Bytes3& c, Flt& sign, Flt& start) {
        const Vec greenOverRed = L::cmpgt_epi32(c.green, c.red), blueOverRed = L::cmpgt_epi32(c.blue, c.red);
        const Vec blueOverGreen = L::cmpgt_epi32(c.blue, c.green);
        if constexpr (L::kPermutes) {
            const Vec order = L::sub_epi32(
                L::add_epi32(L::and_si(blueOverRed, L::set1_epi32(2)), L::and_si(blueOverGreen, L::set1_epi32(4))),
                greenOverRed);
            sign = L::template PickOf<8>(kHueOrders.sign, order);
            start = L::template PickOf<8>(kHueOrders.start, order);
        } else {
            const Vec notRed = L::or_si(greenOverRed, blueOverRed);
            const Vec green = L::andnot_si(blueOverGreen, greenOverRed), blue = L::and_si(blueOverRed, blueOverGreen);
            const Vec redBelowZero = L::andnot_si(notRed, blueOverGreen);
            const Vec negative =
                L::or_si(L::or_si(redBelowZero, L::andnot_si(blueOverRed, green)), L::and_si(blue, greenOverRed));
            auto only = [](Vec mask, float value) { return L::and_ps(L::castsi_ps(mask), L::set1_ps(value)); };
            sign = only(negative, -0.0f);
            start = L::or_ps(L::or_ps(only(redBelowZero, 360.0f), only(green, 120.0f)), only(blue, 240.0f));
        }
    }

    // ToHcy's hue and chroma, and from the hue FromHcy's sextant, t and
    // offsets per unit of chroma. A grey has chroma 0 and order index 0
    // (red, nothing added): its quotient 0 / FLT_MIN is 0, so its hue is 0
    // as ToHcy gives it, with no lanes of its own.
    static HueOf Hue(const Bytes3& c, const Fractions& f) {
        Flt sign, start;
        SignAndStart(c, sign, start);
        const Flt lowPair = L::min_ps(f.r, f.g), highPair = L::max_ps(f.r, f.g);
        const Flt smallest = L::min_ps(lowPair, f.b);
        const Flt median = L::max_ps(lowPair, L::min_ps(highPair, f.b));
        HueOf out;
        out.chroma = L::sub_ps(L::max_ps(highPair, f.b), smallest);
        const Flt difference = L::xor_ps(L::sub_ps(median, smallest), sign);
        const Flt turn =
            L::div_ps(L::mul_ps(L::set1_ps(60.0f), difference), L::max_ps(out.chroma, L::set1_ps(FLT_MIN)));
        const Flt hue = L::mul_ps(L::add_ps(turn, start), L::set1_ps(kHcyInv360));
        const Vec sextant = L::cvttps_epi32(L::sub_ps(L::mul_ps(hue, L::set1_ps(6.0f)), L::set1_ps(kSextantNudge)));
        const Flt t = L::mul_ps(L::set1_ps(6.0f), L::sub_ps(hue, L::template PickOf<6>(kHueSextants.origin, sextant)));
        auto offset = [&](int c) {
            return L::add_ps(L::template PickOf<6>(kHueSextants.offsetBase[c], sextant),
                             L::mul_ps(L::template PickOf<6>(kHueSextants.offsetSlope[c], sextant), t));
        };
        // Written out rather than looped: the loop is not unrolled at -O2 and
        // would keep the offsets in memory.
        out.offset[0] = offset(0);
        out.offset[1] = offset(1);
        out.offset[2] = offset(2);
        return out;
    }

    // ChannelByte before its clamp: value x 255 + 0.5, truncated. The values
    // FromHcy meets lie within a few units of 0 to 1 (a is 0 to 1, each
    // offset times the chroma within 1 or so), so the truncation is in range
    // and only a NaN gives the integer indefinite, which is negative;
    // L::PixelsOf clamps to 0 to 255 as ChannelByte does (a NaN gives 0).
    static Vec ChannelValue(Flt value) {
        return L::cvttps_epi32(L::add_ps(L::mul_ps(value, L::set1_ps(255.0f)), L::set1_ps(0.5f)));
    }

    // FromHcy, as pixels (blue, green, red, 0), for the hues, chromas and
    // lumas the modes give: luma 0 to 1 (white gives exactly 1 in both kinds
    // of luma, and every step is monotonic). FromHcy's grey branch (chroma 0;
    // no hue is negative) needs no lanes of its own: with chroma 0 every
    // offset is a zero, neither bound is crossed (luma + 0 is neither above
    // 1 nor below 0), a stays 1 and each channel is ChannelByte(luma + 0),
    // the grey's own byte.
    //
    // The scale a: where the top is crossed, (1 - luma) / hi, which is then
    // at most 1 (luma + hi > 1 means 1 - luma, rounded, is at most hi);
    // otherwise 1. Where the bottom is crossed, luma / -lo replaces it if
    // smaller: a min of the two, the unused side standing at 1. Most
    // registers of a picture cross neither bound in any lane, and there a
    // is 1 throughout and d x 1 is d: the divisions are skipped.
    static Vec FromHcy(const Flt offset[3], Flt chroma, Flt luma) {
        const Flt d[3] = {L::mul_ps(offset[0], chroma), L::mul_ps(offset[1], chroma), L::mul_ps(offset[2], chroma)};
        const Flt hi = L::max_ps(L::max_ps(d[0], d[1]), d[2]);
        const Flt lo = L::min_ps(L::min_ps(d[0], d[1]), d[2]);
        const Flt one = L::set1_ps(1.0f);
        const Flt belowTop = L::cmpngt_ps(L::add_ps(luma, hi), one);
        const Flt aboveBottom = L::cmpnlt_ps(L::add_ps(luma, lo), L::set1_ps(0.0f));
        if (L::movemask_ps(L::and_ps(belowTop, aboveBottom)) == kAllLanes)
            return L::PixelsOf(ChannelValue(L::add_ps(luma, d[2])), ChannelValue(L::add_ps(luma, d[1])),
                               ChannelValue(L::add_ps(luma, d[0])));
        // A quotient that does not apply is made all ones, a NaN, which a
        // min passes over (its second operand is kept).
        const Flt toWhite = L::or_ps(L::div_ps(L::sub_ps(one, luma), hi), belowTop);
        const Flt toBlack = L::or_ps(L::div_ps(luma, L::xor_ps(lo, L::set1_ps(-0.0f))), aboveBottom);
        const Flt a = L::min_ps(toWhite, L::min_ps(toBlack, one));
        return L::PixelsOf(ChannelValue(L::add_ps(luma, L::mul_ps(d[2], a))),
                           ChannelValue(L::add_ps(luma, L::mul_ps(d[1], a))),
                           ChannelValue(L::add_ps(luma, L::mul_ps(d[0], a))));
    }

    // The colour the mode makes of target pixels t and layer pixels l. The
    // hue, with its long chain of dependent steps, is begun first: the
    // processor fills its waits with the other colour's work.
    template <uint8_t kCode> static Vec Blended(Vec t, Vec l) {
        switch (kCode) {
        case kBlendHue: {
            const Bytes3 lb = ChannelsOf(l);
            const HueOf h = Hue(lb, FractionsOf(lb));
            const Fractions tf = FractionsOf(ChannelsOf(t));
            return FromHcy(h.offset, Chroma(tf), Luma(tf));
        }
        case kBlendSaturation: {
            const Bytes3 tb = ChannelsOf(t);
            const Fractions tf = FractionsOf(tb);
            const HueOf h = Hue(tb, tf);
            return FromHcy(h.offset, Chroma(FractionsOf(ChannelsOf(l))), Luma(tf));
        }
        case kBlendColor: {
            const Bytes3 lb = ChannelsOf(l);
            const HueOf h = Hue(lb, FractionsOf(lb));
            const Bytes3 tb = ChannelsOf(t);
            return FromHcy(h.offset, h.chroma, L::LumaOfBytes(tb.red, tb.green, tb.blue));
        }
        default: { // kBlendLuminosity
            const Bytes3 tb = ChannelsOf(t);
            const HueOf h = Hue(tb, FractionsOf(tb));
            const Bytes3 lb = ChannelsOf(l);
            return FromHcy(h.offset, h.chroma, L::LumaOfBytes(lb.red, lb.green, lb.blue));
        }
        }
    }
};
