// The passes on x86-64: SSE2, which every such processor has, or the widest
// of AVX2 and AVX-512 that the processor and the system run, picked once on
// first use.
#include "decode/MixRunPasses.h"
#include "decode/MixRuns.h"

#include <xmmintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif

namespace {

// XCR0: the registers the system saves on a thread switch. XGETBV faults
// unless the system enabled it (OSXSAVE, CPUID leaf 1, ECX bit 27): 0 then.
uint64_t SavedRegisters() {
#if defined(_MSC_VER) && !defined(__clang__)
    int leaf1[4];
    __cpuid(leaf1, 1);
    return (leaf1[2] & (1 << 27)) != 0 ? _xgetbv(0) : 0;
#else
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || (ecx & bit_OSXSAVE) == 0)
        return 0;
    unsigned low, high;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return uint64_t(high) << 32 | low;
#endif
}

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

// The AVX-512 set needs F, DQ, BW and VL (CPUID leaf 7, EBX bits 16, 17, 30
// and 31) and a system that saves the mask registers and all 512 bits of
// all 32 vector registers as well (XCR0 bits 5, 6 and 7 with the SSE and
// AVX ones).
bool RunsAvx512() {
    constexpr uint64_t kState = 0xE6;
    if ((SavedRegisters() & kState) != kState)
        return false;
#if defined(_MSC_VER) && !defined(__clang__)
    int leaf0[4], leaf7[4];
    __cpuid(leaf0, 0);
    if (leaf0[0] < 7)
        return false;
    __cpuidex(leaf7, 7, 0);
    constexpr unsigned kFeatures = (1u << 16) | (1u << 17) | (1u << 30) | (1u << 31);
    return (unsigned(leaf7[1]) & kFeatures) == kFeatures;
#else
    // libgcc (GCC 12, native and mingw-w64) reports these features only where
    // XCR0 has all of kState, and compiler-rt likewise; the state is read
    // above all the same, so that no runtime's version is relied on.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
#endif
}

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
