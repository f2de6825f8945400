#pragma once
// The byte-run passes of MixRuns.h one byte (or pixel) at a time: the whole
// of MixRuns_scalar.cpp, and the tails of runs that the vector passes of
// MixRuns_sse2.cpp leave over.

#include "decode/Mix.h"

#include <cstddef>
#include <cstdint>

namespace scalar {

inline void PutWeightWord(uint8_t* out, uint32_t w) {
    out[0] = out[1] = out[2] = uint8_t(w);
    out[3] = 0;
}

inline void AlphaWeights(const uint8_t* pixels, size_t count, uint8_t opacity, uint8_t* weights) {
    for (size_t i = 0; i < count; ++i)
        PutWeightWord(weights + 4 * i, MixWeight(pixels[4 * i + 3], opacity));
}

inline void CoverageWeights(const uint8_t* coverage, size_t count, uint8_t opacity, uint8_t* weights) {
    for (size_t i = 0; i < count; ++i)
        PutWeightWord(weights + 4 * i, MixWeight(coverage[i], opacity));
}

inline void MixBytes(uint8_t* target, const uint8_t* blended, const uint8_t* weights, size_t count) {
    for (size_t k = 0; k < count; ++k)
        target[k] = MixChannel(target[k], blended[k], weights[k]);
}

inline void AddBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        const uint32_t sum = target[k] + DivideBy255(uint32_t(layer[k]) * weights[k]);
        target[k] = uint8_t(sum > 255 ? 255 : sum);
    }
}

inline void SubtractBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        const uint32_t t = target[k], step = DivideBy255(uint32_t(layer[k]) * weights[k]);
        target[k] = uint8_t(t > step ? t - step : 0);
    }
}

} // namespace scalar
