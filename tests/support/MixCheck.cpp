#include "tests/support/MixCheck.h"

#include "pixels/BlendModes.h"
#include "pixels/BlendTable.h"
#include "pixels/Hcy.h"
#include "pixels/MixRunPasses.h"
#include "pixels/MixRunsScalar.h"

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

enum Pass { kMix, kMixSelf, kFormula, kAdd, kSubtract, kCoverage, kHcy, kPassCount };

constexpr size_t kHeader = 7;

std::string Compare(const Bytes& got, const Bytes& want, const char* pass) {
    for (size_t i = 0; i < want.size(); ++i) {
        if (got[i] != want[i])
            return std::string(pass) + ": byte " + std::to_string(i) + " is " + std::to_string(got[i]) +
                   ", one at a time gives " + std::to_string(want[i]);
    }
    return {};
}

std::string CheckWithSet(const MixRunPasses& set, const uint8_t* data, size_t size) {
    const int pass = data[0] % kPassCount;
    const uint8_t code = data[1];
    const uint8_t opacity = data[2];
    const uint32_t colour =
        uint32_t(data[3]) | uint32_t(data[4]) << 8 | uint32_t(data[5]) << 16 | uint32_t(data[6]) << 24;
    const uint8_t* rest = data + kHeader;
    const size_t restSize = size - kHeader;

    if (pass == kCoverage) {
        const size_t count = restSize / 5;
        Bytes pixels(rest, rest + 4 * count), coverage(rest + 4 * count, rest + 5 * count);
        Bytes want = pixels;
        MixCoverageWith(set, pixels.data(), coverage.data(), count, opacity, colour);
        scalar::MixCoverage(want.data(), coverage.data(), count, opacity, colour);
        return Compare(pixels, want, "MixCoverage");
    }

    const size_t count = restSize / 12;
    Bytes target(rest, rest + 4 * count), layer(rest + 4 * count, rest + 8 * count),
        blended(rest + 8 * count, rest + 12 * count);
    Bytes want = target;
    switch (pass) {
    case kMix:
        MixLayerPixelsWith(set, target.data(), blended.data(), layer.data(), count, opacity);
        scalar::MixLayerPixels(want.data(), blended.data(), layer.data(), count, opacity);
        return Compare(target, want, "MixLayerPixels");
    case kMixSelf:
        MixLayerPixelsWith(set, target.data(), layer.data(), layer.data(), count, opacity);
        scalar::MixLayerPixels(want.data(), layer.data(), layer.data(), count, opacity);
        return Compare(target, want, "MixLayerPixels of the layer itself");
    case kFormula: {
        if (!BlendByFormulaWith(set, code, target.data(), layer.data(), count, opacity))
            return Compare(target, want, "BlendByFormula that declined"); // must leave the pixels alone
        for (size_t i = 0; i < 4 * count; ++i)
            blended[i] = BlendChannel(code, want[i], layer[i]);
        scalar::MixLayerPixels(want.data(), blended.data(), layer.data(), count, opacity);
        return Compare(target, want, "BlendByFormula");
    }
    case kHcy: {
        const uint8_t hcyCode = uint8_t(kBlendHue + code % 4);
        HcyLayerPixelsWith(set, hcyCode, target.data(), layer.data(), count, opacity);
        BlendHcyPixels(hcyCode, want.data(), layer.data(), count, opacity);
        return Compare(target, want, "HcyLayerPixels");
    }
    case kAdd:
        AddLayerPixelsWith(set, target.data(), layer.data(), count, opacity);
        scalar::AddLayerPixels(want.data(), layer.data(), count, opacity);
        return Compare(target, want, "AddLayerPixels");
    default:
        SubtractLayerPixelsWith(set, target.data(), layer.data(), count, opacity);
        scalar::SubtractLayerPixels(want.data(), layer.data(), count, opacity);
        return Compare(target, want, "SubtractLayerPixels");
    }
}
} // namespace

std::string CheckMixRuns(const uint8_t* data, size_t size) {
    if (size < kHeader)
        return {};
    for (size_t i = 0; const MixRunPasses* set = MixRunPassesAt(i); ++i) {
        const std::string difference = CheckWithSet(*set, data, size);
        if (!difference.empty())
            return std::string(set->name) + " " + difference;
    }
    return {};
}
