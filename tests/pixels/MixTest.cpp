// The division-free mix against the plain integer formulas, for every input
// the pixel arithmetic can meet: every product of two bytes, and every
// target, blended value and weight together.
#include "pixels/Mix.h"
#include "pixels/MixRuns.h"
#include "tests/support/ReferenceMix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(DivisionFreeMix, DivideBy255IsExactForEveryProductOfTwoBytes) {
    for (uint32_t x = 0; x <= 65534; ++x)
        ASSERT_EQ(DivideBy255(x), x / 255) << x;
}

TEST(DivisionFreeMix, MixChannelMatchesTruncatingDivisionEverywhere) {
    for (int t = 0; t < 256; ++t)
        for (int f = 0; f < 256; ++f)
            for (int w = 0; w < 256; ++w)
                ASSERT_EQ(MixChannel(uint8_t(t), f, uint32_t(w)), ReferenceMix(t, f, w))
                    << "t " << t << " f " << f << " w " << w;
}

// For one target value t, every (value, weight) pair: 65 536 pixels whose
// three colour bytes and alpha make every combination, so the vector loops
// and their tails see them all. Weights come from alpha at opacity 128
// (alpha a gives weight a * 128 >> 7 = a).
struct Runs {
    std::vector<uint8_t> target, layer;
    explicit Runs(int t) : target(4 * 65536, uint8_t(t)), layer(4 * 65536) {
        for (size_t k = 0; k < 65536; ++k) {
            layer[4 * k] = layer[4 * k + 1] = layer[4 * k + 2] = uint8_t(k >> 8);
            layer[4 * k + 3] = uint8_t(k);
        }
    }
};

TEST(DivisionFreeMix, PixelRunsMatchTheFormulasEverywhere) {
    for (int t = 0; t < 256; ++t) {
        Runs mix(t), add(t), subtract(t);
        MixLayerPixels(mix.target.data(), mix.layer.data(), mix.layer.data(), 65535, 128); // odd: a tail
        AddLayerPixels(add.target.data(), add.layer.data(), 65535, 128);
        SubtractLayerPixels(subtract.target.data(), subtract.layer.data(), 65535, 128);
        for (size_t k = 0; k < 65535; ++k) {
            const int v = int(k >> 8), w = int(k & 255);
            for (int c = 0; c < 3; ++c) {
                const size_t i = 4 * k + size_t(c);
                ASSERT_EQ(mix.target[i], ReferenceMix(t, v, w)) << "t " << t << " f " << v << " w " << w;
                ASSERT_EQ(add.target[i], std::min(255, t + v * w / 255)) << "t " << t << " l " << v << " w " << w;
                ASSERT_EQ(subtract.target[i], std::max(0, t - v * w / 255)) << "t " << t << " l " << v << " w " << w;
            }
            ASSERT_EQ(mix.target[4 * k + 3], t);
            ASSERT_EQ(add.target[4 * k + 3], t);
            ASSERT_EQ(subtract.target[4 * k + 3], t);
        }
        ASSERT_EQ(mix.target[4 * 65535], t) << "past the count";
    }
}

TEST(DivisionFreeMix, OpacityScalesTheWeight) {
    std::vector<uint8_t> target(4 * 9, 200), layer(4 * 9, 0);
    for (size_t i = 0; i < 9; ++i)
        layer[4 * i + 3] = 255;
    MixLayerPixels(target.data(), layer.data(), layer.data(), 9, 64); // weight 127: 200 - 200 * 127 / 255
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(target[4 * i], 101) << i;
}

TEST(DivisionFreeMix, CoverageMixMatchesTheFormulaAndSkipsClearPixels) {
    // Coverage runs of clear and covered pixels in every position of a group
    // of four, and counts that leave tails.
    for (size_t count : {size_t(1), size_t(7), size_t(64), size_t(67)}) {
        std::vector<uint8_t> coverage(count), pixels(4 * count);
        for (size_t i = 0; i < count; ++i) {
            coverage[i] = (i % 9 < 4) ? 0 : uint8_t(31 * i + 1);
            for (int c = 0; c < 4; ++c)
                pixels[4 * i + c] = uint8_t(17 * i + 60 * c);
        }
        for (int opacity : {0, 64, 128, 200}) {
            std::vector<uint8_t> mixed = pixels;
            MixCoverage(mixed.data(), coverage.data(), count, uint8_t(opacity), 0x5A10F0C8);
            for (size_t i = 0; i < count; ++i) {
                const int w = int(MixWeight(coverage[i], uint8_t(opacity)));
                const int colour[3] = {0xC8, 0xF0, 0x10};
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(mixed[4 * i + c], ReferenceMix(pixels[4 * i + c], colour[c], w))
                        << count << " " << opacity << " " << i << " " << c;
                ASSERT_EQ(mixed[4 * i + 3], pixels[4 * i + 3]);
            }
        }
    }
}

// Coverage in runs of clear, full and soft bytes of lengths 1 to 9, so that
// groups of four are wholly clear, wholly covered or mixed at every offset:
// the shortcuts for clear and fully covered groups give the formula's bytes.
TEST(DivisionFreeMix, CoverageRunsOfClearAndFullPixelsMixLikeTheFormula) {
    constexpr size_t kCount = 2003;
    std::vector<uint8_t> coverage(kCount), pixels(4 * kCount);
    uint32_t seed = 99;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, uint8_t(seed >> 16); };
    for (size_t i = 0; i < kCount;) {
        const int length = 1 + next() % 9, kind = next() % 3;
        for (int k = 0; k < length && i < kCount; ++k, ++i)
            coverage[i] = kind == 0 ? 0 : kind == 1 ? 255 : next();
    }
    for (uint8_t& b : pixels)
        b = next();
    for (int opacity : {128, 255, 90}) {
        std::vector<uint8_t> mixed = pixels;
        MixCoverage(mixed.data(), coverage.data(), kCount, uint8_t(opacity), 0xFF3A9C05);
        const int colour[3] = {0x05, 0x9C, 0x3A};
        for (size_t i = 0; i < kCount; ++i) {
            const int w = int(MixWeight(coverage[i], uint8_t(opacity)));
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(mixed[4 * i + c], ReferenceMix(pixels[4 * i + c], colour[c], w)) << opacity << " " << i;
            ASSERT_EQ(mixed[4 * i + 3], pixels[4 * i + 3]);
        }
    }
}

} // namespace
