#include "export/OraWriter.h"

#include "base/ByteFile.h"
#include "base/FileSystem.h"
#include "base/FileWriter.h"
#include "export/LayeredSource.h"
#include "export/OutputBuffer.h"
#include "export/PngWriter.h"
#include "export/TempOutput.h"
#include "export/ZipWriter.h"
#include "pixels/AreaReduce.h"
#include "pixels/ImageBuffer.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kLevel = 6;
constexpr uint32_t kCopyBytes = 1u << 20;

const char* const kCompositeOps[21] = {"svg:src-over",       "svg:multiply",      "svg:plus",
                                       "krita:subtract",     "svg:screen",        "svg:overlay",
                                       "svg:soft-light",     "svg:hard-light",    "svg:color-dodge",
                                       "svg:color-burn",     "krita:linear_burn", "krita:vivid_light",
                                       "krita:linear light", "krita:pin_light",   "svg:difference",
                                       "svg:lighten",        "svg:darken",        "svg:hue",
                                       "svg:saturation",     "svg:color",         "svg:luminosity"};

// Text for an XML attribute. XML cannot hold most control characters even
// as references, so those become U+FFFD.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\xEF\xBF\xBD";
            else
                out.push_back(c);
        }
    }
    return out;
}

// opacity / 128 in decimals, exactly (1/128 has seven) and whatever the
// locale's decimal point.
std::string OpacityText(uint8_t opacity) {
    const uint32_t value = ClampedOpacity(opacity);
    if (value == 128)
        return "1";
    char digits[16];
    std::snprintf(digits, sizeof digits, "0.%07u", unsigned(value * 78125u));
    std::string text = digits;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

struct StackEntry {
    std::string source;
    int32_t x = 0, y = 0;
};

class OraRun {
public:
    OraRun(FileWriter& file, LayeredSource& source, const char* temporary, WorkPool* pool, uint64_t limit)
        : out(file), zip(out, limit), source(source), pool(pool), scratch(std::string(temporary) + ".png") {}

    bool Write();

private:
    bool AddPng(const char* name, const ImageBuffer& picture, int32_t left, int32_t top, int32_t width, int32_t height,
                bool alpha);
    bool AddThumbnail();
    std::string StackXml(const std::vector<StackEntry>& stack) const;

    OutputBuffer out;
    ZipWriter zip;
    LayeredSource& source;
    WorkPool* pool;
    const std::string scratch;
};

// A PNG of part of picture, written through a file of its own (the PNG
// writer fills in its data length afterwards) and copied into the archive.
bool OraRun::AddPng(const char* name, const ImageBuffer& picture, int32_t left, int32_t top, int32_t width,
                    int32_t height, bool alpha) {
    PngImage image;
    if (!ConvertPart(picture, image, alpha ? 32 : 24, left, top, width, height))
        return false;
    image.pool = pool;
    const int slot = ListPending(scratch.c_str());
    PngWriter writer;
    bool copied = writer.WritePng(scratch.c_str(), image, kLevel);
    ByteFile png;
    std::vector<uint8_t> piece(kCopyBytes);
    if (copied && png.OpenRead(scratch.c_str())) {
        // A PNG is compressed already: stored, it costs no second pass.
        zip.BeginStored(name, uint64_t(width) * height * 4 * 2 + 4096);
        uint32_t got = 0;
        while ((got = png.Read(piece.data(), kCopyBytes)) > 0)
            zip.Append(piece.data(), got);
        zip.EndStored();
        png.Close();
    } else {
        copied = false;
    }
    filesystem::Delete(scratch.c_str());
    ForgetPending(slot);
    return copied && out.Good();
}

bool OraRun::AddThumbnail() {
    const ImageBuffer& merged = *source.merged;
    const int32_t longer = merged.width > merged.height ? merged.width : merged.height;
    int32_t width = merged.width, height = merged.height;
    if (longer > kOraThumbnailSide) {
        width = int32_t((int64_t(merged.width) * kOraThumbnailSide + longer / 2) / longer);
        height = int32_t((int64_t(merged.height) * kOraThumbnailSide + longer / 2) / longer);
        width = width < 1 ? 1 : width;
        height = height < 1 ? 1 : height;
    }
    ImageBuffer thumbnail;
    const std::atomic<bool> never{false};
    if (!thumbnail.Create(width, height) ||
        !ReduceByArea(merged.TopRow(0), -ptrdiff_t(merged.width) * 4, merged.width, merged.height, width, height,
                      thumbnail.TopRow(0), -ptrdiff_t(width) * 4, never))
        return false;
    return AddPng("Thumbnails/thumbnail.png", thumbnail, 0, 0, width, height, false);
}

std::string OraRun::StackXml(const std::vector<StackEntry>& stack) const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<image version=\"0.0.3\" w=\"" +
                      std::to_string(source.merged->width) + "\" h=\"" + std::to_string(source.merged->height) +
                      "\">\n<stack>\n";
    // Top first.
    for (size_t i = stack.size(); i-- > 0;) {
        const LayeredLayer& layer = source.layers[i];
        xml += "<layer name=\"" + Escaped(layer.name) + "\" src=\"" + stack[i].source + "\" x=\"" +
               std::to_string(stack[i].x) + "\" y=\"" + std::to_string(stack[i].y) + "\" opacity=\"" +
               OpacityText(layer.opacity) + "\" visibility=\"" + (layer.visible ? "visible" : "hidden") +
               "\" composite-op=\"" + OraCompositeOp(layer.blendMode) + "\"/>\n";
    }
    return xml + "</stack>\n</image>\n";
}

bool OraRun::Write() {
    static const char kMimeType[] = "image/openraster";
    zip.AddStored("mimetype", kMimeType, sizeof kMimeType - 1);
    const ImageBuffer& merged = *source.merged;
    std::vector<StackEntry> stack;
    ImageBuffer pixels;
    if (!source.layers.empty() && !pixels.Create(merged.width, merged.height))
        return false;
    for (size_t i = 0; i < source.layers.size(); ++i) {
        WalkedLayer walked;
        if (!source.read(i, pixels, walked))
            return false;
        if (!walked.decoded)
            source.layers[i].visible = false;
        char name[32];
        std::snprintf(name, sizeof name, "data/layer%03u.png", unsigned(i));
        StackEntry entry{name, walked.left, walked.top};
        bool written = false;
        if (walked.Empty()) {
            // A PNG has at least one pixel: an empty layer is one clear
            // pixel at the top left.
            uint8_t* first = pixels.TopRow(0);
            first[0] = first[1] = first[2] = first[3] = 0;
            written = AddPng(name, pixels, 0, 0, 1, 1, true);
        } else {
            written = AddPng(name, pixels, walked.left, walked.top, walked.right - walked.left,
                             walked.bottom - walked.top, true);
        }
        if (!written)
            return false;
        stack.push_back(entry);
    }
    if (!AddPng("mergedimage.png", merged, 0, 0, merged.width, merged.height, false) || !AddThumbnail())
        return false;
    const std::string xml = StackXml(stack);
    zip.AddDeflated("stack.xml", xml.data(), xml.size());
    return zip.Finish() && out.Finish();
}

} // namespace

const char* OraCompositeOp(uint8_t code) {
    return kCompositeOps[KnownBlendMode(code)];
}

bool WriteOra(const char* path, LayeredSource& source, WorkPool* pool, uint64_t zipLimit) {
    if (source.merged == nullptr || source.merged->IsEmpty() || !source.read)
        return false;
    FileWriter file;
    TempOutput temporary;
    if (!temporary.Open(file, path))
        return false;
    OraRun run(file, source, temporary.TemporaryPath(), pool, zipLimit);
    return temporary.Finish(file, run.Write());
}
