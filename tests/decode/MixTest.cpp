// The division-free mix against the plain integer formulas, for every input
// the pixel arithmetic can meet: every product of two bytes, and every
// target, blended value and weight together.
#include "decode/Mix.h"
#include "decode/MixRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

int ReferenceMix(int t, int f, int w) {
    return t + (f - t) * w / 255;
}

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

// For one target value t, every (value, weight) pair as one run of 65 536
// bytes, so the vector loops and their tails see every combination.
struct Runs {
    std::vector<uint8_t> target, values, weights;
    explicit Runs(int t) : target(65536, uint8_t(t)), values(65536), weights(65536) {
        for (size_t k = 0; k < 65536; ++k) {
            values[k] = uint8_t(k >> 8);
            weights[k] = uint8_t(k);
        }
    }
};

TEST(DivisionFreeMix, ByteRunsMatchTheFormulasEverywhere) {
    for (int t = 0; t < 256; ++t) {
        Runs mix(t), add(t), subtract(t);
        MixBytes(mix.target.data(), mix.values.data(), mix.weights.data(), 65536);
        AddBytes(add.target.data(), add.values.data(), add.weights.data(), 65536);
        SubtractBytes(subtract.target.data(), subtract.values.data(), subtract.weights.data(), 65536);
        for (size_t k = 0; k < 65536; ++k) {
            const int v = int(k >> 8), w = int(k & 255);
            ASSERT_EQ(mix.target[k], ReferenceMix(t, v, w)) << "t " << t << " f " << v << " w " << w;
            ASSERT_EQ(add.target[k], std::min(255, t + v * w / 255)) << "t " << t << " l " << v << " w " << w;
            ASSERT_EQ(subtract.target[k], std::max(0, t - v * w / 255)) << "t " << t << " l " << v << " w " << w;
        }
    }
}

TEST(DivisionFreeMix, WeightsCoverTheColourBytesOnly) {
    // Odd counts: the loops' tails as well as their bodies.
    for (size_t count : {size_t(1), size_t(7), size_t(33)}) {
        std::vector<uint8_t> pixels(4 * count), coverage(count), fromAlpha(4 * count), fromCoverage(4 * count);
        for (size_t i = 0; i < count; ++i) {
            pixels[4 * i + 3] = coverage[i] = uint8_t(255 - 8 * i);
            pixels[4 * i] = 0xAA; // colour bytes do not count
        }
        for (int opacity : {0, 64, 128, 200}) {
            AlphaWeights(pixels.data(), count, uint8_t(opacity), fromAlpha.data());
            CoverageWeights(coverage.data(), count, uint8_t(opacity), fromCoverage.data());
            for (size_t i = 0; i < count; ++i) {
                const uint32_t w = MixWeight(coverage[i], uint8_t(opacity));
                for (int c = 0; c < 4; ++c) {
                    ASSERT_EQ(fromAlpha[4 * i + c], c == 3 ? 0u : w) << count << " " << opacity << " " << i;
                    ASSERT_EQ(fromCoverage[4 * i + c], c == 3 ? 0u : w) << count << " " << opacity << " " << i;
                }
            }
        }
    }
}

} // namespace
