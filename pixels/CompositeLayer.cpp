#include "pixels/CompositeLayer.h"

#include "pixels/BlendModes.h"
#include "pixels/BlendTable.h"
#include "pixels/ImageBuffer.h"
#include "pixels/Mix.h"
#include "pixels/MixRuns.h"

namespace {

// One lookup per colour byte. Byte 3 of blended is not written: its weight
// is 0, so whatever it holds never reaches the picture. Nor are the colour
// bytes of clear layer pixels (weight 0 at any opacity): painted layers are
// largely clear, and the mix never takes a blended byte of weight 0.
void LookUp(const uint8_t* entries, const uint8_t* t, const uint8_t* l, uint8_t* blended, size_t count) {
    for (size_t i = 0; i < 4 * count; i += 4) {
        if (l[i + 3] == 0)
            continue;
        blended[i] = entries[size_t(t[i]) * 256 + l[i]];
        blended[i + 1] = entries[size_t(t[i + 1]) * 256 + l[i + 1]];
        blended[i + 2] = entries[size_t(t[i + 2]) * 256 + l[i + 2]];
    }
}

void BlendThroughTable(uint8_t* t, const uint8_t* l, size_t count, uint8_t code, uint8_t opacity, BlendTable& table) {
    if (code == kBlendNormal) {
        // Normal's table holds the layer value itself: the layer is the blended value.
        MixLayerPixels(t, l, l, count, opacity);
        return;
    }
    if (BlendByFormula(code, t, l, count, opacity))
        return;
    // A table costs 65 536 entries; a layer with fewer channel values than
    // that (a stream that ended early) is cheaper to blend entry by entry,
    // which gives the same bytes and keeps a file of many tiny layers from
    // costing a whole table each. Without memory for a table every layer
    // goes that way.
    const bool direct = count * 3 < BlendTable::kEntries || (!table.IsAllocated() && !table.Allocate());
    if (!direct)
        BuildBlendTable(table, code);
    uint8_t blended[kRunBytes] = {};
    for (size_t done = 0; done < count; done += kRunPixels) {
        const size_t n = count - done < kRunPixels ? count - done : kRunPixels;
        uint8_t* rt = t + 4 * done;
        const uint8_t* rl = l + 4 * done;
        if (direct) {
            for (size_t k = 0; k < 4 * n; ++k)
                blended[k] = BlendChannel(code, rt[k], rl[k]);
        } else {
            LookUp(table.Entries(), rt, rl, blended, n);
        }
        MixLayerPixels(rt, blended, rl, n, opacity);
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
        AddLayerPixels(t, l, count, opacity);
        break;
    case kBlendSubtract:
        SubtractLayerPixels(t, l, count, opacity);
        break;
    case kBlendHue:
    case kBlendSaturation:
    case kBlendColor:
    case kBlendLuminosity:
        HcyLayerPixels(blendMode, t, l, count, opacity);
        break;
    default:
        // Codes 21 to 255 are not in the format; they blend as Normal rather
        // than through whatever table an earlier layer left behind.
        BlendThroughTable(t, l, count, IsTableMode(blendMode) ? blendMode : uint8_t(kBlendNormal), opacity, table);
        break;
    }
}
