#pragma once
// The pixel loops of the blend modes and the coverage layers, as passes over
// runs of pixels or bytes. Each pass is one plain loop without branches; on
// x86-64 it works sixty-four bytes at a time where the processor runs
// AVX-512, thirty-two where it runs AVX2 and sixteen (SSE2) otherwise
// (MixRuns_x86.cpp picks, MixRunsVector.h is the loop for all three),
// elsewhere one byte at a time (MixRuns_scalar.cpp), with the same bytes
// out. Byte 3 of a target pixel is never changed: its weight is 0.

#include <cstddef>
#include <cstdint>

// Pixels per run, for callers that blend through a scratch run: small
// enough for the stack and the first-level cache.
constexpr size_t kRunPixels = 512;
constexpr size_t kRunBytes = kRunPixels * 4;

// For count pixels: each colour byte of target moves to the matching byte
// of blended by the pixel's weight, MixWeight(alpha of the layer pixel,
// opacity). blended may be layer itself (Normal).
void MixLayerPixels(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count, uint8_t opacity);

// For the separable codes other than Normal (Multiply, Screen, Overlay, Soft
// light, Hard light, Dodge, Burn, Linear burn, Vivid light, Linear light, Pin
// light, Difference, Lighten, Darken): blends by the code's formula and mixes
// in one pass, with the bytes the blend table gives. False, with nothing
// done, for any other code or where there are no vector formulas.
bool BlendByFormula(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);

// Add and Subtract: each colour byte of target plus / minus the layer byte
// times the weight / 255, saturated.
void AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);
void SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);

// The HCY modes (code kBlendHue, kBlendSaturation, kBlendColor or
// kBlendLuminosity): the bytes of BlendHcyPixels (Hcy.h), a register of
// pixels at a time where the processor has vector passes.
void HcyLayerPixels(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity);

// For count pixels: each colour byte moves to the matching byte of colour
// (byte 0 blue, 1 green, 2 red) by MixWeight(coverage[i], opacity). Runs of
// clear coverage are passed over without touching the pixels.
void MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour);

// Asks the processor to bring count bytes at pixels into the cache ahead of
// their use; changes nothing, and does nothing where there is no such hint.
void PrefetchPixels(const uint8_t* pixels, size_t count);
