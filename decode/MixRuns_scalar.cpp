// The byte-run passes for processors without SSE2: one byte at a time.
#include "decode/MixRuns.h"

#include "decode/MixRunsScalar.h"

void AlphaWeights(const uint8_t* pixels, size_t count, uint8_t opacity, uint8_t* weights) {
    scalar::AlphaWeights(pixels, count, opacity, weights);
}

void CoverageWeights(const uint8_t* coverage, size_t count, uint8_t opacity, uint8_t* weights) {
    scalar::CoverageWeights(coverage, count, opacity, weights);
}

void MixBytes(uint8_t* target, const uint8_t* blended, const uint8_t* weights, size_t count) {
    scalar::MixBytes(target, blended, weights, count);
}

void AddBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count) {
    scalar::AddBytes(target, layer, weights, count);
}

void SubtractBytes(uint8_t* target, const uint8_t* layer, const uint8_t* weights, size_t count) {
    scalar::SubtractBytes(target, layer, weights, count);
}
