// The passes on x86-64: SSE2, which every such processor has, or AVX2 where
// the processor and the system run it, picked once on first use.
#include "decode/MixRunPasses.h"
#include "decode/MixRuns.h"

#include <xmmintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace {

// AVX2 needs the instructions (CPUID leaf 7, EBX bit 5, on a processor that
// has leaf 7 at all) and a system that saves the 256-bit registers on a
// thread switch (OSXSAVE, and XCR0 with the SSE and AVX state bits).
bool RunsAvx2() {
#if defined(_MSC_VER) && !defined(__clang__)
    int leaf0[4], leaf1[4], leaf7[4];
    __cpuid(leaf0, 0);
    if (leaf0[0] < 7)
        return false;
    __cpuid(leaf1, 1);
    if ((leaf1[2] & (1 << 27)) == 0 || (leaf1[2] & (1 << 28)) == 0)
        return false;
    if ((_xgetbv(0) & 6) != 6)
        return false;
    __cpuidex(leaf7, 7, 0);
    return (leaf7[1] & (1 << 5)) != 0;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#endif
}

struct Sets {
    MixRunPasses sets[2];
    size_t count = 0;
    Sets() {
        sets[count++] = Sse2MixRunPasses();
        if (RunsAvx2())
            sets[count++] = Avx2MixRunPasses();
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
