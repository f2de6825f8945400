#pragma once
// The inner loops of ReduceByArea for pictures whose weights stay small: an
// output row's weights together at most 128 down, so that a row summed down
// fits in 15 bits, and every weight across at most 32767 (and a wider road
// down for the rest). On x86-64 they are
// SSE2 loops (AreaReduceRows_sse2.cpp), which every such processor has;
// elsewhere plain ones (AreaReduceRows_scalar.cpp), with the same pixels out.

#include <cstddef>
#include <cstdint>

// sums[i] = the sum over t < count of weights[t] x rows[t][i], for i below
// bytes. Every sum is at most 32767.
void SumRowsDownShort(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes);

// The same with 32-bit sums, for the pictures whose rows summed down outgrow
// 15 bits; every weight is still at most 32767.
void SumRowsDownWide(uint32_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes);

// Output pixels across one row of sums (four per pixel: blue, green, red,
// and alpha, which is left out), each from `pairs` pairs of pixels: output
// pixel o takes sums pixels first[o] + 2j and first[o] + 2j + 1 for j below
// pairs, weighted by the low and high 16 bits of weights[o x pairs + j].
// Each total, plus half, becomes (total x magic) >> shift, worked out in 64
// bits, in which the product fits; alpha is 255.
// The pattern repeats every `period` sums pixels, which give `periodOut`
// output pixels (the side's lengths divided by their common divisor);
// `area` is the divisor.
struct AcrossShort {
    const int32_t* first;
    const uint32_t* weights;
    int32_t pairs;
    uint32_t half;
    uint64_t magic; // below 2^33
    int shift;
    uint32_t period;
    uint32_t periodOut;
    uint32_t area;
};
void SumRowAcrossShort(const int16_t* sums, const AcrossShort& across, int32_t outWidth, uint8_t* out);

// The same from 32-bit sums, each output pixel from `taps` pixels weighted
// by weights[o x taps + t]; every total below 2^32.
struct AcrossWide {
    const int32_t* first;
    const uint32_t* weights;
    int32_t taps;
    uint32_t half;
    uint64_t magic; // below 2^33
    int shift;
};
void SumRowAcrossWide(const uint32_t* sums, const AcrossWide& across, int32_t outWidth, uint8_t* out);
