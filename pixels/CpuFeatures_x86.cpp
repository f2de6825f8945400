// The processor feature checks behind CpuFeatures.h.
#include "pixels/CpuFeatures.h"

#include <cstdint>

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

} // namespace

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
