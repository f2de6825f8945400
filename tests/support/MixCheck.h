#pragma once
// Runs one pass of pixels/MixRuns.h on pixels taken from arbitrary bytes,
// with every vector set this processor runs (pixels/MixRunPasses.h: SSE2,
// and AVX2 and AVX-512 where they run), and compares it with the same pass one byte at a
// time (pixels/MixRunsScalar.h, BlendChannel for the formulas,
// BlendHcyPixels for the HCY modes), byte for byte. The loaders' checks
// compare a load only with itself, so only this can see a lane computed
// wrongly.
//
// Input: byte 0 picks the pass (modulo 7: layer mix, layer mix with the layer
// as its own blend, formula blend, Add, Subtract, coverage mix, HCY modes),
// byte 1 the blend code (for the HCY pass, modulo 4 from Hue on), byte 2 the
// opacity (any byte: above 128 is clamped), bytes 3 to 6 the colour; the
// rest is cut into the pixels, exactly as many as fit, each buffer its own
// allocation so that a read past a run's end is seen.

#include <cstddef>
#include <cstdint>
#include <string>

// Empty when the two agreed, otherwise what differed.
std::string CheckMixRuns(const uint8_t* data, size_t size);
