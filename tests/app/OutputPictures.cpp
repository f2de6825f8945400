#include "tests/app/OutputPictures.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/PngReadBack.h"
#include "tests/support/DibRead.h"
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
    return dibread::BmpFileRgb(docwriter::ReadFile(file));
}

} // namespace outputs
