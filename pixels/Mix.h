#pragma once
// The weighted mix every layer ends with: a channel moves from its current
// value towards a blended value by weight / 255. Shared by the QVM blend modes
// and the QVR coverage layers. MixRuns.h has the same arithmetic over whole
// runs of bytes, which is how the pixel loops use it.

#include <cstdint>

// Opacity is stored as 0 to 128 (fully opaque). Larger bytes are clamped:
// they would push the weight past 255 and make the mix overshoot and wrap.
constexpr uint32_t kFullOpacity = 128;

// Weight 0 to 255 of a pixel whose alpha (or coverage) is value.
inline uint32_t MixWeight(uint8_t value, uint8_t opacity) {
    const uint32_t o = opacity > kFullOpacity ? kFullOpacity : opacity;
    return (uint32_t(value) * o) >> 7;
}

// x / 255, rounded down, for 0 <= x <= 65534, which holds every product of
// two bytes. No division, and every step stays within 16 bits, so loops over
// many values work several at a time. The tests check every x in the range.
inline uint32_t DivideBy255(uint32_t x) {
    return (x + 1 + (x >> 8)) >> 8;
}

// target + (blended - target) * weight / 255, the division truncating toward
// zero, for blended and weight 0 to 255. Truncating toward zero is dividing
// the magnitude and putting the sign back.
inline uint8_t MixChannel(uint8_t target, int blended, uint32_t weight) {
    const uint32_t t = target, f = uint32_t(blended);
    const uint32_t step = DivideBy255((f > t ? f - t : t - f) * weight);
    return uint8_t(f >= t ? t + step : t - step);
}
