#pragma once
// The separable blend formulas of the vector passes, a register at a time
// (d the picture, s the layer), each the scalar formula lane by lane:
// products of two bytes and the division by 255 fit 16-bit lanes exactly;
// the divisions of Dodge, Burn and Vivid light are float lanes, one per
// pixel and channel (L::Flt). The lanes are those of MixRunsWalk.h, and
// L::PixelsOf and L::ByteOfPixels move bytes of pixels to and from 32-bit
// lanes.
//
// Included only through MixRunsVector.h, under its rules: internal linkage,
// no call to another header's inline functions.

#include "pixels/MixRunsWalk.h"

template <class L> struct VectorFormulas {
    using Vec = typename L::Vec;
    using Flt = typename L::Flt;
    using Walk = VectorWalk<L>;

    // The formulas with a vector form: every separable one but Normal.
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
        const Vec zero = L::setzero();
        // Bytes of 128 and more have their top bit set: signed, they are negative.
        const Vec upper = L::cmplt_epi8(decider, zero);
        const Vec a = L::xor_si(d, upper), b = L::xor_si(s, upper);
        const Vec low = L::srli_epi16_7(L::mullo_epi16(L::unpacklo_epi8(a, zero), L::unpacklo_epi8(b, zero)));
        const Vec high = L::srli_epi16_7(L::mullo_epi16(L::unpackhi_epi8(a, zero), L::unpackhi_epi8(b, zero)));
        return L::xor_si(L::packus_epi16(low, high), upper);
    }

    // m + (d + s - 2m) x d / 255 with m = d x s / 255, in 16-bit lanes. The
    // table's form, m + (255 - k - m) x d / 255 with k = (255 - d) x
    // (255 - s) / 255, is the same: k = 255 - d - s + m exactly, since
    // (255 - d)(255 - s) = 255 (255 - d - s) + d x s. So two products do.
    static Vec SoftLit(Vec d, Vec s) {
        const Vec zero = L::setzero();
        auto half = [](Vec d16, Vec s16) {
            const Vec m = Walk::DivideBy255x8(L::mullo_epi16(d16, s16));
            const Vec x = L::sub_epi16(L::add_epi16(d16, s16), L::add_epi16(m, m));
            return L::add_epi16(m, Walk::DivideBy255x8(L::mullo_epi16(x, d16)));
        };
        return L::packus_epi16(half(L::unpacklo_epi8(d, zero), L::unpacklo_epi8(s, zero)),
                               half(L::unpackhi_epi8(d, zero), L::unpackhi_epi8(s, zero)));
    }

    // For each colour byte: 255 where x >= q (q = 0 included), otherwise
    // 255 x / q rounded down, which is then below 255. The division is done
    // in floats, one lane per pixel and channel: 255 x and q are exact, the
    // quotient is correctly rounded, and a true quotient below 255 lies at
    // least 1 / q below the next whole number, far more than its rounding
    // can move it, so truncating gives the exact result; from 255 on (and
    // for x / 0) the minimum with 255 gives 255. Byte 3 comes out 0.
    static Vec Ratio255(Vec x, Vec q) {
        const Flt k255 = L::set1_ps(255.0f);
        auto channel = [&](Vec xc, Vec qc) {
            return L::cvttps_epi32(L::min_ps(L::div_ps(L::mul_ps(L::cvtepi32_ps(xc), k255), L::cvtepi32_ps(qc)), k255));
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
        const Vec rest = L::xor_si(s, L::set1_epi8(-1));
        const Vec x = L::subs_epu8(d, L::subs_epu8(rest, s));
        const Vec half = L::min_epu8(s, rest);
        const Vec oneAtZero = L::and_si(L::cmpeq_epi8(s, L::setzero()), L::set1_epi8(1));
        return Ratio255(x, L::or_si(L::add_epi8(half, half), oneAtZero));
    }

    template <Formula F> static Vec Blended(Vec d, Vec s) {
        switch (F) {
        case Formula::Multiply:
            return Walk::ScaledBytes(d, s);
        case Formula::Screen: // d + s - d x s / 255 never leaves 0 to 255
            return L::sub_epi8(L::add_epi8(d, s), Walk::ScaledBytes(d, s));
        case Formula::Overlay:
            return Overlaid(d, s, d);
        case Formula::SoftLight:
            return SoftLit(d, s);
        case Formula::HardLight:
            return Overlaid(d, s, s);
        case Formula::Dodge: // 255 d / (255 - s), at most 255
            return Ratio255(d, L::xor_si(s, L::set1_epi8(-1)));
        case Formula::Burn: // 255 - 255 (255 - d) / s, at least 0
            return L::xor_si(Ratio255(L::xor_si(d, L::set1_epi8(-1)), s), L::set1_epi8(-1));
        case Formula::VividLight:
            return VividLit(d, s);
        case Formula::LinearLight: {
            // d + 2s - 255 is d plus 2s - 255 from 128 on and d minus
            // 255 - 2s below; the other difference saturates to 0.
            const Vec rest = L::xor_si(s, L::set1_epi8(-1));
            return L::subs_epu8(L::adds_epu8(d, L::subs_epu8(s, rest)), L::subs_epu8(rest, s));
        }
        case Formula::PinLight: {
            // min(d, 2s) below 128 and max(d, 2s - 255) from it on, as one
            // clamp of d between max(0, 2s - 255) and min(255, 2s).
            const Vec rest = L::xor_si(s, L::set1_epi8(-1));
            return L::min_epu8(L::max_epu8(d, L::subs_epu8(s, rest)), L::adds_epu8(s, s));
        }
        case Formula::LinearBurn: // max(0, d + s - 255) = max(0, d - (255 - s))
            return L::subs_epu8(d, L::sub_epi8(L::set1_epi8(-1), s));
        case Formula::Difference:
            return L::sub_epi8(L::max_epu8(d, s), L::min_epu8(d, s));
        case Formula::Lighten:
            return L::max_epu8(d, s);
        case Formula::Darken:
            return L::min_epu8(d, s);
        }
        return s;
    }
};
