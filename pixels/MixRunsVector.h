#pragma once
// The vector passes of MixRuns.h, written once for any vector width: the
// walk over the pixels (MixRunsWalk.h) with the blend formulas
// (MixRunsFormulas.h) or the HCY modes (MixRunsHcy.h) in it. L gives the
// lanes, as MixRunsWalk.h says. Each pass returns the pixels it did, whole
// registers; the tail is left to the caller (MixRunsWith.cpp).
//
// Included only by the files that define the lanes (MixRuns_sse2.cpp,
// MixRuns_avx2.cpp, MixRuns_avx512.cpp), each compiled for its own
// instruction set. Whatever such a file compiles is its own: the lanes and
// these passes have internal linkage, and nothing here calls an inline
// function of another header, so the linker can never pick a copy built for
// a wider instruction set for code that runs on a processor without it.

#include "pixels/BlendModes.h"
#include "pixels/MixRunPasses.h"
#include "pixels/MixRunsFormulas.h"
#include "pixels/MixRunsHcy.h"
#include "pixels/MixRunsWalk.h"

template <class L> struct VectorPasses {
    using Vec = typename L::Vec;
    using Walk = VectorWalk<L>;
    using Formulas = VectorFormulas<L>;
    using Formula = typename Formulas::Formula;

    template <Formula F>
    static size_t BlendAndMix(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return Walk::ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) {
                const Vec t = Walk::Load(target + k);
                Walk::Store(target + k, Walk::ColourOf(Formulas::template Blended<F>(t, l), t));
            },
            [target](size_t k, Vec l, Vec w) {
                const Vec t = Walk::Load(target + k);
                Walk::Store(target + k, Walk::Mixed(t, Formulas::template Blended<F>(t, l), w));
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
        return Walk::ForEachCoveredGroup(
            target, layer, count, opacity,
            [target, blended](size_t k, Vec) {
                Walk::Store(target + k, Walk::ColourOf(Walk::Load(blended + k), Walk::Load(target + k)));
            },
            [target, blended](size_t k, Vec, Vec w) {
                Walk::Store(target + k, Walk::Mixed(Walk::Load(target + k), Walk::Load(blended + k), w));
            });
    }

    static size_t AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return Walk::ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) {
                Walk::Store(target + k, L::adds_epu8(Walk::Load(target + k), Walk::ColourOf(l, L::setzero())));
            },
            [target](size_t k, Vec l, Vec w) {
                Walk::Store(target + k, L::adds_epu8(Walk::Load(target + k), Walk::ScaledBytes(l, w)));
            });
    }

    static size_t SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return Walk::ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) {
                Walk::Store(target + k, L::subs_epu8(Walk::Load(target + k), Walk::ColourOf(l, L::setzero())));
            },
            [target](size_t k, Vec l, Vec w) {
                Walk::Store(target + k, L::subs_epu8(Walk::Load(target + k), Walk::ScaledBytes(l, w)));
            });
    }

    template <uint8_t kCode> static size_t Hcy(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
        return Walk::ForEachCoveredGroup(
            target, layer, count, opacity,
            [target](size_t k, Vec l) {
                const Vec t = Walk::Load(target + k);
                Walk::Store(target + k, Walk::ColourOf(HcyVector<L>::template Blended<kCode>(t, l), t));
            },
            [target](size_t k, Vec l, Vec w) {
                const Vec t = Walk::Load(target + k);
                Walk::Store(target + k, Walk::Mixed(t, HcyVector<L>::template Blended<kCode>(t, l), w));
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
        return {name,           Walk::kBytes,        MixLayerPixels,    BlendByFormula,
                AddLayerPixels, SubtractLayerPixels, Walk::MixCoverage, HcyLayerPixels};
    }
};
