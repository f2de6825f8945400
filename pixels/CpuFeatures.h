#pragma once
// What the processor and the system run beyond SSE2, which every x86-64
// processor has: asked of the processor each time, so callers keep the
// answer (the blend passes and the area reduction pick their loops once).
// x86-64 only (CpuFeatures_x86.cpp).

// AVX2: the instructions, and a system that saves the 256-bit registers on
// a thread switch.
bool RunsAvx2();

// AVX-512 F, DQ, BW and VL, and a system that saves all 512 bits of all 32
// vector registers and the mask registers.
bool RunsAvx512();
