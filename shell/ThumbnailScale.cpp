#include "shell/ThumbnailScale.h"

#include "decode/ImageBuffer.h"

#include <new>
#include <vector>

namespace {

// Where source pixel i of a side of `from` pixels falls on a side of `to`
// pixels (to <= from). Measured in units of 1 / (from x to) of the side, the
// source pixel is `to` units long and each thumbnail pixel `from` units, so
// every overlap is a whole number: the source pixel gives `first` units to
// thumbnail pixel `index` and to - first to the next one.
struct Share {
    int32_t index;
    uint32_t first;
};

std::vector<Share> Shares(int32_t from, int32_t to) {
    std::vector<Share> shares(static_cast<size_t>(from));
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

ThumbnailSize FitThumbnail(int32_t pictureWidth, int32_t pictureHeight, int32_t longestSide) {
    ThumbnailSize size;
    if (pictureWidth < 1 || pictureHeight < 1 || longestSide < 1)
        return size;
    const int32_t longest = pictureWidth > pictureHeight ? pictureWidth : pictureHeight;
    const int64_t side = longestSide < longest ? longestSide : longest;
    // The short side rounded to the nearest pixel, never to nothing.
    const auto scaled = [&](int32_t length) {
        const int64_t value = (int64_t(length) * side * 2 + longest) / (2 * int64_t(longest));
        return int32_t(value < 1 ? 1 : value);
    };
    size.width = scaled(pictureWidth);
    size.height = scaled(pictureHeight);
    return size;
}

bool ScaleToThumbnail(const ImageBuffer& picture, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride) {
    const int32_t width = picture.width, height = picture.height;
    if (picture.IsEmpty() || size.width < 1 || size.height < 1 || size.width > width || size.height > height)
        return false;
    try {
        const std::vector<Share> across = Shares(width, size.width);
        const std::vector<Share> down = Shares(height, size.height);
        // One source row summed across (at most 255 x width per channel), and
        // two thumbnail rows summed down: the one being finished and the next,
        // which the source row that straddles them also feeds. 255 x width x
        // height stays far below 2^64.
        std::vector<uint32_t> row(size_t(size.width) * 3);
        std::vector<uint64_t> sums(size_t(size.width) * 3 * 2);
        const uint64_t area = uint64_t(width) * uint64_t(height);
        int32_t current = 0; // the thumbnail row sums[0 .. 3 x width) belongs to
        uint64_t* now = sums.data();
        uint64_t* next = sums.data() + size_t(size.width) * 3;

        const auto emit = [&](int32_t y) {
            uint8_t* out = destination + ptrdiff_t(y) * stride;
            for (int32_t x = 0; x < size.width; ++x) {
                for (int c = 0; c < 3; ++c)
                    out[4 * x + c] = uint8_t((now[3 * x + c] + area / 2) / area);
                out[4 * x + 3] = 255;
            }
        };

        for (int32_t y = 0; y < height; ++y) {
            const Share vertical = down[size_t(y)];
            if (vertical.index != current) {
                emit(current);
                std::swap(now, next);
                std::fill(next, next + size_t(size.width) * 3, 0);
                current = vertical.index;
            }
            std::fill(row.begin(), row.end(), 0);
            const uint8_t* pixels = picture.TopRow(y);
            for (int32_t x = 0; x < width; ++x) {
                const Share share = across[size_t(x)];
                const uint8_t* p = pixels + 4 * x;
                uint32_t* target = row.data() + 3 * share.index;
                const uint32_t rest = uint32_t(size.width) - share.first;
                for (int c = 0; c < 3; ++c) {
                    target[c] += share.first * p[c];
                    if (rest != 0)
                        target[3 + c] += rest * p[c];
                }
            }
            const uint64_t rest = uint64_t(size.height) - vertical.first;
            for (size_t i = 0; i < row.size(); ++i) {
                now[i] += uint64_t(vertical.first) * row[i];
                if (rest != 0)
                    next[i] += rest * row[i];
            }
        }
        emit(current);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
