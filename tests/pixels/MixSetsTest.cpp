// Every vector set this processor runs (SSE2, and AVX2 and AVX-512 where
// they run) against the passes one byte at a time. The viewer uses only the
// widest set, so the narrower ones are seen here and by the fuzz target
// alone. The pixels come in runs of clear, opaque and soft bytes of 1 to 80
// bytes, so that registers of four, eight and sixteen pixels are wholly
// clear, wholly opaque or mixed at every offset, and the counts leave every
// tail a register can leave.
#include "pixels/BlendModes.h"
#include "pixels/MixRunPasses.h"
#include "tests/support/MixCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

std::vector<uint8_t> RunsOfBytes(size_t size, uint32_t seed) {
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, uint8_t(seed >> 16); };
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size;) {
        const int length = 1 + next() % 80, kind = next() % 3;
        for (int k = 0; k < length && i < size; ++k, ++i)
            bytes[i] = kind == 0 ? 0 : kind == 1 ? 255 : next();
    }
    return bytes;
}

TEST(MixRunSets, X86BuildsHaveAVectorSet) {
#if defined(__x86_64__) || defined(_M_X64)
    ASSERT_NE(MixRunPassesAt(0), nullptr);
    EXPECT_EQ(MixRunPassesAt(0)->vectorBytes, 16u);
#else
    EXPECT_EQ(MixRunPassesAt(0), nullptr);
#endif
}

// The sets come narrowest first, each twice as wide as the one before, from
// SSE2's 16 bytes: the viewer takes the last, the widest. That each listed
// set runs on this processor (none needs what it lacks) is shown by running
// them all below.
TEST(MixRunSets, SetsComeNarrowestFirstEachTwiceTheOneBefore) {
    std::vector<size_t> widths;
    for (size_t i = 0; const MixRunPasses* set = MixRunPassesAt(i); ++i)
        widths.push_back(set->vectorBytes);
    if (widths.empty())
        GTEST_SKIP() << "no vector set on this processor";
    EXPECT_LE(widths.size(), 3u);
    EXPECT_EQ(widths[0], 16u);
    for (size_t i = 1; i < widths.size(); ++i)
        EXPECT_EQ(widths[i], 2 * widths[i - 1]) << i;
}

// The separable codes with a vector formula: every one but Normal.
const uint8_t kFormulaCodes[] = {kBlendMultiply,   kBlendScreen,      kBlendOverlay,  kBlendSoftLight,
                                 kBlendHardLight,  kBlendDodge,       kBlendBurn,     kBlendLinearBurn,
                                 kBlendVividLight, kBlendLinearLight, kBlendPinLight, kBlendDifference,
                                 kBlendLighten,    kBlendDarken};

const uint8_t kHcyCodes[] = {kBlendHue, kBlendSaturation, kBlendColor, kBlendLuminosity};

// The check's input: pass, code, opacity and colour, then the bytes.
std::vector<uint8_t> CheckInput(uint8_t pass, uint8_t code, uint8_t opacity, const std::vector<uint8_t>& rest) {
    const uint8_t header[] = {pass, code, opacity, 0x12, 0xC8, 0x7F, 0xAA};
    std::vector<uint8_t> input(sizeof header + rest.size());
    std::copy(std::begin(header), std::end(header), input.begin());
    std::copy(rest.begin(), rest.end(), input.begin() + sizeof header);
    return input;
}

TEST(MixRunSets, EverySetGivesTheBytesOfTheScalarPasses) {
    uint32_t seed = 7;
    for (uint8_t pass = 0; pass < 7; ++pass) {
        std::vector<uint8_t> codes = {kBlendMultiply}; // the code matters only to the formula and HCY passes
        if (pass == 2)
            codes.assign(std::begin(kFormulaCodes), std::end(kFormulaCodes));
        if (pass == 6)
            codes.assign(std::begin(kHcyCodes), std::end(kHcyCodes));
        for (uint8_t code : codes) {
            for (uint8_t opacity : {0, 1, 64, 127, 128, 200}) {
                for (size_t count : {0, 1, 3, 4, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 1000}) {
                    // Twelve bytes a pixel is what the layer passes cut; the
                    // coverage pass takes five of them.
                    const size_t restSize = pass == 5 ? 5 * count : 12 * count;
                    const std::vector<uint8_t> input = CheckInput(pass, code, opacity, RunsOfBytes(restSize, seed++));
                    ASSERT_EQ(CheckMixRuns(input.data(), input.size()), "")
                        << "pass " << int(pass) << " code " << int(code) << " opacity " << int(opacity) << " count "
                        << count;
                }
            }
        }
    }
}

// Each formula is a function of two bytes: every pair (picture byte, layer
// byte) meets it in each of a pixel's three channels (the channels need not
// be worked out alike), taken whole (full opacity) and mixed (a weight of
// 253).
TEST(MixRunSets, FormulasGiveTheTableForEveryPairOfBytes) {
    constexpr size_t kPixels = 65536;
    std::vector<uint8_t> bytes(12 * kPixels, 0); // picture, layer, and the unused blended pixels
    for (size_t pair = 0; pair < kPixels; ++pair) {
        for (size_t channel = 0; channel < 3; ++channel) {
            bytes[4 * pair + channel] = uint8_t(pair >> 8);
            bytes[4 * kPixels + 4 * pair + channel] = uint8_t(pair);
        }
        bytes[4 * kPixels + 4 * pair + 3] = 255;
    }
    for (uint8_t code : kFormulaCodes) {
        for (uint8_t opacity : {128, 127}) {
            const std::vector<uint8_t> input = CheckInput(2, code, opacity, bytes);
            ASSERT_EQ(CheckMixRuns(input.data(), input.size()), "")
                << "code " << int(code) << " opacity " << int(opacity);
        }
    }
}

// Colours where the HCY model switches branch: channels equal to one
// another or one apart, at 0 and 255, greys, and any colour, for both the
// picture and the layer, whole and mixed.
TEST(MixRunSets, HcyModesGiveTheScalarBytesAcrossTheirBranches) {
    uint32_t seed = 99;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, uint8_t(seed >> 16); };
    auto channel = [&](const uint8_t* pixel, int c) -> uint8_t {
        switch (next() % 6) {
        case 0:
            return 0;
        case 1:
            return 255;
        case 2:
            return c > 0 ? pixel[c - 1] : next(); // equal to the channel before
        case 3:
            return c > 0 ? uint8_t(pixel[c - 1] + 1) : next();
        default:
            return next();
        }
    };
    constexpr size_t kPixels = 20000;
    std::vector<uint8_t> bytes(12 * kPixels);
    for (size_t pixel = 0; pixel < 2 * kPixels; ++pixel) {
        uint8_t* p = &bytes[4 * pixel];
        for (int c = 0; c < 3; ++c)
            p[c] = channel(p, c);
        if (next() % 8 == 0)
            p[1] = p[2] = p[0]; // a grey
        p[3] = pixel < kPixels || next() % 2 ? 255 : next();
    }
    for (uint8_t code : kHcyCodes) {
        for (uint8_t opacity : {128, 100}) {
            const std::vector<uint8_t> input = CheckInput(6, code, opacity, bytes);
            ASSERT_EQ(CheckMixRuns(input.data(), input.size()), "")
                << "code " << int(code) << " opacity " << int(opacity);
        }
    }
}

} // namespace
