// Saving the decoded six-layer picture, against libpng writing the same
// pixels at the same compression level with no filtering, and against
// ImageMagick's convert turning the same raw pixels into a PNG as a user
// would run it (its own defaults).
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

namespace {

bool WriteWithLibpng(const std::string& path, const std::vector<uint8_t>& bottomUp, const PictureSize& size,
                     bool withAlpha) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(size.width), png_uint_32(size.height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_write_info(png, info);
    // The pixels are blue, green, red, alpha: libpng swaps them and drops the
    // fourth byte itself.
    png_set_bgr(png);
    if (!withAlpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    std::vector<png_bytep> rows(size_t(size.height));
    for (int y = 0; y < size.height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(bottomUp.data()) + size_t(size.height - 1 - y) * size_t(size.width) * 4;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

void Libpng(benchmark::State& state, const PictureSize& size, bool withAlpha) {
    const std::vector<uint8_t>& pixels = DecodedPicture(size);
    const std::string path = ScratchFile("libpng-" + size.Name() + ".png");
    for (auto _ : state) {
        if (!WriteWithLibpng(path, pixels, size, withAlpha)) {
            state.SkipWithError("libpng failed");
            return;
        }
    }
    Account(state, size.Pixels(), size.Pixels() * 4);
}

// The picture top row first, as raw BGRA for ImageMagick.
std::string RawPicture(const PictureSize& size) {
    const std::string path = ScratchFile("picture-" + size.Name() + ".bgra");
    const std::vector<uint8_t>& pixels = DecodedPicture(size);
    docwriter::Bytes topDown;
    topDown.reserve(pixels.size());
    const size_t stride = size_t(size.width) * 4;
    for (int y = size.height - 1; y >= 0; --y)
        topDown.insert(topDown.end(), pixels.begin() + ptrdiff_t(size_t(y) * stride),
                       pixels.begin() + ptrdiff_t(size_t(y + 1) * stride));
    docwriter::WriteFile(path, topDown);
    return path;
}

void ImageMagick(benchmark::State& state, const PictureSize& size, bool withAlpha) {
    const std::string raw = RawPicture(size);
    const std::string command = std::string("\"" TESSAVEL_CONVERT_TOOL "\" -size ") + size.Name() +
                                " -depth 8 \"bgra:" + raw + "\" \"" + (withAlpha ? "PNG32:" : "PNG24:") +
                                ScratchFile("magick-" + size.Name() + ".png") + "\"";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("convert failed");
            return;
        }
    }
    Account(state, size.Pixels(), size.Pixels() * 4);
}

} // namespace

void RegisterExportBenchmarks() {
    for (const PictureSize& size : Sizes()) {
        for (bool alpha : {false, true}) {
            const std::string depth = alpha ? "32bit/" : "24bit/";
            Register("Libpng/" + depth + size.Name(), [size, alpha](benchmark::State& s) { Libpng(s, size, alpha); });
            Register("ImageMagick/" + depth + size.Name(),
                     [size, alpha](benchmark::State& s) { ImageMagick(s, size, alpha); });
        }
    }
}

} // namespace bench
