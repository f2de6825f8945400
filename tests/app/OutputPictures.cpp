#include "tests/app/OutputPictures.h"

#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "tests/export/PngReadBack.h"
#include "tests/support/DocWriter.h"

namespace outputs {

Bytes PictureOf(const std::string& document) {
    ImageBuffer image;
    if (!LoadDocument(image, document.c_str()))
        return {};
    Bytes rgb;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.TopRow(y) + x * 4;
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        }
    return rgb;
}

Bytes PngSamples(const std::string& file, int type, uint32_t* width) {
    pngread::Png png;
    if (!pngread::Parse(docwriter::ReadFile(file), png) || !pngread::Expand(png) || png.colourType != type)
        return {};
    const size_t channels = type == 6 ? 4 : 3;
    const size_t rowBytes = png.width * channels + 1;
    Bytes samples;
    for (size_t y = 0; y < png.height; ++y) {
        // The program's writer filters nothing.
        if (png.raw.size() < (y + 1) * rowBytes || png.raw[y * rowBytes] != 0)
            return {};
        samples.insert(samples.end(), png.raw.begin() + long(y * rowBytes + 1),
                       png.raw.begin() + long((y + 1) * rowBytes));
    }
    if (width != nullptr)
        *width = png.width;
    return samples;
}

Bytes BmpPicture(const std::string& file) {
    const Bytes bytes = docwriter::ReadFile(file);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 24)
        return {};
    auto u32 = [&](size_t at) {
        return uint32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24);
    };
    const uint32_t offset = u32(10), width = u32(18), height = u32(22);
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    if (bytes.size() < offset + stride * height)
        return {};
    Bytes rgb;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = bytes.data() + offset + (height - 1 - y) * stride; // bottom-up
        for (uint32_t x = 0; x < width; ++x)
            rgb.insert(rgb.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
    }
    return rgb;
}

} // namespace outputs
