#pragma once
// How the vector passes walk the pixels, written once for any vector width:
// which registers of a run are clear, opaque or soft, and how a register of
// picture pixels moves towards a colour by its weights. What each pass
// blends is the formulas' part (MixRunsFormulas.h); MixRunsVector.h puts the
// two together.
//
// L gives the lanes: L::Vec is a register of L::kBytes bytes (16 with SSE2,
// 32 with AVX2, 64 with AVX-512) and L's functions are that width's
// instructions under the names of the SSE2 ones without the _mm_ prefix,
// compares giving lanes of all ones or all zeros as SSE2's do. L::Mask holds
// a movemask of the bytes. Only the byte order within each 16-byte lane
// matters: unpacking and packing stay within a 16-byte lane on every width,
// so the same steps give the same bytes. Products of two bytes and the
// division by 255 fit 16-bit lanes exactly.
//
// Included only through MixRunsVector.h, under its rules: internal linkage,
// no call to another header's inline functions.

#include "pixels/Mix.h"

#include <cstddef>
#include <cstdint>

template <class L> struct VectorWalk {
    using Vec = typename L::Vec;
    using Mask = typename L::Mask;

    static constexpr size_t kBytes = L::kBytes;
    static constexpr size_t kPixels = kBytes / 4; // pixels per register
    // Movemask bits (L::Mask holds one per byte): all of a register's bytes,
    // and those of the alpha bytes.
    static constexpr Mask kAllBits = Mask(~uint64_t(0) >> (64 - kBytes));
    static constexpr Mask kAlphaBits = Mask(0x8888888888888888u) & kAllBits;

    static Vec Load(const uint8_t* p) { return L::loadu(p); }
    static void Store(uint8_t* p, Vec v) { L::storeu(p, v); }

    // x / 255 in each 16-bit lane, as x * 0x8081 >> 23: one multiply keeping
    // the high half and one shift. 0x8081 / 2^23 exceeds 1 / 255 by so little
    // that the quotient is exact for every 16-bit x, products of two bytes
    // included; the pixel-run tests meet every such product.
    static Vec DivideBy255x8(Vec x) { return L::srli_epi16_7(L::mulhi_epu16(x, L::set1_epi16(int16_t(0x8081)))); }

    // DivideBy255(a[k] * b[k]) for every byte pair.
    static Vec ScaledBytes(Vec a, Vec b) {
        const Vec zero = L::setzero();
        const Vec low = DivideBy255x8(L::mullo_epi16(L::unpacklo_epi8(a, zero), L::unpacklo_epi8(b, zero)));
        const Vec high = DivideBy255x8(L::mullo_epi16(L::unpackhi_epi8(a, zero), L::unpackhi_epi8(b, zero)));
        return L::packus_epi16(low, high);
    }

    static Vec OpacityLanes(uint8_t opacity) {
        return L::set1_epi16(int16_t(opacity > kFullOpacity ? kFullOpacity : opacity));
    }

    // The weights of the layer pixels, as bytes w, w, w, 0. In 32-bit lanes
    // the alpha sits in the low 16 bits and the high 16 are zero, so a 16-bit
    // multiply by the opacity leaves the high halves zero; w x 0x0101 is then
    // w in both bytes of the low 16 bits (w < 256: no carry).
    static Vec AlphaWeights(Vec pixels, Vec opacity) {
        const Vec w32 = L::srli_epi32_7(L::mullo_epi16(L::srli_epi32_24(pixels), opacity));
        return L::or_si(L::mullo_epi16(w32, L::set1_epi16(0x0101)), L::slli_epi32_16(w32));
    }

    // MixChannel for every byte. Of the two saturated differences one is 0
    // and the other the distance; the step (at most the distance) is added
    // towards a larger value and taken off towards a smaller one, and the
    // minimum with each difference picks which without a compare.
    static Vec Mixed(Vec t, Vec f, Vec weights) {
        const Vec rise = L::subs_epu8(f, t), fall = L::subs_epu8(t, f);
        const Vec step = ScaledBytes(L::or_si(rise, fall), weights);
        return L::sub_epi8(L::add_epi8(t, L::min_epu8(step, rise)), L::min_epu8(step, fall));
    }

    static bool AllClear(Vec weights) { return L::movemask_epi8(L::cmpeq_epi8(weights, L::setzero())) == kAllBits; }

    // The colour bytes of f with byte 3 of t: the picture's byte 3 is never changed.
    static Vec ColourOf(Vec f, Vec t) {
        const Vec alphaBytes = L::set1_epi32(int32_t(0xFF000000u));
        return L::or_si(L::andnot_si(alphaBytes, f), L::and_si(alphaBytes, t));
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
    // layer pixels), which takes the blended colour bytes as they are
    // (MixChannel at weight 255 is the blended value); any other to
    // part(byte offset, layer pixels, weights) unless its weights are all 0.
    // Both tests look at the layer's alpha bytes alone, before any weight is
    // worked out. part never meets weights that are all 255.
    //
    // Painted layers are mostly wholly clear or wholly opaque over long
    // stretches, with soft edges between, so a cache line of registers is
    // told clear or opaque by one test of them all (or-ed, and and-ed), and
    // only a line of both kinds is tested register by register. The tests
    // cost far less than the mix they skip, and the runs keep the branches
    // predictable.
    template <class Whole, class Part>
    static size_t ForEachCoveredGroup(const uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity,
                                      Whole whole, Part part) {
        const Vec o = OpacityLanes(opacity);
        const Vec zero = L::setzero(), ones = L::set1_epi8(-1);
        const bool fullOpacity = opacity >= kFullOpacity;
        const size_t walked = count - count % kPixels, bytes = 4 * walked;
        auto one = [&](size_t k, Vec l) {
            if ((L::movemask_epi8(L::cmpeq_epi8(l, zero)) & kAlphaBits) == kAlphaBits)
                return;
            if (fullOpacity && (L::movemask_epi8(L::cmpeq_epi8(l, ones)) & kAlphaBits) == kAlphaBits) {
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
                L::prefetch(layer + k + kAheadBytes);
                L::prefetch(target + k + kAheadBytes);
            }
            Vec l[kPerLine];
            Vec all = l[0] = Load(layer + k), any = all;
            for (size_t r = 1; r < kPerLine; ++r) {
                l[r] = Load(layer + k + r * kBytes);
                all = L::and_si(all, l[r]);
                any = L::or_si(any, l[r]);
            }
            if ((L::movemask_epi8(L::cmpeq_epi8(any, zero)) & kAlphaBits) == kAlphaBits)
                continue;
            if (fullOpacity && (L::movemask_epi8(L::cmpeq_epi8(all, ones)) & kAlphaBits) == kAlphaBits) {
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

    // The coverage layers' pass: pixels move towards one colour by weights
    // from a byte each.
    static size_t MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity,
                              uint32_t colour) {
        const Vec o = OpacityLanes(opacity);
        const Vec zero = L::setzero(), ones = L::set1_epi8(-1);
        const Vec colours = L::set1_epi32(int32_t(colour & 0xFFFFFF));
        size_t i = 0;
        // A register of coverage bytes gives as many weights at once (at most
        // 255 x 128 >> 7 = 255, so they pack back into bytes), the weights of
        // four registers of pixels: a clear stretch of a tile costs one test,
        // and each register of pixels is told clear, full or soft from the
        // same two compares.
        for (; i + kBytes <= count; i += kBytes) {
            const Vec c = Load(coverage + i);
            const Vec low = L::srli_epi16_7(L::mullo_epi16(L::unpacklo_epi8(c, zero), o));
            const Vec high = L::srli_epi16_7(L::mullo_epi16(L::unpackhi_epi8(c, zero), o));
            const Vec w = L::packus_epi16(low, high);
            const Mask clear = L::movemask_epi8(L::cmpeq_epi8(w, zero));
            if (clear == kAllBits)
                continue;
            const Mask full = L::movemask_epi8(L::cmpeq_epi8(w, ones));
            uint8_t* p = pixels + 4 * i;
            MixCoverageGroup<0>(p, colours, w, clear, full);
            MixCoverageGroup<1>(p, colours, w, clear, full);
            MixCoverageGroup<2>(p, colours, w, clear, full);
            MixCoverageGroup<3>(p, colours, w, clear, full);
        }
        return i;
    }
};
