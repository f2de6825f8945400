#pragma once
// The area reduction's ratio loops for the instruction sets beyond SSE2,
// which AreaReduceRows_sse2.cpp runs where the processor does (x86-64
// only).

#include "pixels/AreaReduceRows.h"

#include <cstdint>

// The output pixels of one output row, at a ratio the SSE2 loops take
// (IsRatio in AreaReduceRatios_sse2.h), made straight from its count rows
// and their weights with AVX2; a whole number of its groups, or 0 where it
// takes no such rows (more than four, or a weight above 127). The rest are
// left to the caller.
int32_t Avx2RatioPixels(const uint8_t* const* rows, const int16_t* weights, int count, const AcrossPlan& across,
                        int32_t outWidth, uint8_t* out);

// Where both sides go 4 to 3 (the plan one of those ratios): output rows
// 3 r0 + r1, 2 r1 + 2 r2 and r2 + 3 r3 of the four rows r0 to r3 at once,
// into out[0] to out[2], with AVX2. Returns the output pixels made in each,
// a whole number of groups; the rest are left to the caller.
int32_t Avx2FourRowsToThree(const uint8_t* const* rows, const AcrossPlan& across, int32_t outWidth,
                            uint8_t* const* out);
