#pragma once
// AreaAverage: scales a picture down with an area (box) filter, one picture
// row at a time, so that a picture never has to be whole in memory: every
// source pixel is weighted by the part of it that falls in each output pixel,
// so a one-pixel line stays visible as a lighter line instead of vanishing
// between samples. The thumbnail handler feeds it the picture band by band as
// the layers are flattened; the whole-picture scaling is the same filter fed
// from a picture.
//
// The weights are whole numbers and the sums are exact, so the output does
// not depend on the order the rows come in: rows fed bottom first give the
// same pixels as rows fed top first.

#include <cstddef>
#include <cstdint>
#include <vector>

class AreaAverage {
public:
    // Gets ready for a picture of width x height scaled to outWidth x
    // outHeight (no side larger than the picture's, none below 1) into
    // destination: outHeight rows of outWidth pixels (blue, green, red, 255),
    // the top row first, rows stride bytes apart. bottomUp: rows come from
    // the bottom of the picture up (the order of the document's pixels).
    // False on a size outside those bounds or when memory is short.
    bool Start(int32_t width, int32_t height, int32_t outWidth, int32_t outHeight, bool bottomUp, uint8_t* destination,
               ptrdiff_t stride);
    // The next row of width pixels (blue, green, red, any), in the order
    // Start named. Output rows are written as soon as they are complete.
    void AddRow(const uint8_t* pixels);
    // The same row count times over, as count calls of AddRow give it, but
    // summed across once: a run of white rows below the last layer's pixels
    // costs the output rows it reaches, not the picture rows.
    void AddRepeatedRow(const uint8_t* pixels, int32_t count);
    // Writes the last output row, after the last picture row.
    void Finish();
    // The bytes Start holds for a picture of width x height scaled to
    // outWidth x outHeight, for the callers that bound their memory.
    static uint64_t MemoryFor(int32_t width, int32_t height, int32_t outWidth);

    // Where source pixel i of a side of `from` pixels falls on a side of `to`
    // pixels (to <= from). Measured in units of 1 / (from x to) of the side,
    // the source pixel is `to` units long and each output pixel `from` units,
    // so every overlap is a whole number: the source pixel gives `first`
    // units to output pixel `index` and to - first to the next one.
    struct Share {
        int32_t index;
        uint32_t first;
    };

private:
    void Emit();
    void SumAcross(const uint8_t* pixels);
    // Adds the row summed across to the output row being finished and the
    // next, weighted down by nowWeight and nextWeight.
    void AddDown(uint64_t nowWeight, uint64_t nextWeight);

    int32_t width = 0, height = 0, outWidth = 0, outHeight = 0;
    bool bottomUp = false;
    uint8_t* destination = nullptr;
    ptrdiff_t stride = 0;
    std::vector<Share> across, down;
    // One source row summed across (at most 255 x width per channel), and two
    // output rows summed down: the one being finished and the next, which the
    // source row that straddles them also feeds. 255 x width x height stays
    // far below 2^64.
    std::vector<uint32_t> row;
    std::vector<uint64_t> sums;
    uint64_t* now = nullptr;
    uint64_t* next = nullptr;
    int32_t current = 0; // the output row `now` belongs to, counted in the feeding order
    int32_t fed = 0;     // rows taken so far
};
