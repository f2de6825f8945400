#pragma once
// Blends one decoded QVM layer onto the picture built so far.

#include <cstddef>
#include <cstdint>

class BlendTable;
class ImageBuffer;

constexpr size_t kWholeLayer = ~size_t(0);

// Blends layer onto target (both of the same size, walked as one flat array
// of pixels) by blendMode and opacity: the table modes through table (which
// the call rebuilds as it needs), Add and Subtract with their own saturation,
// the HCY modes in floating point. Codes outside the format's 21 blend as
// Normal. Only bytes 0 to 2 of the target are written.
//
// Only the first pixelCount pixels of the layer are taken: a layer stream that
// ends early leaves the rest of the layer transparent, and transparent pixels
// never change the picture, so they are not visited at all.
void CompositeLayer(ImageBuffer& target, const ImageBuffer& layer, uint8_t blendMode, uint8_t opacity,
                    BlendTable& table, size_t pixelCount = kWholeLayer);
