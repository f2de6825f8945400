#pragma once
// The passes of MixRuns.h as one set per instruction set. The functions of
// MixRuns.h run the widest set this processor has; the tests and the fuzz
// target check every set it can run against the scalar passes, so a
// narrower set stays checked on a processor that would not pick it.

#include <cstddef>
#include <cstdint>

// A set's passes do whole registers of pixels and return how many pixels
// they did; the ...With functions below finish the tail one byte at a time.
struct MixRunPasses {
    const char* name;
    size_t vectorBytes;
    size_t (*mixLayerPixels)(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count,
                             uint8_t opacity);
    // False, with nothing done, for a code without a vector formula.
    bool (*blendByFormula)(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity,
                           size_t* done);
    size_t (*addLayerPixels)(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);
    size_t (*subtractLayerPixels)(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);
    size_t (*mixCoverage)(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour);
    size_t (*hcyLayerPixels)(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);
};

// The vector sets this processor runs, narrowest first; null past the last
// (at once in a build without vector passes).
const MixRunPasses* MixRunPassesAt(size_t index);

// The passes of MixRuns.h through one set, the same bytes out
// (MixRunsWith.cpp).
void MixLayerPixelsWith(const MixRunPasses& set, uint8_t* target, const uint8_t* blended, const uint8_t* layer,
                        size_t count, uint8_t opacity);
bool BlendByFormulaWith(const MixRunPasses& set, uint8_t code, uint8_t* target, const uint8_t* layer, size_t count,
                        uint8_t opacity);
void AddLayerPixelsWith(const MixRunPasses& set, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);
void SubtractLayerPixelsWith(const MixRunPasses& set, uint8_t* target, const uint8_t* layer, size_t count,
                             uint8_t opacity);
void MixCoverageWith(const MixRunPasses& set, uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity,
                     uint32_t colour);
void HcyLayerPixelsWith(const MixRunPasses& set, uint8_t code, uint8_t* target, const uint8_t* layer, size_t count,
                        uint8_t opacity);

// The instruction sets' own files (MixRuns_sse2.cpp, MixRuns_avx2.cpp,
// MixRuns_avx512.cpp).
MixRunPasses Sse2MixRunPasses();
MixRunPasses Avx2MixRunPasses();
MixRunPasses Avx512MixRunPasses();
