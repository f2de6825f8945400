#pragma once
// Layered PSD output (version 1, up to 30000 pixels a side) and its
// large-document form PSB (version 2, up to 300000), RGB at 8 bits: one
// layer per document layer, bottom first, each trimmed to the pixels with
// alpha above 0, its channels (alpha as channel -1, then red, green, blue)
// in PackBits RLE, its name as a Pascal string and as a Unicode name block
// ("luni"), its blend key, opacity and visibility; and the merged picture,
// RLE RGB, with the version-information resource (1057) saying it holds
// real merged data, so readers show it without compositing the layers
// themselves.
//
// Written one layer at a time: the layer records come first in the file, so
// each is written with its lengths left open and completed once its
// channels are written. The file is written under a temporary name and
// replaces path only when complete.

#include <cstdint>

struct LayeredSource;
class WorkPool;

// The longest side version 1 takes.
constexpr int32_t kPsdMaxSide = 30000;

// Whether a picture of this size needs PSB.
inline bool NeedsPsb(int32_t width, int32_t height) {
    return width > kPsdMaxSide || height > kPsdMaxSide;
}

// The blend key for code 0 to 20 ("norm", "mul ", ...); Normal's beyond.
const char* PsdBlendKey(uint8_t code);

// Writes source as PSD, or as PSB when large is true. pool, when given,
// codes the channels' rows on its threads. True only when every byte
// reached the file.
bool WritePsd(const char* path, LayeredSource& source, bool large, WorkPool* pool = nullptr);
