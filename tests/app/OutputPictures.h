#pragma once
// The pictures the tests compare: a document as the decoder composites it,
// and the PNG and BMP files the program wrote, decoded independently of the
// writers.

#include <cstdint>
#include <string>
#include <vector>

namespace outputs {

using Bytes = std::vector<uint8_t>;

// Red, green, blue of every pixel of the document, top row first; empty when
// it does not load.
Bytes PictureOf(const std::string& document);
// The samples of an unfiltered PNG of colour type type (2 RGB, 6 RGBA), top
// row first; empty when the file is no such PNG.
Bytes PngSamples(const std::string& file, int type, uint32_t* width = nullptr);
// Red, green, blue of a 24-bit BMP, top row first; empty when it is none.
Bytes BmpPicture(const std::string& file);

} // namespace outputs
