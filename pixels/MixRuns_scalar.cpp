// The passes for processors without SSE2: one byte at a time.
#include "pixels/Hcy.h"
#include "pixels/MixRunPasses.h"
#include "pixels/MixRuns.h"

#include "pixels/MixRunsScalar.h"

void MixLayerPixels(uint8_t* target, const uint8_t* blended, const uint8_t* layer, size_t count, uint8_t opacity) {
    scalar::MixLayerPixels(target, blended, layer, count, opacity);
}

void AddLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    scalar::AddLayerPixels(target, layer, count, opacity);
}

void SubtractLayerPixels(uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    scalar::SubtractLayerPixels(target, layer, count, opacity);
}

void MixCoverage(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour) {
    scalar::MixCoverage(pixels, coverage, count, opacity, colour);
}

void HcyLayerPixels(uint8_t code, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    BlendHcyPixels(code, target, layer, count, opacity);
}

bool BlendByFormula(uint8_t, uint8_t*, const uint8_t*, size_t, uint8_t) {
    return false; // the table is as fast as a formula one byte at a time
}

void PrefetchPixels(const uint8_t*, size_t) {}

const MixRunPasses* MixRunPassesAt(size_t) {
    return nullptr;
}
