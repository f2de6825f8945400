#include "export/PsdWriter.h"

#include "base/FileWriter.h"
#include "base/WorkPool.h"
#include "export/LayeredSource.h"
#include "export/OutputBuffer.h"
#include "export/PackBits.h"
#include "export/TempOutput.h"
#include "pixels/ImageBuffer.h"

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kRgbMode = 3;
constexpr uint16_t kVersionInfoResource = 1057;
constexpr uint16_t kRle = 1;
constexpr uint16_t kRaw = 0;
constexpr uint8_t kHiddenFlag = 0x02;
// Alpha first, as channel -1, then red, green and blue: their bytes in a
// pixel stored blue, green, red, alpha.
constexpr int16_t kChannelIds[4] = {-1, 0, 1, 2};
constexpr int kChannelBytes[4] = {3, 2, 1, 0};

const char* const kBlendKeys[21] = {"norm", "mul ", "lddg", "fsub", "scrn", "over", "sLit",
                                    "hLit", "div ", "idiv", "lbrn", "vLit", "lLit", "pLit",
                                    "diff", "lite", "dark", "hue ", "sat ", "colr", "lum "};

// UTF-16 code units of UTF-8 text; a byte that starts no character stands
// for U+FFFD.
std::u16string ToUtf16(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const uint8_t c = uint8_t(text[i]);
        const int extra = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
        if (c >= 0x80 && extra == 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        bool whole = i + size_t(extra) < text.size();
        for (int k = 1; whole && k <= extra; ++k) {
            const uint8_t next = uint8_t(text[i + size_t(k)]);
            whole = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!whole) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += size_t(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xD800 + (code >> 10)));
            out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
    }
    return out;
}

// The Pascal name: ASCII as it is, any other character "?", so that a
// reader that knows no "luni" still shows something of the name.
std::string PascalName(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size() && out.size() < 255; ++i) {
        const uint8_t c = uint8_t(utf8[i]);
        if (c < 0x80)
            out.push_back(char(c));
        else if ((c & 0xC0) != 0x80)
            out.push_back('?');
    }
    return out;
}

// A layer record's fields, built in memory so that the record can be
// written again once its lengths are known.
struct Fields {
    std::vector<uint8_t> bytes;
    void U8(uint8_t value) { bytes.push_back(value); }
    void U16(uint16_t value) { bytes.insert(bytes.end(), {uint8_t(value >> 8), uint8_t(value)}); }
    void U32(uint32_t value) {
        U16(uint16_t(value >> 16));
        U16(uint16_t(value));
    }
    void Text(const char* text) {
        for (; *text != 0; ++text)
            bytes.push_back(uint8_t(*text));
    }
    void Zeros(size_t count) { bytes.insert(bytes.end(), count, 0); }
};

// Rows of one channel coded on a thread of the pool, a band at a time, into
// buffers of the job's own.
constexpr int32_t kBandRows = 64;

class PackJob : public WorkJob {
public:
    void Assign(const ImageBuffer& source, int channelByte, int32_t fromX, int32_t toX, int32_t firstRow,
                int32_t rowCount) {
        pixels = &source;
        byte = channelByte;
        left = fromX;
        width = size_t(toX - fromX);
        first = firstRow;
        count = rowCount;
    }

    void Run(const std::atomic<bool>& cancelled) override {
        row.resize(width);
        packed.resize(PackBitsBound(width) * size_t(count));
        lengths.clear();
        size_t at = 0;
        for (int32_t r = 0; r < count && !cancelled.load(); ++r) {
            const uint8_t* in = pixels->TopRow(first + r) + size_t(left) * 4 + size_t(byte);
            for (size_t x = 0; x < width; ++x)
                row[x] = in[x * 4];
            const size_t length = PackBitsRow(row.data(), width, packed.data() + at);
            lengths.push_back(uint32_t(length));
            at += length;
        }
        used = at;
    }

    std::vector<uint8_t> packed;
    std::vector<uint32_t> lengths;
    size_t used = 0;

private:
    const ImageBuffer* pixels = nullptr;
    int byte = 0;
    int32_t left = 0;
    size_t width = 0;
    int32_t first = 0;
    int32_t count = 0;
    std::vector<uint8_t> row;
};

void PutUnicodeString(OutputBuffer& out, const std::u16string& text) {
    out.U32BE(uint32_t(text.size()));
    for (char16_t unit : text)
        out.U16BE(uint16_t(unit));
}

class PsdWriterRun {
public:
    PsdWriterRun(FileWriter& file, LayeredSource& source, bool large, WorkPool* pool)
        : out(file), source(source), merged(*source.merged), large(large), pool(pool) {}

    bool Write();

private:
    void Length(uint64_t value) { large ? out.U64BE(value) : out.U32BE(uint32_t(value)); }
    void PatchLength(uint64_t at, uint64_t value) {
        // Version 1's lengths are 32 bits: layers of noise at the largest
        // size can pass them, and a length cut short would break the file.
        if (!large && value > 0xFFFFFFFFu)
            out.Fail();
        large ? out.PatchU64BE(at, value) : out.PatchU32BE(at, uint32_t(value));
    }
    void Header();
    void VersionResource();
    std::vector<uint8_t> LayerRecord(const LayeredLayer& layer, const WalkedLayer& walked,
                                     const uint64_t lengths[4]) const;
    uint64_t Channel(const ImageBuffer& pixels, const WalkedLayer& bounds, int byte);
    bool LayerSection();
    void MergedImage();
    // Codes rows of one channel of pixels (x from left to right) and writes
    // them, their lengths going to counts; the bytes written.
    uint64_t Rows(const ImageBuffer& pixels, int byte, int32_t left, int32_t right, int32_t top, int32_t bottom,
                  std::vector<uint32_t>& counts);
    void Counts(uint64_t at, const std::vector<uint32_t>& counts);

    OutputBuffer out;
    LayeredSource& source;
    const ImageBuffer& merged;
    const bool large;
    WorkPool* pool;
};

void PsdWriterRun::Header() {
    out.Bytes("8BPS", 4);
    out.U16BE(large ? 2 : 1);
    out.Zeros(6);
    out.U16BE(3); // merged picture: red, green, blue
    out.U32BE(uint32_t(merged.height));
    out.U32BE(uint32_t(merged.width));
    out.U16BE(8);
    out.U16BE(kRgbMode);
    out.U32BE(0); // no colour mode data
}

// Version information: the merged picture is the real one, so readers need
// not composite the layers (whose modes they blend their own way).
void PsdWriterRun::VersionResource() {
    const std::u16string name = u"Tessavel";
    const uint32_t size = 4 + 1 + 2 * (4 + 2 * uint32_t(name.size())) + 4;
    const uint32_t padded = size + (size & 1);
    out.U32BE(4 + 2 + 2 + 4 + padded);
    out.Bytes("8BIM", 4);
    out.U16BE(kVersionInfoResource);
    out.U16BE(0); // empty name, padded to an even length
    out.U32BE(size);
    out.U32BE(1);
    out.U8(1); // has real merged data
    PutUnicodeString(out, name);
    PutUnicodeString(out, name);
    out.U32BE(1);
    out.Zeros(padded - size);
}

std::vector<uint8_t> PsdWriterRun::LayerRecord(const LayeredLayer& layer, const WalkedLayer& walked,
                                               const uint64_t lengths[4]) const {
    Fields record;
    record.U32(uint32_t(walked.top));
    record.U32(uint32_t(walked.left));
    record.U32(uint32_t(walked.bottom));
    record.U32(uint32_t(walked.right));
    record.U16(4);
    for (int c = 0; c < 4; ++c) {
        record.U16(uint16_t(kChannelIds[c]));
        if (large)
            record.U32(uint32_t(lengths[c] >> 32));
        record.U32(uint32_t(lengths[c]));
    }
    record.Text("8BIM");
    record.Text(PsdBlendKey(layer.blendMode));
    record.U8(uint8_t((ClampedOpacity(layer.opacity) * 255 + 64) / 128));
    record.U8(0); // clipping: base
    record.U8(layer.visible && walked.decoded ? 0 : kHiddenFlag);
    record.U8(0);
    // Every piece keeps a multiple of four bytes, so readers that pad the
    // name or the blocks to two bytes and those that pad to four agree.
    const std::string pascal = PascalName(layer.name);
    const size_t pascalBytes = (1 + pascal.size() + 3) / 4 * 4;
    const std::u16string unicode = ToUtf16(layer.name);
    const size_t unicodeBytes = (4 + 2 * unicode.size() + 3) / 4 * 4;
    record.U32(uint32_t(4 + 4 + pascalBytes + 12 + unicodeBytes));
    record.U32(0); // no layer mask
    record.U32(0); // no blending ranges
    record.U8(uint8_t(pascal.size()));
    record.Text(pascal.c_str());
    record.Zeros(pascalBytes - 1 - pascal.size());
    record.Text("8BIMluni");
    record.U32(uint32_t(unicodeBytes));
    record.U32(uint32_t(unicode.size()));
    for (char16_t unit : unicode)
        record.U16(uint16_t(unit));
    record.Zeros(unicodeBytes - 4 - 2 * unicode.size());
    return record.bytes;
}

void PsdWriterRun::Counts(uint64_t at, const std::vector<uint32_t>& counts) {
    std::vector<uint8_t> bytes;
    bytes.reserve(counts.size() * 4);
    for (uint32_t count : counts) {
        if (large)
            bytes.insert(bytes.end(), {uint8_t(count >> 24), uint8_t(count >> 16)});
        bytes.insert(bytes.end(), {uint8_t(count >> 8), uint8_t(count)});
    }
    out.Patch(at, bytes.data(), bytes.size());
}

uint64_t PsdWriterRun::Rows(const ImageBuffer& pixels, int byte, int32_t left, int32_t right, int32_t top,
                            int32_t bottom, std::vector<uint32_t>& counts) {
    WorkPool alone(1);
    WorkPool& workers = pool != nullptr ? *pool : alone;
    const int32_t bands = (bottom - top + kBandRows - 1) / kBandRows;
    // One band more than the threads, so that a thread finds the next band
    // while this one writes; memory stays at that many bands.
    const int32_t jobCount = int32_t(workers.Size()) + 1 < bands ? int32_t(workers.Size()) + 1 : bands;
    std::vector<std::unique_ptr<PackJob>> jobs;
    for (int32_t j = 0; j < jobCount; ++j)
        jobs.emplace_back(new PackJob);
    // Ends before the jobs, waiting for any still out.
    WorkGroup group(workers);
    auto post = [&](int32_t band) {
        PackJob& job = *jobs[size_t(band % jobCount)];
        const int32_t first = top + band * kBandRows;
        job.Assign(pixels, byte, left, right, first, bottom - first < kBandRows ? bottom - first : kBandRows);
        return group.Post(job);
    };
    for (int32_t band = 0; band < jobCount; ++band)
        if (!post(band))
            return 0;
    uint64_t written = 0;
    for (int32_t band = 0; band < bands; ++band) {
        PackJob& job = *jobs[size_t(band % jobCount)];
        group.Wait(job);
        if (!job.Ran() || job.Failed()) {
            out.Fail();
            return 0;
        }
        out.Bytes(job.packed.data(), job.used);
        counts.insert(counts.end(), job.lengths.begin(), job.lengths.end());
        written += job.used;
        if (band + jobCount < bands && !post(band + jobCount)) {
            out.Fail();
            return 0;
        }
    }
    return written;
}

uint64_t PsdWriterRun::Channel(const ImageBuffer& pixels, const WalkedLayer& bounds, int byte) {
    if (bounds.Empty()) {
        out.U16BE(kRaw); // no rows at all
        return 2;
    }
    out.U16BE(kRle);
    const uint32_t rows = uint32_t(bounds.bottom - bounds.top);
    const uint64_t countsAt = out.Position();
    const uint64_t countBytes = uint64_t(rows) * (large ? 4 : 2);
    out.Zeros(size_t(countBytes));
    std::vector<uint32_t> counts;
    counts.reserve(rows);
    const uint64_t data = Rows(pixels, byte, bounds.left, bounds.right, bounds.top, bounds.bottom, counts);
    Counts(countsAt, counts);
    return 2 + countBytes + data;
}

bool PsdWriterRun::LayerSection() {
    const uint64_t sectionAt = out.Position();
    Length(0);
    const uint64_t infoAt = out.Position();
    Length(0);
    out.U16BE(uint16_t(source.layers.size()));
    // The records with their bounds and lengths open, completed below.
    std::vector<uint64_t> recordAt;
    const WalkedLayer none;
    const uint64_t noLengths[4] = {};
    for (const LayeredLayer& layer : source.layers) {
        recordAt.push_back(out.Position());
        const std::vector<uint8_t> record = LayerRecord(layer, none, noLengths);
        out.Bytes(record.data(), record.size());
    }
    ImageBuffer pixels;
    if (!source.layers.empty() && !pixels.Create(merged.width, merged.height))
        return false;
    for (size_t i = 0; i < source.layers.size() && out.Good(); ++i) {
        WalkedLayer walked;
        if (!source.read(i, pixels, walked))
            return false;
        uint64_t lengths[4];
        for (int c = 0; c < 4; ++c)
            lengths[c] = Channel(pixels, walked, kChannelBytes[c]);
        // The record again, complete, over its first form: the same size,
        // as only numbers changed.
        const std::vector<uint8_t> record = LayerRecord(source.layers[i], walked, lengths);
        out.Patch(recordAt[i], record.data(), record.size());
    }
    // The layer information is padded to a multiple of four bytes.
    const uint64_t infoLength = out.Position() - infoAt - (large ? 8 : 4);
    out.Zeros(size_t((4 - infoLength % 4) % 4));
    PatchLength(infoAt, out.Position() - infoAt - (large ? 8 : 4));
    out.U32BE(0); // no global layer mask
    PatchLength(sectionAt, out.Position() - sectionAt - (large ? 8 : 4));
    return out.Good();
}

// Red, green and blue, each row in PackBits, behind one table of every
// row's length.
void PsdWriterRun::MergedImage() {
    out.U16BE(kRle);
    const uint64_t countsAt = out.Position();
    out.Zeros(size_t(uint64_t(merged.height) * 3 * (large ? 4 : 2)));
    std::vector<uint32_t> counts;
    counts.reserve(size_t(merged.height) * 3);
    for (int byte : {2, 1, 0})
        Rows(merged, byte, 0, merged.width, 0, merged.height, counts);
    Counts(countsAt, counts);
}

bool PsdWriterRun::Write() {
    Header();
    VersionResource();
    if (!LayerSection())
        return false;
    MergedImage();
    return out.Finish();
}

} // namespace

const char* PsdBlendKey(uint8_t code) {
    return kBlendKeys[KnownBlendMode(code)];
}

bool WritePsd(const char* path, LayeredSource& source, bool large, WorkPool* pool) {
    if (source.merged == nullptr || source.merged->IsEmpty() || !source.read)
        return false;
    if (!large && NeedsPsb(source.merged->width, source.merged->height))
        return false;
    if (source.layers.size() > 0x7FFF)
        return false; // the layer count is a signed 16-bit field
    FileWriter file;
    TempOutput temporary;
    if (!temporary.Open(file, path))
        return false;
    PsdWriterRun run(file, source, large, pool);
    return temporary.Finish(file, run.Write());
}
