#include "pixels/Hcy.h"

#include "pixels/BlendModes.h"
#include "pixels/Mix.h"

namespace {

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
    const float r = float(red) * kHcyInv255;
    const float g = float(green) * kHcyInv255;
    const float b = float(blue) * kHcyInv255;
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
    out.hue = degrees * kHcyInv360;
    return out;
}

Rgb FromHcy(float hue, float chroma, float luma) {
    if (hue < 0.0f || chroma == 0.0f) {
        const int grey = ChannelByte(luma);
        return {grey, grey, grey};
    }
    int sextant = 0;
    while (sextant < 5 && !(hue <= kHueSextantEnds[sextant]))
        ++sextant;
    // Offsets of the pure hue from its own luma; at the sextant corners these
    // are the primary and secondary colours minus their luma.
    const float t = 6.0f * (hue - kHueSextants.origin[sextant]);
    float d[3];
    for (int c = 0; c < 3; ++c)
        d[c] = (kHueSextants.offsetBase[c][sextant] + kHueSextants.offsetSlope[c][sextant] * t) * chroma;
    const float hi = Largest(d[0], d[1], d[2]);
    const float lo = Smallest(d[0], d[1], d[2]);
    // Scale the chroma down just enough to bring the brightest channel to 1
    // and the darkest to 0.
    float a = 1.0f;
    if (luma + hi > 1.0f)
        a = (1.0f - luma) / hi;
    if (luma + lo < 0.0f && luma / -lo < a)
        a = luma / -lo;
    return {ChannelByte(luma + d[0] * a), ChannelByte(luma + d[1] * a), ChannelByte(luma + d[2] * a)};
}

float LumaOfBytes(uint8_t red, uint8_t green, uint8_t blue) {
    // The sum is held wider and rounded once, at the end.
    const double sum = kLumaRed * red + kLumaGreen * green + kLumaBlue * blue;
    return float(sum * double(kHcyInv255));
}

void BlendHcyPixels(uint8_t code, uint8_t* t, const uint8_t* l, size_t count, uint8_t opacity) {
    enum { kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };
    for (size_t i = 0; i < count; ++i, t += 4, l += 4) {
        const uint32_t weight = MixWeight(l[kAlpha], opacity);
        if (weight == 0)
            continue;
        Hcy mixed;
        switch (code) {
        case kBlendHue:
            mixed = ToHcy(t[kRed], t[kGreen], t[kBlue]);
            mixed.hue = ToHcy(l[kRed], l[kGreen], l[kBlue]).hue;
            break;
        case kBlendSaturation:
            mixed = ToHcy(t[kRed], t[kGreen], t[kBlue]);
            mixed.chroma = ToHcy(l[kRed], l[kGreen], l[kBlue]).chroma;
            break;
        case kBlendColor:
            mixed = ToHcy(l[kRed], l[kGreen], l[kBlue]);
            mixed.luma = LumaOfBytes(t[kRed], t[kGreen], t[kBlue]);
            break;
        default: // kBlendLuminosity
            mixed = ToHcy(t[kRed], t[kGreen], t[kBlue]);
            mixed.luma = LumaOfBytes(l[kRed], l[kGreen], l[kBlue]);
            break;
        }
        const Rgb f = FromHcy(mixed.hue, mixed.chroma, mixed.luma);
        t[kBlue] = MixChannel(t[kBlue], f.blue, weight);
        t[kGreen] = MixChannel(t[kGreen], f.green, weight);
        t[kRed] = MixChannel(t[kRed], f.red, weight);
    }
}
