// Saving the decoded six-layer picture, against libpng writing the same
// pixels at the same compression level with no filtering, and against
// ImageMagick's convert turning the same raw pixels into a PNG as a user
// would run it (its own defaults); and the converter end to end on a folder
// of documents, one job and one job per core; the layered exports of the
// six-layer document beside its PNG conversion, with their peak memory.
#include "bench/BenchDocs.h"
#include "bench/PeakMemory.h"
#include "bench/Register.h"

#include "base/WorkPool.h"
#include "export/BmpWriter.h"
#include "export/LayeredExport.h"
#include "export/PngWriter.h"
#include "pixels/ImageBuffer.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

void Save(benchmark::State& state, const PictureSize& size, int depth, unsigned threads = 1) {
    const std::vector<uint8_t>& pixels = DecodedPicture(size);
    ImageBuffer image;
    if (!image.Create(size.width, size.height)) {
        state.SkipWithError("out of memory");
        return;
    }
    std::memcpy(image.bits, pixels.data(), pixels.size());
    const std::string path = ScratchFile("saved-" + size.Name() + (depth == 0 ? ".bmp" : ".png"));
    WorkPool pool(threads);
    for (auto _ : state) {
        const bool saved = depth == 0 ? SaveBmp(image, path.c_str()) : SavePng(image, path.c_str(), depth == 32, &pool);
        if (!saved) {
            state.SkipWithError("save failed");
            return;
        }
    }
    const std::string d = depth == 32 ? "32bit/" : "24bit/";
    Account(state, size.Pixels(), size.Pixels() * 4,
            depth == 0 ? "" : "Libpng/" + d + size.Name() + ", ImageMagick/" + d + size.Name(), pool.Size());
}

// What one document's conversion must do at least, on one thread with zlib
// alone: inflate the six layers' streams and deflate the picture's PNG rows
// (24-bit, filter 0, level 6), without compositing or files.
void ZlibConvert(benchmark::State& state, const PictureSize& size) {
    const DocumentSet& d = Documents(size);
    const std::vector<uint8_t>& pixels = DecodedPicture(size);
    std::vector<uint8_t> layer(d.qvmLayerBytes);
    const size_t rowBytes = 1 + size_t(size.width) * 3;
    std::vector<uint8_t> rows(rowBytes * 64), packed(65536);
    for (auto _ : state) {
        for (const docwriter::Bytes& stream : d.qvmStreams) {
            uLongf length = uLongf(layer.size());
            if (uncompress(layer.data(), &length, stream.data(), uLong(stream.size())) != Z_OK) {
                state.SkipWithError("inflate failed");
                return;
            }
        }
        z_stream zs = {};
        deflateInit(&zs, 6);
        for (int first = 0; first < size.height; first += 64) {
            const int count = size.height - first < 64 ? size.height - first : 64;
            for (int r = 0; r < count; ++r) {
                const uint8_t* in = pixels.data() + size_t(size.height - 1 - first - r) * size_t(size.width) * 4;
                uint8_t* out = rows.data() + size_t(r) * rowBytes;
                *out++ = 0;
                for (int x = 0; x < size.width; ++x, in += 4, out += 3) {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                }
            }
            zs.next_in = rows.data();
            zs.avail_in = uInt(size_t(count) * rowBytes);
            const int flush = first + count == size.height ? Z_FINISH : Z_NO_FLUSH;
            do {
                zs.next_out = packed.data();
                zs.avail_out = uInt(packed.size());
                deflate(&zs, flush);
            } while (zs.avail_out == 0);
        }
        deflateEnd(&zs);
        benchmark::DoNotOptimize(packed.data());
    }
    Account(state, size.Pixels(), size.Pixels() * 4);
}

// Fifty documents per folder at the screen size. At 4096 x 4096 a six-layer
// document alone is 150 MB and a pass over fifty would take minutes, so the
// large folder holds six (two of each kind): the per-document costs are the
// same, and pictures per second is what the benchmark reports.
int FolderDocuments(const PictureSize& size) {
    return size.Pixels() > 4 * 1024 * 1024 ? 6 : 50;
}

// Documents of the three kinds in turn, copies of the benchmark documents
// under their own names.
std::string DocumentFolder(const PictureSize& size) {
    namespace fs = std::filesystem;
    const fs::path folder = ScratchFile("folder-" + size.Name());
    if (fs::exists(folder))
        return folder.string();
    fs::create_directory(folder);
    const DocumentSet& d = Documents(size);
    const std::string sources[3] = {d.qvmPath, d.qvrV1Path, d.qvrV0Path};
    for (int i = 0; i < FolderDocuments(size); ++i) {
        const fs::path source = sources[i % 3];
        fs::copy_file(source, folder / ("doc" + std::to_string(i) + source.extension().string()));
    }
    return folder.string();
}

// The six-layer document alone in a folder.
std::string OneDocumentFolder(const PictureSize& size) {
    namespace fs = std::filesystem;
    const fs::path folder = ScratchFile("one-" + size.Name());
    if (!fs::exists(folder)) {
        fs::create_directory(folder);
        fs::copy_file(Documents(size).qvmPath, folder / "doc.qvm");
    }
    return folder.string();
}

// One document exported as PSD or OpenRaster in this process, on a pool of
// every core as the converter's -j 1 gives it, with the peak of the heap
// above the start: the merged picture, one layer and bounded buffers.
void Layered(benchmark::State& state, const PictureSize& size, OutputFormat format) {
    const std::string document = Documents(size).qvmPath;
    const std::string out = ScratchFile("layered-" + size.Name() + (format == OutputFormat::Ora ? ".ora" : ".psd"));
    WorkPool pool;
    int64_t peak = 0;
    for (auto _ : state) {
        PeakMemory memory;
        memory.Start();
        ImageBuffer merged;
        std::vector<std::string> warnings;
        LayeredOptions options;
        options.pool = &pool;
        if (ExportLayered(merged, document.c_str(), out.c_str(), format, options, warnings) != ItemResult::Converted) {
            state.SkipWithError("the export failed");
            return;
        }
        peak = std::max(peak, memory.Above());
    }
    state.counters["peak MB"] = double(peak) / (1 << 20);
    Account(state, size.Pixels(), size.Pixels() * 4, "Converter/1doc/j1/" + size.Name(), pool.Size());
}

void Converter(benchmark::State& state, const PictureSize& size, unsigned jobs, bool oneDocument = false) {
    namespace fs = std::filesystem;
    const std::string folder = oneDocument ? OneDocumentFolder(size) : DocumentFolder(size);
    const std::string out =
        ScratchFile("converted-" + size.Name() + "-" + std::to_string(jobs) + (oneDocument ? "-one" : ""));
    fs::create_directory(out);
    const std::string command = std::string("\"" TESSAVEL_CONVERTER "\" -q -j ") + std::to_string(jobs) + " -o \"" +
                                out + "\" \"" + folder + "\"";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the converter failed");
            return;
        }
    }
    const size_t documents = oneDocument ? 1 : size_t(FolderDocuments(size));
    // Whatever -j is, the converter's documents share every core.
    Account(state, size.Pixels() * documents, size.Pixels() * 4 * documents,
            oneDocument ? "ZlibConvert/" + size.Name() : "", WorkPool::ProcessorCount());
    state.counters["docs/s"] =
        benchmark::Counter(double(documents) * double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

void RegisterExportBenchmarks() {
    const unsigned cores = WorkPool::ProcessorCount();
    for (const PictureSize& size : Sizes()) {
        for (unsigned threads : ThreadCounts()) {
            const std::string t = "/t" + std::to_string(threads);
            Register("SavePng/24bit/" + size.Name() + t,
                     [size, threads](benchmark::State& s) { Save(s, size, 24, threads); });
            Register("SavePng/32bit/" + size.Name() + t,
                     [size, threads](benchmark::State& s) { Save(s, size, 32, threads); });
        }
        Register("SaveBmp/" + size.Name(), [size](benchmark::State& s) { Save(s, size, 0); });
    }
    for (const PictureSize& size : Sizes()) {
        Register("Converter/1doc/j1/" + size.Name(), [size](benchmark::State& s) {
            Converter(s, size, 1, true);
        })->Repetitions(3);
        Register("ZlibConvert/" + size.Name(), [size](benchmark::State& s) { ZlibConvert(s, size); });
        Register("LayeredPsd/6layers/" + size.Name(), [size](benchmark::State& s) {
            Layered(s, size, OutputFormat::Psd);
        })->Repetitions(3);
        Register("LayeredOra/6layers/" + size.Name(), [size](benchmark::State& s) {
            Layered(s, size, OutputFormat::Ora);
        })->Repetitions(3);
    }
    for (const PictureSize& size : Sizes()) {
        for (unsigned jobs : {1u, cores}) {
            Register("Converter/" + std::to_string(FolderDocuments(size)) + "docs/j" + std::to_string(jobs) + "/" +
                         size.Name(),
                     [size, jobs](benchmark::State& s) { Converter(s, size, jobs); })
                ->Repetitions(3);
            if (cores == 1)
                break;
        }
    }
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
