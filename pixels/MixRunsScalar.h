#pragma once
// The passes of MixRuns.h one pixel or byte at a time: the whole of
// MixRuns_scalar.cpp, and the tails of runs that the vector passes of
// MixRunsVector.h leave over (MixRunsWith.cpp).

#include "pixels/Mix.h"

#include <cstddef>
#include <cstdint>

namespace scalar {

inline void MixLayerPixels(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count,
                           uint8_t opacity) {
    for (size_t i = 0; i < 4 * count; i += 4) {
        const uint32_t w = MixWeight(layer[i + 3], opacity);
        for (size_t c = 0; c < 3; ++c)
            target[i + c] = MixChannel(target[i + c], blended[i + c], w);
    }
}

inline void AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    for (size_t i = 0; i < 4 * count; i += 4) {
        const uint32_t w = MixWeight(layer[i + 3], opacity);
        for (size_t c = 0; c < 3; ++c) {
            const uint32_t sum = target[i + c] + DivideBy255(layer[i + c] * w);
            target[i + c] = uint8_t(sum > 255 ? 255 : sum);
        }
    }
}

inline void SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    for (size_t i = 0; i < 4 * count; i += 4) {
        const uint32_t w = MixWeight(layer[i + 3], opacity);
        for (size_t c = 0; c < 3; ++c) {
            const uint32_t t = target[i + c], step = DivideBy255(layer[i + c] * w);
            target[i + c] = uint8_t(t > step ? t - step : 0);
        }
    }
}

inline void MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour) {
    const uint8_t channel[3] = {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16)};
    for (size_t i = 0; i < count; ++i) {
        const uint32_t w = MixWeight(coverage[i], opacity);
        if (w == 0)
            continue;
        for (size_t c = 0; c < 3; ++c)
            pixels[4 * i + c] = MixChannel(pixels[4 * i + c], channel[c], w);
    }
}

} // namespace scalar
