#include "pixels/BlendTable.h"

#include "pixels/BlendModes.h"

namespace {

int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}
int Min(int a, int b) {
    return a < b ? a : b;
}
int Max(int a, int b) {
    return a > b ? a : b;
}

// Overlay and Hard light share this; they differ only in which value decides.
int Overlaid(int d, int s, bool lowHalf) {
    return lowHalf ? (d * s) >> 7 : 255 - (((255 - d) * (255 - s)) >> 7);
}

} // namespace

bool IsTableMode(uint8_t code) {
    return code == kBlendNormal || code == kBlendMultiply || (code >= kBlendScreen && code <= kBlendDarken);
}

uint8_t BlendChannel(uint8_t code, int d, int s) {
    switch (code) {
    case kBlendMultiply:
        return uint8_t(d * s / 255);
    case kBlendScreen:
        return uint8_t(d + s - d * s / 255);
    case kBlendOverlay:
        return uint8_t(Overlaid(d, s, d < 128));
    case kBlendSoftLight: {
        const int m = d * s / 255;
        const int k = (255 - d) * (255 - s) / 255;
        return uint8_t(m + ((255 - k - m) * d) / 255);
    }
    case kBlendHardLight:
        return uint8_t(Overlaid(d, s, s < 128));
    case kBlendDodge:
        return uint8_t(s == 255 ? 255 : Min(255, 255 * d / (255 - s)));
    case kBlendBurn:
        return uint8_t(s == 0 ? 0 : Max(0, 255 - 255 * (255 - d) / s));
    case kBlendLinearBurn:
        return uint8_t(Max(0, d + s - 255));
    case kBlendVividLight:
        // The bounds keep both divisions away from zero: s = 0 always takes
        // the first branch, s = 255 always the second.
        if (s < 128)
            return uint8_t(d <= 255 - 2 * s ? 0 : 255 * (d + 2 * s - 255) / (2 * s));
        return uint8_t(d >= 510 - 2 * s ? 255 : 255 * d / (510 - 2 * s));
    case kBlendLinearLight:
        return uint8_t(Clamp255(d + 2 * s - 255));
    case kBlendPinLight:
        return uint8_t(s < 128 ? Min(d, 2 * s) : Max(d, 2 * s - 255));
    case kBlendDifference:
        return uint8_t(d > s ? d - s : s - d);
    case kBlendLighten:
        return uint8_t(Max(d, s));
    case kBlendDarken:
        return uint8_t(Min(d, s));
    default:
        return uint8_t(s);
    }
}

void BuildBlendTable(BlendTable& table, uint8_t code) {
    if (table.builtFor == code)
        return;
    table.builtFor = code;
    uint8_t* entry = table.Entries();
    for (int d = 0; d < 256; ++d) {
        for (int s = 0; s < 256; ++s)
            *entry++ = BlendChannel(code, d, s);
    }
}
