#pragma once
// The HCY colour model of the Hue, Saturation, Color and Luminosity blend
// modes: hue 0 to 1 around the colour wheel (0 red), chroma (largest minus
// smallest channel, 0 to 1) and luma (0.3 red + 0.59 green + 0.11 blue).
// Single-precision arithmetic throughout, as the documents were made with.
//
// The constants are data here, not code, so that the vector passes
// (MixRunsHcy.h) use the very same numbers without calling into this file.

#include <cstddef>
#include <cstdint>

struct Hcy {
    float hue;
    float chroma;
    float luma;
};

struct Rgb {
    int red;
    int green;
    int blue;
};

// 1/255 and 1/360 as the floats the documents were made with (0.0039215689
// and 0.0027777778), written in hexadecimal so that no compiler's rounding
// of a decimal literal can move them.
constexpr float kHcyInv255 = 0x1.010102p-8f;
constexpr float kHcyInv360 = 0x1.6c16c2p-9f;

// The hue wheel in six sextants. Sextant k < 5 holds the hues up to
// kHueSextantEnds[k] (the largest float not above k+1 sixths, so that float
// hues split exactly where the exact sixths do); the last one the rest.
// Within sextant k, with t = 6 x (hue - origin), each channel of the pure hue
// lies offsetBase + offsetSlope x t from its own luma. The rows are padded to
// eight for the vector passes' lookups.
constexpr float kHueSextantEnds[5] = {0x1.555554p-3f, 0x1.555554p-2f, 0x1p-1f, 0x1.555554p-1f, 0x1.aaaaaap-1f};

struct HueSextants {
    float origin[8];
    float offsetBase[3][8];  // red, green, blue
    float offsetSlope[3][8]; // red, green, blue
};

// Origins: 0, a third (twice), two thirds (twice), 1; the thirds are the
// floats 0.33333334 and 0.6666667.
constexpr HueSextants kHueSextants = {
    {0.0f, 0x1.555556p-2f, 0x1.555556p-2f, 0x1.555556p-1f, 0x1.555556p-1f, 1.0f, 0.0f, 0.0f},
    {{0.7f, -0.59f, -0.59f, -0.11f, -0.11f, 0.7f, 0.0f, 0.0f},
     {-0.3f, 0.41f, 0.41f, -0.11f, -0.11f, -0.3f, 0.0f, 0.0f},
     {-0.3f, -0.59f, -0.59f, 0.89f, 0.89f, -0.3f, 0.0f, 0.0f}},
    {{-0.59f, -0.7f, -0.11f, 0.59f, 0.7f, 0.11f, 0.0f, 0.0f},
     {0.41f, 0.3f, -0.11f, -0.41f, -0.3f, 0.11f, 0.0f, 0.0f},
     {-0.59f, 0.3f, 0.89f, 0.59f, -0.3f, -0.89f, 0.0f, 0.0f}},
};

// ToHcy's hue needs which channel is largest (red before green before
// blue) and, after the division, whether to add 120, 240 or 360 degrees.
// Both follow from three compares of the bytes, taken before the division:
// g > r, b > r and b > g, as the index a + 2b + 4c of the tables below
// (two of the eight orders cannot happen). With the median and smallest
// channel the difference ToHcy divides is the median minus the smallest,
// or its negative: the sign is a table too.
struct HueOrders {
    float sign[8];  // -0.0f where the difference is the negative one
    float start[8]; // degrees added to the quotient
};

constexpr HueOrders MakeHueOrders() {
    HueOrders orders = {};
    for (int k = 0; k < 8; ++k) {
        const bool greenOverRed = k & 1, blueOverRed = k & 2, blueOverGreen = k & 4;
        const bool red = !greenOverRed && !blueOverRed, green = greenOverRed && !blueOverGreen;
        // Red: g - b, below 0 (and then 360 added) where b > g. Green: b - r,
        // the negative where r > b. Blue: r - g, the negative where g > r.
        const bool negative = red ? blueOverGreen : green ? !blueOverRed : greenOverRed;
        orders.sign[k] = negative ? -0.0f : 0.0f;
        orders.start[k] = red ? (blueOverGreen ? 360.0f : 0.0f) : green ? 120.0f : 240.0f;
    }
    return orders;
}

constexpr HueOrders kHueOrders = MakeHueOrders();

// The sextant FromHcy finds by comparing the hue with kHueSextantEnds is
// also trunc(6 x hue - kSextantNudge): they differ only where the hue is
// exactly a third of the way round twice (0.6666667), and there both
// sextants start at that hue, t is 0 and the offsets are the same. The
// nudge keeps a hue of exactly a half in the sextant that ends there.
// check_hcy_passes goes through every colour for both.
constexpr float kSextantNudge = 0x1.000002p-23f;

// LumaOfBytes sums double(0.3f) x red + double(0.59f) x green +
// double(0.11f) x blue exactly in double precision.
constexpr double kLumaRed = double(0.3f), kLumaGreen = double(0.59f), kLumaBlue = double(0.11f);
// The same times 2^27: whole numbers below 2^27, so that every term and
// every partial sum of that sum is exact.
constexpr int64_t kLumaRed27 = int64_t(kLumaRed * 0x1p27), kLumaGreen27 = int64_t(kLumaGreen * 0x1p27),
                  kLumaBlue27 = int64_t(kLumaBlue * 0x1p27);
static_assert(double(kLumaRed27) == kLumaRed * 0x1p27 && double(kLumaGreen27) == kLumaGreen * 0x1p27 &&
                  double(kLumaBlue27) == kLumaBlue * 0x1p27 && kLumaGreen27 < (int64_t(1) << 27),
              "the luma coefficients are whole numbers of 2^-27");

Hcy ToHcy(uint8_t red, uint8_t green, uint8_t blue);
// Channel bytes 0 to 255 of the colour with that hue and chroma at that luma;
// where the colour leaves the gamut the chroma is scaled down, keeping the luma.
Rgb FromHcy(float hue, float chroma, float luma);
// The luma the Color and Luminosity modes take straight from a pixel's bytes.
float LumaOfBytes(uint8_t red, uint8_t green, uint8_t blue);

// The four HCY modes over count pixels one at a time: each target pixel
// (blue, green, red, alpha) moves towards the colour the mode makes of it
// and the layer pixel by MixWeight(layer alpha, opacity); pixels of weight 0
// are passed over. code is kBlendHue, kBlendSaturation, kBlendColor or
// kBlendLuminosity. The vector passes give the same bytes.
void BlendHcyPixels(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);
