#pragma once
// The pixel loops of the blend modes and the coverage layers, as passes over
// runs of bytes: one pass turns alpha (or coverage) into a weight per byte,
// others blend byte by byte. A colour byte's weight is the pixel's weight and
// byte 3's weight is 0, so byte 3 comes out unchanged without a test. Each
// pass is a plain loop over bytes with no branches, which compilers turn into
// vector code.

#include <cstddef>
#include <cstdint>

// Pixels per run: the scratch runs of a caller stay small enough for the
// stack and the first-level cache.
constexpr size_t kRunPixels = 512;
constexpr size_t kRunBytes = kRunPixels * 4;

// weights[4i + c] = MixWeight(alpha of pixels[i], opacity) for c < 3, 0 for
// c = 3; count pixels.
void AlphaWeights(const uint8_t* pixels, size_t count, uint8_t opacity, uint8_t* weights);
// The same from one coverage byte per pixel.
void CoverageWeights(const uint8_t* coverage, size_t count, uint8_t opacity, uint8_t* weights);

// target[k] = MixChannel(target[k], blended[k], weights[k]) for count bytes.
void MixBytes(uint8_t* target, const uint8_t* blended, const uint8_t* weights, size_t count);

// Add and Subtract: target[k] + / - layer[k] * weights[k] / 255, saturated.
void AddBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count);
void SubtractBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count);
