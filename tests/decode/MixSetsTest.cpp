// Every vector set this processor runs (SSE2, and AVX2 where it runs) against
// the passes one byte at a time. The viewer uses only the widest set, so the
// narrower one is seen here and by the fuzz target alone. The pixels come in
// runs of clear, opaque and soft bytes of 1 to 80 bytes, so that registers
// of four and of eight pixels are wholly clear, wholly opaque or mixed at
// every offset, and the counts leave every tail a register can leave.
#include "decode/BlendModes.h"
#include "decode/MixRunPasses.h"
#include "tests/support/MixCheck.h"

#include <gtest/gtest.h>

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

TEST(MixRunSets, EverySetGivesTheBytesOfTheScalarPasses) {
    const uint8_t codes[] = {kBlendMultiply,   kBlendScreen,  kBlendOverlay, kBlendHardLight, kBlendLinearBurn,
                             kBlendDifference, kBlendLighten, kBlendDarken,  kBlendSoftLight};
    uint32_t seed = 7;
    for (uint8_t pass = 0; pass < 6; ++pass) {
        for (uint8_t code : codes) {
            if (pass != 2 && code != kBlendMultiply)
                continue; // the code matters only to the formula pass
            for (uint8_t opacity : {0, 1, 64, 127, 128, 200}) {
                for (size_t count : {0, 1, 3, 4, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 1000}) {
                    // Twelve bytes a pixel is what the layer passes cut; the
                    // coverage pass takes five of them.
                    const size_t restSize = pass == 5 ? 5 * count : 12 * count;
                    std::vector<uint8_t> input = {pass, code, opacity, 0x12, 0xC8, 0x7F, 0xAA};
                    const std::vector<uint8_t> rest = RunsOfBytes(restSize, seed++);
                    input.insert(input.end(), rest.begin(), rest.end());
                    ASSERT_EQ(CheckMixRuns(input.data(), input.size()), "")
                        << "pass " << int(pass) << " code " << int(code) << " opacity " << int(opacity) << " count "
                        << count;
                }
            }
        }
    }
}

} // namespace
