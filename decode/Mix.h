#pragma once
// The weighted mix every layer ends with: a channel moves from its current
// value towards a blended value by weight / 255. Shared by the QVM blend modes
// and the QVR coverage layers.

#include <cstdint>

// Opacity is stored as 0 to 128 (fully opaque). Larger bytes are clamped:
// they would push the weight past 255 and make the mix overshoot and wrap.
constexpr uint32_t kFullOpacity = 128;

// Weight 0 to 255 of a pixel whose alpha (or coverage) is value.
inline uint32_t MixWeight(uint8_t value, uint8_t opacity) {
    const uint32_t o = opacity > kFullOpacity ? kFullOpacity : opacity;
    return (uint32_t(value) * o) >> 7;
}

// target + (blended - target) * weight / 255, the division truncating toward
// zero as C++ integer division does.
inline uint8_t MixChannel(uint8_t target, int blended, uint32_t weight) {
    return uint8_t(int(target) + ((blended - int(target)) * int(weight)) / 255);
}
