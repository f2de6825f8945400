#pragma once
// ReduceByArea: the area filter of AreaAverage for a picture that is whole in
// memory, with the same pixels out, made fast for the viewer's zooms below
// 100%.
//
// Each side's weights are divided by the greatest common divisor of its two
// lengths. That scales an output pixel's sum and its area alike, so every
// rounded result stays as it was, and leaves small weights: 4096 to 1024,
// 2048 or 3072 pixels give weights of at most 4. The picture is then summed
// down, output row by output row, into a row of 16- or 32-bit sums, and that
// row across into output pixels, each divided by its area with a multiply
// and a shift. Where a sum could outgrow 32 bits the rows go through
// AreaAverage itself.

#include <atomic>
#include <cstddef>
#include <cstdint>

// Which loops ReduceByArea runs: the widest the processor runs, or only
// those every processor the program is built for runs (SSE2 on x86-64),
// which the tests hold to the same pixels.
enum class ReduceLoops { kWidest, kBaseline };

// Scales the picture of width x height pixels (blue, green, red, any) whose
// top row is at top, each next row sourceStride bytes on, to outWidth x
// outHeight into destination (blue, green, red, 255; the top row first, rows
// stride bytes apart): exactly what AreaAverage gives when fed the rows. No
// side may be larger than the picture's or below 1. False on a size outside
// those bounds, when memory is short, or when cancelled turns true; the
// output is then partly written.
bool ReduceByArea(const uint8_t* top, ptrdiff_t sourceStride, int32_t width, int32_t height, int32_t outWidth,
                  int32_t outHeight, uint8_t* destination, ptrdiff_t stride, const std::atomic<bool>& cancelled,
                  ReduceLoops loops = ReduceLoops::kWidest);

// Output rows firstOut to firstOut + outRows - 1 alone of what ReduceByArea
// makes, the first of them at destination: each output row is summed from
// its own picture rows, so threads can share a picture at any rows and give
// the same pixels. Only where ReducesByAreaItself (the row filter takes the
// picture whole); false there, on rows outside the output, and as
// ReduceByArea.
bool ReduceRowsByArea(const uint8_t* top, ptrdiff_t sourceStride, int32_t width, int32_t height, int32_t outWidth,
                      int32_t outHeight, int32_t firstOut, int32_t outRows, uint8_t* destination, ptrdiff_t stride,
                      const std::atomic<bool>& cancelled, ReduceLoops loops = ReduceLoops::kWidest);

// Whether ReduceByArea sums a picture of width x height scaled to outWidth x
// outHeight itself (true) or hands its rows to AreaAverage (false), for the
// tests that must see both roads taken.
bool ReducesByAreaItself(int32_t width, int32_t height, int32_t outWidth, int32_t outHeight);
