#include "pixels/AreaAverage.h"

#include <algorithm>
#include <new>

namespace {

std::vector<AreaAverage::Share> Shares(int32_t from, int32_t to) {
    std::vector<AreaAverage::Share> shares(static_cast<size_t>(from));
    for (int32_t i = 0; i < from; ++i) {
        const uint64_t start = uint64_t(i) * uint64_t(to);
        const uint64_t end = start + uint64_t(to);
        const int32_t index = int32_t(start / uint64_t(from));
        const uint64_t boundary = uint64_t(index + 1) * uint64_t(from);
        shares[size_t(i)] = {index, uint32_t(end <= boundary ? uint64_t(to) : boundary - start)};
    }
    return shares;
}

} // namespace

uint64_t AreaAverage::MemoryFor(int32_t width, int32_t height, int32_t outWidth) {
    return (uint64_t(width) + uint64_t(height)) * sizeof(Share) + uint64_t(outWidth) * 3 * (4 + 2 * 8);
}

bool AreaAverage::Start(int32_t pictureWidth, int32_t pictureHeight, int32_t scaledWidth, int32_t scaledHeight,
                        bool rowsBottomUp, uint8_t* output, ptrdiff_t outputStride) {
    if (pictureWidth < 1 || pictureHeight < 1 || scaledWidth < 1 || scaledHeight < 1 || scaledWidth > pictureWidth ||
        scaledHeight > pictureHeight || output == nullptr)
        return false;
    width = pictureWidth;
    height = pictureHeight;
    outWidth = scaledWidth;
    outHeight = scaledHeight;
    bottomUp = rowsBottomUp;
    destination = output;
    stride = outputStride;
    try {
        across = Shares(width, outWidth);
        // Rows fed bottom first are walked as a mirrored picture: the
        // mirrored shares overlap the mirrored output rows exactly as the
        // shares overlap the rows.
        down = Shares(height, outHeight);
        row.assign(size_t(outWidth) * 3, 0);
        sums.assign(size_t(outWidth) * 3 * 2, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    now = sums.data();
    next = sums.data() + size_t(outWidth) * 3;
    current = 0;
    fed = 0;
    return true;
}

void AreaAverage::Emit() {
    const uint64_t area = uint64_t(width) * uint64_t(height);
    const int32_t y = bottomUp ? outHeight - 1 - current : current;
    uint8_t* out = destination + ptrdiff_t(y) * stride;
    for (int32_t x = 0; x < outWidth; ++x) {
        for (int c = 0; c < 3; ++c)
            out[4 * x + c] = uint8_t((now[3 * x + c] + area / 2) / area);
        out[4 * x + 3] = 255;
    }
}

void AreaAverage::SumAcross(const uint8_t* pixels) {
    std::fill(row.begin(), row.end(), 0);
    const uint32_t span = uint32_t(outWidth);
    for (int32_t x = 0; x < width; ++x) {
        const Share share = across[size_t(x)];
        const uint8_t* p = pixels + 4 * x;
        uint32_t* target = row.data() + 3 * share.index;
        const uint32_t rest = span - share.first;
        for (int c = 0; c < 3; ++c) {
            target[c] += share.first * p[c];
            if (rest != 0)
                target[3 + c] += rest * p[c];
        }
    }
}

void AreaAverage::AddDown(uint64_t nowWeight, uint64_t nextWeight) {
    for (size_t i = 0; i < row.size(); ++i) {
        now[i] += nowWeight * row[i];
        if (nextWeight != 0)
            next[i] += nextWeight * row[i];
    }
}

void AreaAverage::AddRow(const uint8_t* pixels) {
    AddRepeatedRow(pixels, 1);
}

void AreaAverage::AddRepeatedRow(const uint8_t* pixels, int32_t count) {
    if (count <= 0 || fed >= height)
        return;
    SumAcross(pixels);
    // The rows' weights down are gathered while they feed the same two
    // output rows and added once: the sums are whole numbers, so the order
    // of the additions changes nothing.
    uint64_t nowWeight = 0, nextWeight = 0;
    for (int32_t taken = 0; taken < count && fed < height; ++taken) {
        const Share vertical = down[size_t(fed++)];
        if (vertical.index != current) {
            AddDown(nowWeight, nextWeight);
            nowWeight = nextWeight = 0;
            Emit();
            std::swap(now, next);
            std::fill(next, next + size_t(outWidth) * 3, 0);
            current = vertical.index;
        }
        nowWeight += vertical.first;
        nextWeight += uint64_t(outHeight) - vertical.first;
    }
    AddDown(nowWeight, nextWeight);
}

void AreaAverage::Finish() {
    if (fed > 0)
        Emit();
}
