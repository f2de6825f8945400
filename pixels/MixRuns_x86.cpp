// The passes on x86-64: SSE2, which every such processor has, or the widest
// of AVX2 and AVX-512 that the processor and the system run, picked once on
// first use.
#include "pixels/MixRunPasses.h"
#include "pixels/MixRuns.h"

#include "pixels/CpuFeatures.h"

#include <xmmintrin.h>

namespace {

struct Sets {
    MixRunPasses sets[3];
    size_t count = 0;
    Sets() {
        sets[count++] = Sse2MixRunPasses();
        if (RunsAvx2())
            sets[count++] = Avx2MixRunPasses();
        // The AVX-512 file is compiled with AVX2 as well, which the compiler
        // may use anywhere in it: it runs only where AVX2 does.
        if (count == 2 && RunsAvx512())
            sets[count++] = Avx512MixRunPasses();
    }
};

const Sets& AvailableSets() {
    static const Sets sets; // built once, by whichever thread comes first
    return sets;
}

const MixRunPasses& Widest() {
    const Sets& s = AvailableSets();
    return s.sets[s.count - 1];
}

} // namespace

const MixRunPasses* MixRunPassesAt(size_t index) {
    const Sets& s = AvailableSets();
    return index < s.count ? &s.sets[index] : nullptr;
}

void MixLayerPixels(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count, uint8_t opacity) {
    MixLayerPixelsWith(Widest(), target, blended, layer, count, opacity);
}

bool BlendByFormula(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    return BlendByFormulaWith(Widest(), code, target, layer, count, opacity);
}

void AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    AddLayerPixelsWith(Widest(), target, layer, count, opacity);
}

void SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    SubtractLayerPixelsWith(Widest(), target, layer, count, opacity);
}

void MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour) {
    MixCoverageWith(Widest(), pixels, coverage, count, opacity, colour);
}

void HcyLayerPixels(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    HcyLayerPixelsWith(Widest(), code, target, layer, count, opacity);
}

void PrefetchPixels(const uint8_t* pixels, size_t count) {
    // One hint per 64-byte cache line, the last line included.
    for (size_t k = 0; k < count; k += 64)
        _mm_prefetch(reinterpret_cast<const char*>(pixels + k), _MM_HINT_T0);
    if (count > 0)
        _mm_prefetch(reinterpret_cast<const char*>(pixels + count - 1), _MM_HINT_T0);
}
