#include "pixels/AreaReduce.h"

#include "pixels/AreaAverage.h"
#include "pixels/AreaReduceRows.h"

#include <algorithm>
#include <limits>
#include <new>
#include <numeric>
#include <vector>

namespace {

// One side of the picture, from pixels scaled to `to`, its weights divided
// by the common divisor g of the two: a source pixel covers to / g units and
// an output pixel from / g (`units`, the weights of one output pixel
// together), so that every overlap is a whole number of units.
struct Side {
    uint64_t units = 0;
    uint64_t sourceUnits = 0; // the largest weight
    // The most source pixels one output pixel takes, rounded up to an even
    // number for the loops that take them two at a time.
    int32_t taps = 0;
    // Per output pixel: the first of the taps source pixels it reads, and
    // their weights. A window that would run past the far edge is moved in
    // and takes weight 0 from the pixels before its own; the weight of the
    // pixel that evens the taps is 0 too, and it may be one past the edge.
    std::vector<int32_t> first;
    std::vector<uint32_t> weights;
};

Side PlanSide(int32_t from, int32_t to) {
    Side side;
    const int64_t g = std::gcd(from, to);
    const uint64_t p = uint64_t(from / g), q = uint64_t(to / g);
    side.units = p;
    side.sourceUnits = q;
    // Output pixel o covers units [o p, (o + 1) p), source pixel i [i q, (i + 1) q).
    auto begin = [&](int32_t o) { return int32_t(uint64_t(o) * p / q); };
    auto end = [&](int32_t o) { return int32_t((uint64_t(o + 1) * p + q - 1) / q); };
    for (int32_t o = 0; o < to; ++o)
        side.taps = std::max(side.taps, end(o) - begin(o));
    const int32_t inside = side.taps;
    side.taps += side.taps % 2;
    side.first.resize(size_t(to));
    side.weights.assign(size_t(to) * size_t(side.taps), 0);
    for (int32_t o = 0; o < to; ++o) {
        const int32_t start = std::min(begin(o), from - inside);
        side.first[size_t(o)] = start;
        for (int32_t i = begin(o); i < end(o); ++i) {
            const uint64_t low = std::max(uint64_t(i) * q, uint64_t(o) * p);
            const uint64_t high = std::min(uint64_t(i + 1) * q, uint64_t(o + 1) * p);
            side.weights[size_t(o) * size_t(side.taps) + size_t(i - start)] = uint32_t(high - low);
        }
    }
    return side;
}

// n / area, for every n below 256 x area (a sum of weighted bytes plus half
// the area), as (n x magic) >> shift. With n = k area + r and magic x area =
// 2^shift + error, n x magic / 2^shift = k + (r + n x error / 2^shift) /
// area, which stays below k + 1 while n x error < 2^shift.
// The loops take a magic below 2^33, which every area of up to 2^24 gets.
struct Divider {
    uint64_t magic = 1;
    int shift = 0;
};

bool FindDivider(uint64_t area, Divider& divider) {
    const uint64_t largest = 256 * area - 1;
    for (int shift = 0; shift < 63; ++shift) {
        const uint64_t power = uint64_t(1) << shift;
        const uint64_t magic = (power + area - 1) / area;
        const uint64_t error = magic * area - power;
        if (error != 0 && largest > (power - 1) / error)
            continue;
        // A larger shift only makes the magic larger.
        if (magic > std::numeric_limits<uint64_t>::max() / largest || magic >> 33 != 0)
            return false;
        divider = {magic, shift};
        return true;
    }
    return false;
}

AcrossPlan PlanAcross(const Side& across, const Side& down, const Divider& divider) {
    const uint32_t area = uint32_t(across.units * down.units);
    return {across.first.data(),    across.weights.data(),        across.taps, area / 2, divider.magic, divider.shift,
            uint32_t(across.units), uint32_t(across.sourceUnits), area};
}

// The source rows of output row y that have weight in it, at most taps.
int32_t RowsOf(const uint8_t* top, ptrdiff_t sourceStride, const Side& down, int32_t y, const uint8_t** rows,
               uint32_t* weights) {
    const uint8_t* first = top + ptrdiff_t(down.first[size_t(y)]) * sourceStride;
    const uint32_t* all = down.weights.data() + size_t(y) * size_t(down.taps);
    int32_t count = 0;
    for (int32_t t = 0; t < down.taps; ++t) {
        if (all[t] == 0)
            continue;
        rows[count] = first + ptrdiff_t(t) * sourceStride;
        weights[count++] = all[t];
    }
    return count;
}

// The rows of one output row summed down, with the row's weights as the
// loops take them, and then across into out: 16-bit sums, or 32-bit ones,
// whose weights beyond 15 bits take plain loops.
void SumRow(int16_t* sums, const uint8_t* const* rows, const uint32_t* weights, int16_t* shortWeights, int32_t count,
            size_t bytes, const AcrossPlan& plan, int32_t outWidth, uint8_t* out, bool widest) {
    for (int32_t t = 0; t < count; ++t)
        shortWeights[t] = int16_t(weights[t]);
    SumRowsToPixels(sums, rows, shortWeights, count, bytes, plan, outWidth, out, widest);
}

void SumRow(uint32_t* sums, const uint8_t* const* rows, const uint32_t* weights, int16_t* shortWeights, int32_t count,
            size_t bytes, const AcrossPlan& plan, int32_t outWidth, uint8_t* out, bool widest) {
    if (std::all_of(weights, weights + count,
                    [](uint32_t weight) { return weight <= uint32_t(std::numeric_limits<int16_t>::max()); })) {
        for (int32_t t = 0; t < count; ++t)
            shortWeights[t] = int16_t(weights[t]);
        SumRowsDownWide(sums, rows, shortWeights, count, bytes, widest);
    } else {
        for (size_t i = 0; i < bytes; ++i)
            sums[i] = weights[0] * rows[0][i];
        for (int32_t t = 1; t < count; ++t)
            for (size_t i = 0; i < bytes; ++i)
                sums[i] += weights[t] * rows[t][i];
    }
    SumRowAcrossWide(sums, plan, outWidth, out, widest);
}

// Output rows y to y + 2 at once where both sides go 4 to 3 and y starts a
// period of the rows: only the small sums have that loop.
bool SumThreeRows(int16_t* sums, const uint8_t* top, ptrdiff_t sourceStride, const Side& down, int32_t y, size_t bytes,
                  const AcrossPlan& plan, int32_t outWidth, uint8_t* out, ptrdiff_t stride, bool widest) {
    // Output row y = 3 k reads rows 4 k and 4 k + 1, the next two rows on
    // from there.
    const uint8_t* first = top + ptrdiff_t(down.first[size_t(y)]) * sourceStride;
    const uint8_t* rows[4] = {first, first + sourceStride, first + 2 * sourceStride, first + 3 * sourceStride};
    uint8_t* outs[3] = {out, out + stride, out + 2 * stride};
    return SumFourRowsToThree(sums, rows, bytes, plan, outWidth, outs, widest);
}

bool SumThreeRows(uint32_t*, const uint8_t*, ptrdiff_t, const Side&, int32_t, size_t, const AcrossPlan&, int32_t,
                  uint8_t*, ptrdiff_t, bool) {
    return false;
}

// Every output row: its rows summed down into a row of sums (16 or 32 bits
// wide), and that summed across.
template <typename Sum>
bool SumPicture(const uint8_t* top, ptrdiff_t sourceStride, int32_t width, const Side& across, const Side& down,
                int32_t outWidth, int32_t firstOut, int32_t outRows, const Divider& divider, uint8_t* destination,
                ptrdiff_t stride, const std::atomic<bool>& cancelled, ReduceLoops loops) {
    std::vector<Sum> sums;
    std::vector<uint32_t> weights;
    std::vector<int16_t> shortWeights;
    std::vector<const uint8_t*> rows;
    try {
        // One pixel more, for the zero-weighted pixel that evens the taps.
        sums.assign((size_t(width) + 1) * 4, 0);
        rows.resize(size_t(down.taps));
        weights.resize(size_t(down.taps));
        shortWeights.resize(size_t(down.taps));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const AcrossPlan plan = PlanAcross(across, down, divider);
    const bool widest = loops == ReduceLoops::kWidest;
    const bool fourToThree = down.units == 4 && down.sourceUnits == 3;
    const int32_t end = firstOut + outRows;
    for (int32_t y = firstOut; y < end;) {
        if (cancelled.load(std::memory_order_relaxed))
            return false;
        uint8_t* out = destination + ptrdiff_t(y - firstOut) * stride;
        if (fourToThree && y % 3 == 0 && end - y >= 3 &&
            SumThreeRows(sums.data(), top, sourceStride, down, y, size_t(width) * 4, plan, outWidth, out, stride,
                         widest)) {
            y += 3;
            continue;
        }
        const int32_t count = RowsOf(top, sourceStride, down, y, rows.data(), weights.data());
        SumRow(sums.data(), rows.data(), weights.data(), shortWeights.data(), count, size_t(width) * 4, plan, outWidth,
               out, widest);
        ++y;
    }
    return true;
}

bool SizesValid(int32_t width, int32_t height, int32_t outWidth, int32_t outHeight) {
    return width >= 1 && height >= 1 && outWidth >= 1 && outHeight >= 1 && outWidth <= width && outHeight <= height;
}

// Sums in 32 bits: 255 x the area of an output pixel, plus half of it.
bool SumsFit(uint64_t area) {
    return 256 * area <= uint64_t(std::numeric_limits<uint32_t>::max()) + 1;
}

bool FeedRows(const uint8_t* top, ptrdiff_t sourceStride, int32_t width, int32_t height, int32_t outWidth,
              int32_t outHeight, uint8_t* destination, ptrdiff_t stride, const std::atomic<bool>& cancelled) {
    AreaAverage filter;
    if (!filter.Start(width, height, outWidth, outHeight, false, destination, stride))
        return false;
    for (int32_t y = 0; y < height; ++y) {
        if (cancelled.load(std::memory_order_relaxed))
            return false;
        filter.AddRow(top + ptrdiff_t(y) * sourceStride);
    }
    filter.Finish();
    return true;
}

} // namespace

bool ReducesByAreaItself(int32_t width, int32_t height, int32_t outWidth, int32_t outHeight) {
    if (!SizesValid(width, height, outWidth, outHeight))
        return false;
    const uint64_t area = uint64_t(width / std::gcd(width, outWidth)) * uint64_t(height / std::gcd(height, outHeight));
    Divider divider;
    return SumsFit(area) && FindDivider(area, divider);
}

bool ReduceRowsByArea(const uint8_t* top, ptrdiff_t sourceStride, int32_t width, int32_t height, int32_t outWidth,
                      int32_t outHeight, int32_t firstOut, int32_t outRows, uint8_t* destination, ptrdiff_t stride,
                      const std::atomic<bool>& cancelled, ReduceLoops loops) {
    if (!ReducesByAreaItself(width, height, outWidth, outHeight) || firstOut < 0 || outRows < 1 ||
        outRows > outHeight - firstOut || top == nullptr || destination == nullptr)
        return false;
    Side across, down;
    try {
        across = PlanSide(width, outWidth);
        down = PlanSide(height, outHeight);
    } catch (const std::bad_alloc&) {
        return false;
    }
    Divider divider;
    FindDivider(across.units * down.units, divider);
    // A row summed down is at most 255 x the weights of an output row, a
    // weight across at most the units of a source pixel.
    if (255 * down.units <= uint64_t(std::numeric_limits<int16_t>::max()) &&
        across.sourceUnits <= uint64_t(std::numeric_limits<int16_t>::max()))
        return SumPicture<int16_t>(top, sourceStride, width, across, down, outWidth, firstOut, outRows, divider,
                                   destination, stride, cancelled, loops);
    return SumPicture<uint32_t>(top, sourceStride, width, across, down, outWidth, firstOut, outRows, divider,
                                destination, stride, cancelled, loops);
}

bool ReduceByArea(const uint8_t* top, ptrdiff_t sourceStride, int32_t width, int32_t height, int32_t outWidth,
                  int32_t outHeight, uint8_t* destination, ptrdiff_t stride, const std::atomic<bool>& cancelled,
                  ReduceLoops loops) {
    if (!SizesValid(width, height, outWidth, outHeight) || top == nullptr || destination == nullptr)
        return false;
    if (!ReducesByAreaItself(width, height, outWidth, outHeight))
        return FeedRows(top, sourceStride, width, height, outWidth, outHeight, destination, stride, cancelled);
    return ReduceRowsByArea(top, sourceStride, width, height, outWidth, outHeight, 0, outHeight, destination, stride,
                            cancelled, loops);
}
