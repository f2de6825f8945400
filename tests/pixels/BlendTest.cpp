// Blend arithmetic: the table formulas at their boundaries, Add and Subtract
// saturation, the weight and the mix, the HCY model's worked examples.
#include "pixels/BlendModes.h"
#include "pixels/BlendTable.h"
#include "pixels/CompositeLayer.h"
#include "pixels/Hcy.h"
#include "pixels/ImageBuffer.h"
#include "pixels/Mix.h"
#include "tests/support/ReferenceMix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Entry {
    uint8_t code;
    int d;
    int s;
    int expected;
};

// Hand-computed entries, mostly where a formula switches branch or clamps.
const Entry kEntries[] = {
    {kBlendNormal, 10, 200, 200},      {kBlendMultiply, 255, 77, 77},
    {kBlendMultiply, 128, 128, 64}, // 16384 / 255 = 64.25
    {kBlendScreen, 0, 99, 99},         {kBlendScreen, 128, 128, 192},
    {kBlendOverlay, 127, 255, 253}, // below 128 the target decides: (127 * 255) >> 7
    {kBlendOverlay, 128, 0, 2},     // 255 - ((127 * 255) >> 7)
    {kBlendOverlay, 128, 255, 255},    {kBlendSoftLight, 128, 128, 128}, // m 64, k 63: 64 + (128 * 128) / 255
    {kBlendSoftLight, 100, 200, 134},                                    // m 78, k 33: 78 + (144 * 100) / 255
    {kBlendSoftLight, 255, 0, 255},    {kBlendSoftLight, 0, 255, 0},
    {kBlendHardLight, 255, 127, 253}, // below 128 the layer decides
    {kBlendHardLight, 0, 128, 2},      {kBlendHardLight, 255, 128, 255},
    {kBlendDodge, 0, 255, 255},        {kBlendDodge, 1, 254, 255},
    {kBlendDodge, 100, 128, 200}, // 25500 / 127
    {kBlendDodge, 100, 200, 255}, // 463 clamped
    {kBlendDodge, 77, 0, 77},          {kBlendBurn, 255, 0, 0},
    {kBlendBurn, 0, 255, 0},           {kBlendBurn, 200, 128, 146}, // 255 - 14025 / 128
    {kBlendBurn, 100, 10, 0},                                       // far below 0, clamped
    {kBlendLinearBurn, 100, 100, 0},   {kBlendLinearBurn, 200, 100, 45},
    {kBlendVividLight, 255, 0, 0},     {kBlendVividLight, 0, 255, 255},
    {kBlendVividLight, 55, 100, 0}, // d <= 255 - 2s
    {kBlendVividLight, 56, 100, 1}, // 255 * 1 / 200
    {kBlendVividLight, 255, 100, 255}, {kBlendVividLight, 1, 127, 0},
    {kBlendVividLight, 2, 127, 1},     // 255 * 1 / 254
    {kBlendVividLight, 254, 128, 255}, // d >= 510 - 2s
    {kBlendVividLight, 253, 128, 253}, // 255 * 253 / 254
    {kBlendLinearLight, 0, 200, 145},  {kBlendLinearLight, 200, 200, 255},
    {kBlendLinearLight, 0, 100, 0},    {kBlendPinLight, 255, 127, 254},
    {kBlendPinLight, 0, 128, 1},       {kBlendPinLight, 30, 50, 30},
    {kBlendPinLight, 200, 250, 245},   {kBlendDifference, 10, 250, 240},
    {kBlendDifference, 250, 10, 240},  {kBlendLighten, 10, 250, 250},
    {kBlendDarken, 10, 250, 10},
};

TEST(BlendTableFormulas, EntriesAtBranchesAndClamps) {
    BlendTable table;
    ASSERT_TRUE(table.Allocate());
    for (const Entry& e : kEntries) {
        BuildBlendTable(table, e.code);
        EXPECT_EQ(table.At(uint8_t(e.d), uint8_t(e.s)), e.expected)
            << "code " << int(e.code) << " d " << e.d << " s " << e.s;
    }
}

TEST(BlendTableFormulas, TableIsIndexedByTargetThenLayer) {
    BlendTable table;
    ASSERT_TRUE(table.Allocate());
    BuildBlendTable(table, kBlendDodge);
    EXPECT_EQ(table.Entries()[100 * 256 + 128], 200); // 255 * 100 / 127
    EXPECT_EQ(table.Entries()[128 * 256 + 100], 210); // 255 * 128 / 155
}

TEST(BlendTableFormulas, IdentitiesHoldForEveryValue) {
    BlendTable table;
    ASSERT_TRUE(table.Allocate());
    struct Check {
        uint8_t code;
        bool fixedTarget; // true: d is fixed at `fixed`, s varies; false: the reverse
        int fixed;
        int (*expected)(int other);
    };
    const Check checks[] = {
        {kBlendMultiply, true, 255, [](int s) { return s; }}, {kBlendScreen, true, 0, [](int s) { return s; }},
        {kBlendDodge, false, 255, [](int) { return 255; }},   {kBlendBurn, false, 0, [](int) { return 0; }},
        {kBlendVividLight, false, 0, [](int) { return 0; }},  {kBlendVividLight, false, 255, [](int) { return 255; }},
        {kBlendNormal, true, 37, [](int s) { return s; }},    {kBlendLighten, false, 0, [](int d) { return d; }},
        {kBlendDarken, false, 255, [](int d) { return d; }},
    };
    for (const Check& c : checks) {
        BuildBlendTable(table, c.code);
        for (int v = 0; v < 256; ++v) {
            const int d = c.fixedTarget ? c.fixed : v;
            const int s = c.fixedTarget ? v : c.fixed;
            ASSERT_EQ(table.At(uint8_t(d), uint8_t(s)), c.expected(v)) << "code " << int(c.code) << " value " << v;
        }
    }
}

// A w x h target filled with one colour and a layer of one colour and alpha.
struct Pair {
    ImageBuffer target;
    ImageBuffer layer;

    Pair(int w, int h, uint32_t targetPixel, uint32_t layerPixel) {
        EXPECT_TRUE(target.Create(w, h));
        EXPECT_TRUE(layer.Create(w, h));
        target.Fill(targetPixel);
        layer.Fill(layerPixel);
    }
    const uint8_t* Pixel(size_t i) const { return target.bits + 4 * i; }
};

uint32_t Bgra(int b, int g, int r, int a) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}

TEST(BlendWeight, FullOpacityAndAlphaReplaceTheTarget) {
    Pair p(1, 1, Bgra(255, 255, 255, 255), Bgra(12, 34, 56, 255));
    BlendTable table;
    CompositeLayer(p.target, p.layer, kBlendNormal, 128, table);
    EXPECT_EQ(p.Pixel(0)[0], 12);
    EXPECT_EQ(p.Pixel(0)[1], 34);
    EXPECT_EQ(p.Pixel(0)[2], 56);
}

TEST(BlendWeight, HalfOpacityBlackOverWhiteGives128) {
    Pair p(1, 1, Bgra(255, 255, 255, 255), Bgra(0, 0, 0, 255));
    BlendTable table;
    CompositeLayer(p.target, p.layer, kBlendNormal, 64, table); // weight 127
    EXPECT_EQ(p.Pixel(0)[0], 128);
    EXPECT_EQ(p.Pixel(0)[2], 128);
}

TEST(BlendWeight, WeightZeroLeavesThePixelInEveryMode) {
    BlendTable table;
    for (int code = 0; code < 256; ++code) {
        Pair p(2, 1, Bgra(30, 140, 250, 77), Bgra(200, 10, 90, 1));
        CompositeLayer(p.target, p.layer, uint8_t(code), 127, table); // (1 * 127) >> 7 = 0
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(p.Pixel(i)[0], 30) << "code " << code;
            ASSERT_EQ(p.Pixel(i)[1], 140) << "code " << code;
            ASSERT_EQ(p.Pixel(i)[2], 250) << "code " << code;
        }
    }
}

TEST(BlendWeight, OpacityAbove128CountsAsFullyOpaque) {
    BlendTable table;
    for (int opacity : {129, 200, 255}) {
        // At 255 the raw weight would be 508 and the channel would wrap.
        Pair p(1, 1, Bgra(255, 255, 255, 255), Bgra(0, 100, 200, 255));
        CompositeLayer(p.target, p.layer, kBlendNormal, uint8_t(opacity), table);
        EXPECT_EQ(p.Pixel(0)[0], 0) << opacity;
        EXPECT_EQ(p.Pixel(0)[1], 100) << opacity;
        EXPECT_EQ(p.Pixel(0)[2], 200) << opacity;
        Pair add(1, 1, Bgra(10, 10, 10, 255), Bgra(100, 100, 100, 255));
        CompositeLayer(add.target, add.layer, kBlendAdd, uint8_t(opacity), table);
        EXPECT_EQ(add.Pixel(0)[0], 110) << opacity;
    }
}

TEST(BlendWeight, TargetAlphaByteIsNeverWritten) {
    BlendTable table;
    for (int code = 0; code <= 25; ++code) {
        Pair p(3, 1, Bgra(90, 160, 20, 0x5A), Bgra(250, 5, 128, 255));
        CompositeLayer(p.target, p.layer, uint8_t(code), 128, table);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(p.Pixel(i)[3], 0x5A) << "code " << code;
    }
}

TEST(BlendArithmetic, AddAndSubtractSaturate) {
    BlendTable table;
    struct Case {
        uint8_t code;
        int target;
        int layer;
        uint8_t opacity;
        int expected;
    };
    const Case cases[] = {
        {kBlendAdd, 100, 200, 128, 255},     {kBlendAdd, 100, 200, 64, 199}, // 100 + 200 * 127 / 255
        {kBlendAdd, 0, 255, 128, 255},       {kBlendSubtract, 100, 200, 128, 0},
        {kBlendSubtract, 250, 200, 64, 151}, {kBlendSubtract, 255, 255, 128, 0},
    };
    for (const Case& c : cases) {
        Pair p(1, 1, Bgra(c.target, c.target, c.target, 255), Bgra(c.layer, c.layer, c.layer, 255));
        CompositeLayer(p.target, p.layer, c.code, c.opacity, table);
        EXPECT_EQ(p.Pixel(0)[1], c.expected) << "code " << int(c.code) << " target " << c.target;
    }
}

TEST(BlendArithmetic, TableModesMixByWeight) {
    BlendTable table;
    // Multiply 200 by 100 at weight 127: f = 78, 200 + (78 - 200) * 127 / 255.
    Pair p(1, 1, Bgra(200, 200, 200, 255), Bgra(100, 100, 100, 255));
    CompositeLayer(p.target, p.layer, kBlendMultiply, 64, table);
    EXPECT_EQ(p.Pixel(0)[0], ReferenceMix(200, 78, 127));
}

TEST(BlendArithmetic, UnknownCodesBlendAsNormalWhateverTableCameBefore) {
    BlendTable table;
    for (int code : {21, 99, 255}) {
        Pair p(300, 300, Bgra(200, 200, 200, 255), Bgra(40, 50, 60, 255));
        // A large Multiply layer first leaves its table behind.
        CompositeLayer(p.target, p.layer, kBlendMultiply, 128, table);
        p.target.Fill(Bgra(200, 200, 200, 255));
        CompositeLayer(p.target, p.layer, uint8_t(code), 128, table);
        EXPECT_EQ(p.Pixel(0)[0], 40) << code;
        EXPECT_EQ(p.Pixel(90000 - 1)[2], 60) << code;
    }
}

TEST(BlendArithmetic, OnlyThePixelsTheLayerHoldsAreBlended) {
    BlendTable table;
    Pair p(3, 1, Bgra(255, 255, 255, 255), Bgra(0, 0, 0, 255));
    CompositeLayer(p.target, p.layer, kBlendNormal, 128, table, 2);
    EXPECT_EQ(p.Pixel(1)[0], 0);
    EXPECT_EQ(p.Pixel(2)[0], 255);
}

// Layer alpha in runs of clear, opaque and soft pixels of lengths 1 to 9:
// groups of four pixels that are wholly clear, wholly opaque or mixed, at
// every offset, so the passes' shortcuts for clear and opaque groups meet
// their edges. Every pixel must still be the plain mix of its table entry
// (or Add's and Subtract's sum), at opacities that allow weight 255 and not.
TEST(BlendArithmetic, ClearOpaqueAndSoftRunsBlendLikeThePlainMix) {
    constexpr int kPixels = 30001; // over 65 536 channel values: the table path too
    ImageBuffer target, layer;
    ASSERT_TRUE(target.Create(kPixels, 1));
    ASSERT_TRUE(layer.Create(kPixels, 1));
    std::vector<uint8_t> start(4 * kPixels), alpha(kPixels);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, uint8_t(seed >> 16); };
    for (int i = 0; i < kPixels;) {
        const int length = 1 + next() % 9, kind = next() % 3;
        for (int k = 0; k < length && i < kPixels; ++k, ++i)
            alpha[size_t(i)] = kind == 0 ? 0 : kind == 1 ? 255 : next();
    }
    for (uint8_t& b : start)
        b = next();
    BlendTable table;
    for (int code = 0; code <= 16; ++code) {
        for (int opacity : {128, 200, 100, 1}) {
            std::memcpy(target.bits, start.data(), start.size());
            for (size_t i = 0; i < size_t(kPixels); ++i) {
                for (int c = 0; c < 3; ++c)
                    layer.bits[4 * i + size_t(c)] = uint8_t(start[4 * i + size_t(c)] * 7 + c * 50 + i);
                layer.bits[4 * i + 3] = alpha[i];
            }
            CompositeLayer(target, layer, uint8_t(code), uint8_t(opacity), table);
            for (size_t k = 0; k < 4 * size_t(kPixels); ++k) {
                const int d = start[k], s = layer.bits[k];
                const int w = int(MixWeight(alpha[k / 4], uint8_t(opacity)));
                int expected = ReferenceMix(d, BlendChannel(uint8_t(code), d, s), w);
                if (code == kBlendAdd)
                    expected = std::min(255, d + s * w / 255);
                if (code == kBlendSubtract)
                    expected = std::max(0, d - s * w / 255);
                if ((k & 3) == 3)
                    expected = d;
                ASSERT_EQ(target.bits[k], expected) << "code " << code << " opacity " << opacity << " byte " << k;
            }
        }
    }
}

TEST(BlendArithmetic, SmallAndLargeLayersBlendAlike) {
    // Every (d, s) pair at full weight, once in a layer big enough for the
    // table and once pixel by pixel in layers too small for one.
    ImageBuffer target, layer;
    ASSERT_TRUE(target.Create(256, 256));
    ASSERT_TRUE(layer.Create(256, 256));
    BlendTable table;
    ImageBuffer one, oneLayer;
    ASSERT_TRUE(one.Create(1, 1));
    ASSERT_TRUE(oneLayer.Create(1, 1));
    for (int code = 0; code <= 16; ++code) {
        if (code == kBlendAdd || code == kBlendSubtract)
            continue;
        for (int i = 0; i < 65536; ++i) {
            const int d = i >> 8, s = i & 255;
            reinterpret_cast<uint32_t*>(target.bits)[i] = Bgra(d, d, d, 255);
            reinterpret_cast<uint32_t*>(layer.bits)[i] = Bgra(s, s, s, 255);
        }
        CompositeLayer(target, layer, uint8_t(code), 128, table);
        for (int i = 0; i < 65536; i += 97) {
            const int d = i >> 8, s = i & 255;
            one.Fill(Bgra(d, d, d, 255));
            oneLayer.Fill(Bgra(s, s, s, 255));
            CompositeLayer(one, oneLayer, uint8_t(code), 128, table);
            ASSERT_EQ(one.bits[0], target.bits[4 * i]) << "code " << code << " d " << d << " s " << s;
        }
    }
}

TEST(HcyModel, GreysHaveNoChromaAndHueZero) {
    for (int v = 0; v < 256; ++v) {
        const Hcy hcy = ToHcy(uint8_t(v), uint8_t(v), uint8_t(v));
        ASSERT_EQ(hcy.chroma, 0.0f) << v;
        ASSERT_EQ(hcy.hue, 0.0f) << v;
    }
    EXPECT_NEAR(ToHcy(255, 255, 255).luma, 1.0f, 1e-6f);
}

TEST(HcyModel, PrimariesSitOnTheirHues) {
    const Hcy red = ToHcy(255, 0, 0);
    EXPECT_EQ(red.hue, 0.0f);
    EXPECT_EQ(red.chroma, 1.0f);
    EXPECT_NEAR(red.luma, 0.3f, 1e-6f);
    EXPECT_NEAR(ToHcy(0, 255, 0).hue, 1.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(ToHcy(0, 0, 255).hue, 2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(ToHcy(255, 0, 255).hue, 5.0f / 6.0f, 1e-6f);
}

TEST(HcyModel, FromHcyAtRedAndOnGrey) {
    const Rgb red = FromHcy(0.0f, 1.0f, 0.3f);
    EXPECT_EQ(red.red, 255);
    EXPECT_EQ(red.green, 0);
    EXPECT_EQ(red.blue, 0);
    const Rgb grey = FromHcy(-1.0f, 0.5f, 0.5f); // negative hue: grey at the luma
    EXPECT_EQ(grey.red, 128);
    EXPECT_EQ(grey.blue, 128);
}

TEST(HcyModel, SextantCornersAreThePrimariesAndSecondaries) {
    struct Corner {
        uint8_t r, g, b;
    };
    const Corner corners[] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 0, 255}};
    for (const Corner& c : corners) {
        const Hcy hcy = ToHcy(c.r, c.g, c.b);
        const Rgb back = FromHcy(hcy.hue, hcy.chroma, hcy.luma);
        EXPECT_EQ(back.red, c.r);
        EXPECT_EQ(back.green, c.g);
        EXPECT_EQ(back.blue, c.b);
    }
}

struct HcyCase {
    uint8_t code;
    uint32_t target;
    uint32_t layer;
    int b, g, r;
};

TEST(HcyModes, WorkedExamples) {
    const uint32_t green = Bgra(0, 255, 0, 255), red = Bgra(0, 0, 255, 255), white = Bgra(255, 255, 255, 255);
    const uint32_t grey = Bgra(128, 128, 128, 255);
    const HcyCase cases[] = {
        // Red hue onto green: A = (1 - 0.59) / 0.7, so red 255, green and blue 106.
        {kBlendHue, green, red, 106, 106, 255},
        {kBlendColor, green, red, 106, 106, 255},
        {kBlendSaturation, green, red, 0, 255, 0},
        // A white luma over red leaves no room for chroma.
        {kBlendLuminosity, red, white, 255, 255, 255},
        // A grey layer has hue 0: a red tint at the target's chroma and luma.
        {kBlendHue, green, grey, 106, 106, 255},
        {kBlendHue, grey, red, 128, 128, 128},
    };
    BlendTable table;
    for (const HcyCase& c : cases) {
        Pair p(1, 1, c.target, c.layer);
        CompositeLayer(p.target, p.layer, c.code, 128, table);
        EXPECT_EQ(p.Pixel(0)[0], c.b) << "code " << int(c.code);
        EXPECT_EQ(p.Pixel(0)[1], c.g) << "code " << int(c.code);
        EXPECT_EQ(p.Pixel(0)[2], c.r) << "code " << int(c.code);
    }
}

TEST(HcyModes, PartialWeightMixesTowardsTheHcyResult) {
    BlendTable table;
    Pair p(1, 1, Bgra(0, 255, 0, 255), Bgra(0, 0, 255, 255));
    CompositeLayer(p.target, p.layer, kBlendHue, 64, table); // weight 127
    EXPECT_EQ(p.Pixel(0)[2], ReferenceMix(0, 255, 127));
    EXPECT_EQ(p.Pixel(0)[1], ReferenceMix(255, 106, 127));
    EXPECT_EQ(p.Pixel(0)[0], ReferenceMix(0, 106, 127));
}

} // namespace

namespace {

// Every (picture, layer) value pair of one channel, at several weights:
// CompositeLayer against the table entry and the plain mix. Whatever path a
// mode takes (a vector formula, the table, entry by entry), the bytes are
// the table's.
TEST(BlendPaths, EveryModeGivesTheTableBytesForEveryValuePair) {
    BlendTable reference, scratch;
    ASSERT_TRUE(reference.Allocate());
    for (int code = 0; code <= 16; ++code) {
        if (!IsTableMode(uint8_t(code)))
            continue;
        BuildBlendTable(reference, uint8_t(code));
        for (int alpha : {255, 200, 3}) {
            ImageBuffer target, layer;
            ASSERT_TRUE(target.Create(256, 257)); // one row more than the pairs: a tail of pixels
            ASSERT_TRUE(layer.Create(256, 257));
            for (size_t i = 0; i < target.PixelCount(); ++i) {
                const int d = int(i >> 8) & 255, s = int(i & 255);
                target.bits[4 * i] = uint8_t(d), target.bits[4 * i + 1] = uint8_t(255 - d);
                target.bits[4 * i + 2] = uint8_t(d ^ 0x5A), target.bits[4 * i + 3] = 0x33;
                layer.bits[4 * i] = uint8_t(s), layer.bits[4 * i + 1] = uint8_t(s ^ 0xA5);
                layer.bits[4 * i + 2] = uint8_t(255 - s), layer.bits[4 * i + 3] = uint8_t(alpha);
            }
            std::vector<uint8_t> before(target.bits, target.bits + target.ByteCount());
            CompositeLayer(target, layer, uint8_t(code), 128, scratch);
            for (size_t k = 0; k < target.ByteCount(); ++k) {
                const int d = before[k], s = layer.bits[k];
                const int expected = (k & 3) == 3 ? d : ReferenceMix(d, reference.At(uint8_t(d), uint8_t(s)), alpha);
                ASSERT_EQ(target.bits[k], expected)
                    << "code " << code << " d " << d << " s " << s << " alpha " << alpha;
            }
        }
    }
}

} // namespace
