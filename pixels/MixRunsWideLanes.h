#pragma once
// The lane steps that AVX2 and AVX-512 take alike, written once over either
// width's instructions (P). Both shuffle bytes within each 16-byte lane, so
// a pixel's bytes are moved with one shuffle where SSE2 needs shifts,
// masks and unpacks (MixRuns_sse2.cpp has its own forms of these steps).
//
// P gives, beside the lanes of MixRunsWalk.h: RepeatLanes (a LaneBytes in
// every 16-byte lane), shuffle_epi8 and packs_epi32; cvtepu8_epi32 (the low
// bytes of a 16-byte register widened to 32-bit lanes) and WeightBytes<g>
// (the coverage weights of MixCoverage's register g of pixels, at the bottom
// of a 16-byte register); 64-bit integer and double lanes (Dbl) for the
// luma, cvtpd_ps narrowing doubles to Half (floats for half the pixels) and
// InterleaveFloats joining the even and the odd pixels' Halves.
//
// Included only by MixRuns_avx2.cpp and MixRuns_avx512.cpp, under the rules
// of MixRunsVector.h: internal linkage (P is each file's own), and nothing
// but intrinsics called from another header.

#include "pixels/Hcy.h"

#include <cstdint>

// Sixteen bytes of a shuffle's order, the same in every 16-byte lane. Given
// as bytes rather than as a register so that each width makes its register
// the cheap way: GCC leaves a lane broadcast of a constant register to run
// time (a load and an insert with AVX2), while a register set from constant
// bytes is one constant, and a broadcast from memory one load.
struct LaneBytes {
    int8_t bytes[16];
};

template <class P> struct WideLanes : P {
    using Vec = typename P::Vec;
    using Flt = typename P::Flt;

    // Pixels (blue, green, red, 0) of channel values in 32-bit lanes, each
    // clamped to 0 to 255 by the saturating packs (a negative value gives 0):
    // each 16-byte lane packs to blues, greens, reds, reds, which one
    // shuffle interleaves.
    static Vec PixelsOf(Vec blue, Vec green, Vec red) {
        const Vec bytes = P::packus_epi16(P::packs_epi32(blue, green), P::packs_epi32(red, red));
        return P::shuffle_epi8(bytes, P::RepeatLanes({{0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1}}));
    }

    // Byte k of each pixel, zero-extended to its 32-bit lane.
    template <int k> static Vec ByteOfPixels(Vec pixels) {
        return P::shuffle_epi8(
            pixels, P::RepeatLanes({{k, -1, -1, -1, k + 4, -1, -1, -1, k + 8, -1, -1, -1, k + 12, -1, -1, -1}}));
    }

    // Weight bytes of register g of pixels (of the four a register of
    // coverage bytes weighs) as the weight words (w, w, w, 0) of its pixels:
    // the bytes widened to 32-bit lanes, then copied within each pixel.
    template <int g> static Vec CoverageWeightWords(Vec w) {
        const Vec words = P::cvtepu8_epi32(P::template WeightBytes<g>(w));
        return P::shuffle_epi8(words, P::RepeatLanes({{0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1}}));
    }

    // float(kLumaRed x red + kLumaGreen x green + kLumaBlue x blue) x 1/255
    // rounded once, in double precision. The sum is exact there: each
    // coefficient is a whole number of 2^-27, so the sum is red x R +
    // green x G + blue x B (below 2^36) times 2^-27, R, G and B being the
    // coefficients times 2^27. That whole number is made in 64-bit integer
    // lanes (even pixels, then odd ones), becomes a double by the 2^52 trick
    // (its bits under the exponent of 2^52, then 2^52 taken off: exact below
    // 2^52) and is multiplied by 1/255 x 2^-27, which rounds as the sum times
    // 1/255 does. Cheaper than widening each channel to doubles.
    static Flt LumaOfBytes(Vec red, Vec green, Vec blue) {
        const Vec r27 = P::set1_epi64(kLumaRed27), g27 = P::set1_epi64(kLumaGreen27);
        const Vec b27 = P::set1_epi64(kLumaBlue27);
        const Vec exponent = P::set1_epi64(int64_t(0x4330000000000000)); // the bits of 2^52
        auto half = [&](Vec r, Vec g, Vec b) { // the pixels in the low halves of the 64-bit lanes
            const Vec sum =
                P::add_epi64(P::add_epi64(P::mul_epu32(r, r27), P::mul_epu32(g, g27)), P::mul_epu32(b, b27));
            const auto whole = P::sub_pd(P::castsi_pd(P::or_si(sum, exponent)), P::set1_pd(0x1p52));
            return P::cvtpd_ps(P::mul_pd(whole, P::set1_pd(double(kHcyInv255) * 0x1p-27)));
        };
        return P::InterleaveFloats(half(red, green, blue),
                                   half(P::srli_epi64_32(red), P::srli_epi64_32(green), P::srli_epi64_32(blue)));
    }
};
