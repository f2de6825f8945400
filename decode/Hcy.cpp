#include "decode/Hcy.h"

#include <cstring>

namespace {

// 1/255 as the float with exactly these bits (0.0039215689), taken from the
// bits so that no compiler's rounding of a decimal literal can move it.
float Inverse255() {
    const uint32_t bits = 0x3B808081u;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const float kInv255 = Inverse255();
const float kInv360 = 0.0027777778f;

// Hue origins inside the sextant formulas are floats; the sextant bounds
// they are compared against are doubles.
const float kThird = 0.33333334f;
const float kTwoThirds = 0.6666667f;

int ChannelByte(float value) {
    const float scaled = value * 255.0f + 0.5f;
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return int(scaled);
}

float Largest(float a, float b, float c) {
    const float m = a > b ? a : b;
    return m > c ? m : c;
}

float Smallest(float a, float b, float c) {
    const float m = a < b ? a : b;
    return m < c ? m : c;
}

} // namespace

Hcy ToHcy(uint8_t red, uint8_t green, uint8_t blue) {
    const float r = float(red) * kInv255;
    const float g = float(green) * kInv255;
    const float b = float(blue) * kInv255;
    Hcy out;
    out.luma = 0.11f * b + 0.59f * g + 0.3f * r;
    float maximum = red >= green ? r : g;
    if (b > maximum)
        maximum = b;
    float minimum = red <= green ? r : g;
    if (b < minimum)
        minimum = b;
    out.chroma = maximum - minimum;
    if (out.chroma == 0.0f) {
        out.hue = 0.0f;
        return out;
    }
    float degrees;
    if (r == maximum)
        degrees = 60.0f * (g - b) / out.chroma;
    else if (g == maximum)
        degrees = 60.0f * (b - r) / out.chroma + 120.0f;
    else
        degrees = 60.0f * (r - g) / out.chroma + 240.0f;
    if (degrees < 0.0f)
        degrees += 360.0f;
    out.hue = degrees * kInv360;
    return out;
}

Rgb FromHcy(float hue, float chroma, float luma) {
    if (hue < 0.0f || chroma == 0.0f) {
        const int grey = ChannelByte(luma);
        return {grey, grey, grey};
    }
    // Offsets of the pure hue from its own luma; at the sextant corners these
    // are the primary and secondary colours minus their luma.
    const double h = hue;
    float t, offR, offG, offB;
    if (h <= 1.0 / 6.0) {
        t = 6.0f * hue;
        offR = 0.7f - 0.59f * t;
        offG = 0.41f * t - 0.3f;
        offB = -0.3f - 0.59f * t;
    } else if (h <= 1.0 / 2.0) {
        t = 6.0f * (hue - kThird);
        if (h <= 1.0 / 3.0) {
            offR = -0.59f - 0.7f * t;
            offG = 0.41f + 0.3f * t;
            offB = 0.3f * t - 0.59f;
        } else {
            offR = -0.59f - 0.11f * t;
            offG = 0.41f - 0.11f * t;
            offB = 0.89f * t - 0.59f;
        }
    } else if (h <= 5.0 / 6.0) {
        t = 6.0f * (hue - kTwoThirds);
        if (h <= 2.0 / 3.0) {
            offR = 0.59f * t - 0.11f;
            offG = -0.11f - 0.41f * t;
            offB = 0.89f + 0.59f * t;
        } else {
            offR = 0.7f * t - 0.11f;
            offG = -0.11f - 0.3f * t;
            offB = 0.89f - 0.3f * t;
        }
    } else {
        t = 6.0f * (hue - 1.0f);
        offR = 0.7f + 0.11f * t;
        offG = 0.11f * t - 0.3f;
        offB = -0.3f - 0.89f * t;
    }
    const float dR = offR * chroma;
    const float dG = offG * chroma;
    const float dB = offB * chroma;
    const float hi = Largest(dR, dG, dB);
    const float lo = Smallest(dR, dG, dB);
    // Scale the chroma down just enough to bring the brightest channel to 1
    // and the darkest to 0.
    float a = 1.0f;
    if (luma + hi > 1.0f)
        a = (1.0f - luma) / hi;
    if (luma + lo < 0.0f && luma / -lo < a)
        a = luma / -lo;
    return {ChannelByte(luma + dR * a), ChannelByte(luma + dG * a), ChannelByte(luma + dB * a)};
}

float LumaOfBytes(uint8_t red, uint8_t green, uint8_t blue) {
    // The sum is held wider and rounded once, at the end.
    const double sum = double(0.3f) * red + double(0.59f) * green + double(0.11f) * blue;
    return float(sum * double(kInv255));
}
