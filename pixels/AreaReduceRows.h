#pragma once
// The inner loops of ReduceByArea: rows summed down into a row of sums, and
// that row summed across into output pixels. Where an output row's weights
// together are at most 128 down, a row summed down fits in 15 bits (the
// small sums); otherwise it takes 32. On x86-64 they are SSE2 loops
// (AreaReduceRows_sse2.cpp), which every such processor has, with AVX2
// ones for the zoom menu's ratios (AreaReduceRatios_avx2.cpp) and the
// 32-bit sums (AreaReduceWide_avx2.cpp) where the processor runs them;
// elsewhere plain ones
// (AreaReduceRows_scalar.cpp), with the same pixels out.

#include <cstddef>
#include <cstdint>

// sums[i] = the sum over t < count of weights[t] x rows[t][i], for i below
// bytes. Every sum is at most 32767.
void SumRowsDownShort(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes);

// The same with 32-bit sums, for the pictures whose rows summed down outgrow
// 15 bits; every weight is still at most 32767 (widest as for
// SumRowsToPixels).
void SumRowsDownWide(uint32_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes,
                     bool widest);

// How one row of sums (four per pixel: blue, green, red, and alpha, which
// is left out) becomes output pixels: output pixel o takes the `taps` sums
// pixels from first[o] on, weighted by weights[o x taps + t] (taps is even;
// the weights at most 32767 for the small sums), and its total, plus half,
// becomes (total x magic) >> shift, worked out in 64 bits, in which the
// product fits; alpha is 255. The pattern repeats every `period` sums pixels,
// which give `periodOut` output pixels (the side's lengths divided by their
// common divisor); `area` is the divisor.
struct AcrossPlan {
    const int32_t* first;
    const uint32_t* weights;
    int32_t taps;
    uint32_t half;
    uint64_t magic; // below 2^33
    int shift;
    uint32_t period;
    uint32_t periodOut;
    uint32_t area;
};
void SumRowAcrossShort(const int16_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out);
// SumRowsDownShort into sums (bytes of them), then SumRowAcrossShort out of
// them, with the same pixels out. Where the loops have the ratio's own
// version, the rows are summed down in registers as they are taken and
// sums holds only what the last few output pixels read. widest: the loops
// may be the widest the processor runs; false: SSE2 alone on x86-64.
void SumRowsToPixels(int16_t* sums, const uint8_t* const* rows, const int16_t* weights, int count, size_t bytes,
                     const AcrossPlan& across, int32_t outWidth, uint8_t* out, bool widest);
// From 32-bit sums, every total below 2^32.
void SumRowAcrossWide(const uint32_t* sums, const AcrossPlan& across, int32_t outWidth, uint8_t* out, bool widest);

// Three output rows at once where both sides go 4 to 3: of the four rows
// rows[0] to rows[3], 3 r0 + r1, 2 r1 + 2 r2 and r2 + 3 r3 into out[0] to
// out[2], each row's pixels summed across once for all three. True where
// the loops have that (widest as for SumRowsToPixels), with every pixel as
// SumRowsToPixels gives it; false, and nothing written, elsewhere.
bool SumFourRowsToThree(int16_t* sums, const uint8_t* const* rows, size_t bytes, const AcrossPlan& across,
                        int32_t outWidth, uint8_t* const* out, bool widest);
