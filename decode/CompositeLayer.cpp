#include "decode/CompositeLayer.h"

#include "decode/BlendModes.h"
#include "decode/BlendTable.h"
#include "decode/Hcy.h"
#include "decode/ImageBuffer.h"
#include "decode/Mix.h"

namespace {

// Pixel bytes: blue, green, red, alpha.
enum { kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };

template <typename Blend>
void BlendSeparable(uint8_t* t, const uint8_t* l, size_t count, uint8_t opacity, Blend blend) {
    for (size_t i = 0; i < count; ++i, t += 4, l += 4) {
        const uint32_t weight = MixWeight(l[kAlpha], opacity);
        for (int c = kBlue; c <= kRed; ++c)
            t[c] = MixChannel(t[c], blend(t[c], l[c]), weight);
    }
}

void BlendThroughTable(uint8_t* t, const uint8_t* l, size_t count, uint8_t code, uint8_t opacity, BlendTable& table) {
    // A table costs 65 536 entries; a layer with fewer channel values than
    // that (a stream that ended early) is cheaper to blend entry by entry,
    // which gives the same bytes and keeps a file of many tiny layers from
    // costing a whole table each. Without memory for a table every layer
    // goes that way.
    if (count * 3 < BlendTable::kEntries || (!table.IsAllocated() && !table.Allocate())) {
        BlendSeparable(t, l, count, opacity, [code](int d, int s) { return BlendChannel(code, d, s); });
        return;
    }
    BuildBlendTable(table, code);
    const uint8_t* entries = table.Entries();
    BlendSeparable(t, l, count, opacity, [entries](int d, int s) { return entries[d * 256 + s]; });
}

void BlendAdd(uint8_t* t, const uint8_t* l, size_t count, uint8_t opacity) {
    for (size_t i = 0; i < count; ++i, t += 4, l += 4) {
        const int weight = int(MixWeight(l[kAlpha], opacity));
        for (int c = kBlue; c <= kRed; ++c) {
            const int v = t[c] + l[c] * weight / 255;
            t[c] = uint8_t(v > 255 ? 255 : v);
        }
    }
}

void BlendSubtract(uint8_t* t, const uint8_t* l, size_t count, uint8_t opacity) {
    for (size_t i = 0; i < count; ++i, t += 4, l += 4) {
        const int weight = int(MixWeight(l[kAlpha], opacity));
        for (int c = kBlue; c <= kRed; ++c) {
            const int v = t[c] - l[c] * weight / 255;
            t[c] = uint8_t(v < 0 ? 0 : v);
        }
    }
}

void BlendHcy(uint8_t* t, const uint8_t* l, size_t count, uint8_t code, uint8_t opacity) {
    for (size_t i = 0; i < count; ++i, t += 4, l += 4) {
        const uint32_t weight = MixWeight(l[kAlpha], opacity);
        if (weight == 0)
            continue;
        Hcy mixed;
        switch (code) {
        case kBlendHue: {
            mixed = ToHcy(t[kRed], t[kGreen], t[kBlue]);
            mixed.hue = ToHcy(l[kRed], l[kGreen], l[kBlue]).hue;
            break;
        }
        case kBlendSaturation: {
            mixed = ToHcy(t[kRed], t[kGreen], t[kBlue]);
            mixed.chroma = ToHcy(l[kRed], l[kGreen], l[kBlue]).chroma;
            break;
        }
        case kBlendColor:
            mixed = ToHcy(l[kRed], l[kGreen], l[kBlue]);
            mixed.luma = LumaOfBytes(t[kRed], t[kGreen], t[kBlue]);
            break;
        default: // kBlendLuminosity
            mixed = ToHcy(t[kRed], t[kGreen], t[kBlue]);
            mixed.luma = LumaOfBytes(l[kRed], l[kGreen], l[kBlue]);
            break;
        }
        const Rgb f = FromHcy(mixed.hue, mixed.chroma, mixed.luma);
        t[kBlue] = MixChannel(t[kBlue], f.blue, weight);
        t[kGreen] = MixChannel(t[kGreen], f.green, weight);
        t[kRed] = MixChannel(t[kRed], f.red, weight);
    }
}

} // namespace

void CompositeLayer(ImageBuffer& target, const ImageBuffer& layer, uint8_t blendMode, uint8_t opacity,
                    BlendTable& table, size_t pixelCount) {
    if (target.IsEmpty() || layer.IsEmpty())
        return;
    size_t count = target.PixelCount() < layer.PixelCount() ? target.PixelCount() : layer.PixelCount();
    if (pixelCount < count)
        count = pixelCount;
    if (count == 0)
        return;
    uint8_t* t = target.bits;
    const uint8_t* l = layer.bits;
    switch (blendMode) {
    case kBlendAdd:
        BlendAdd(t, l, count, opacity);
        break;
    case kBlendSubtract:
        BlendSubtract(t, l, count, opacity);
        break;
    case kBlendHue:
    case kBlendSaturation:
    case kBlendColor:
    case kBlendLuminosity:
        BlendHcy(t, l, count, blendMode, opacity);
        break;
    default:
        // Codes 21 to 255 are not in the format; they blend as Normal rather
        // than through whatever table an earlier layer left behind.
        BlendThroughTable(t, l, count, IsTableMode(blendMode) ? blendMode : uint8_t(kBlendNormal), opacity, table);
        break;
    }
}
