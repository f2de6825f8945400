#pragma once
// The area reduction's 32-bit sum loops with AVX2, which
// AreaReduceRows_sse2.cpp runs where the processor does (x86-64 only), for
// the sizes that share no small divisor with the picture's, such as the
// picture fitted to the window.

#include "pixels/AreaReduceRows.h"

#include <cstddef>
#include <cstdint>

// SumRowsDownWide with AVX2, sixteen bytes at a time: returns the bytes
// done, all but the last few when bytes is no multiple of 16.
size_t Avx2SumRowsDownWide(uint32_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes);

// SumRowAcrossWide with AVX2: every output pixel, with the same pixels out.
void Avx2SumRowAcrossWide(const uint32_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out);
