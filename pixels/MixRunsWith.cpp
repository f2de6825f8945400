// A vector set's passes with their tails: whatever a set leaves of a run,
// fewer pixels than its registers hold, is done by the scalar passes (the
// formulas by the blend table's own).
#include "pixels/BlendTable.h"
#include "pixels/Hcy.h"
#include "pixels/Mix.h"
#include "pixels/MixRunPasses.h"
#include "pixels/MixRunsScalar.h"

void MixLayerPixelsWith(const MixRunPasses& set, uint8_t* target, const uint8_t* blended, const uint8_t* layer,
                        size_t count, uint8_t opacity) {
    const size_t i = set.mixLayerPixels(target, blended, layer, count, opacity);
    scalar::MixLayerPixels(target + 4 * i, blended + 4 * i, layer + 4 * i, count - i, opacity);
}

bool BlendByFormulaWith(const MixRunPasses& set, uint8_t code, uint8_t* target, const uint8_t* layer, size_t count,
                        uint8_t opacity) {
    size_t i = 0;
    if (!set.blendByFormula(code, target, layer, count, opacity, &i))
        return false;
    for (size_t k = 4 * i; k < 4 * count; k += 4) {
        const uint32_t w = MixWeight(layer[k + 3], opacity);
        for (size_t c = 0; c < 3; ++c) {
            const uint8_t d = target[k + c], s = layer[k + c];
            target[k + c] = MixChannel(d, BlendChannel(code, d, s), w);
        }
    }
    return true;
}

void AddLayerPixelsWith(const MixRunPasses& set, uint8_t* target, const uint8_t* layer, size_t count, uint8_t opacity) {
    const size_t i = set.addLayerPixels(target, layer, count, opacity);
    scalar::AddLayerPixels(target + 4 * i, layer + 4 * i, count - i, opacity);
}

void SubtractLayerPixelsWith(const MixRunPasses& set, uint8_t* target, const uint8_t* layer, size_t count,
                             uint8_t opacity) {
    const size_t i = set.subtractLayerPixels(target, layer, count, opacity);
    scalar::SubtractLayerPixels(target + 4 * i, layer + 4 * i, count - i, opacity);
}

void MixCoverageWith(const MixRunPasses& set, uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity,
                     uint32_t colour) {
    const size_t i = set.mixCoverage(pixels, coverage, count, opacity, colour);
    scalar::MixCoverage(pixels + 4 * i, coverage + i, count - i, opacity, colour);
}

void HcyLayerPixelsWith(const MixRunPasses& set, uint8_t code, uint8_t* target, const uint8_t* layer, size_t count,
                        uint8_t opacity) {
    const size_t i = set.hcyLayerPixels(code, target, layer, count, opacity);
    BlendHcyPixels(code, target + 4 * i, layer + 4 * i, count - i, opacity);
}
