#include "export/PngBands.h"

#include "base/BigEndian.h"
#include "base/MemBlock.h"
#include "base/WorkPool.h"
#include "export/PngWriter.h"

#include <cstdint>
#include <memory>
#include <vector>
#include <zlib.h>

namespace {

// Rows of about this many bytes form a band: large enough that the flush at
// its end and the fresh block at its start cost a few bytes in a megabyte,
// small enough that a 4096 x 4096 picture gives every core several bands.
constexpr uint64_t kBandBytes = 1024 * 1024;
// Pictures of fewer PNG bytes than this are deflated in one piece.
constexpr uint64_t kSplitBytes = 4 * kBandBytes;
// deflate looks back at most this far, so this much of what precedes a band
// is all it needs to find the same matches a single stream would.
constexpr uint32_t kWindow = 32768;
// The bands in flight hold at most about this, however many threads the
// pool has: more threads than that many bands keep busy wait for one, so
// that saving takes the memory the picture sets, not the processor count.
constexpr uint64_t kBandsInFlightBytes = 12 * 1024 * 1024;

int32_t RowsPerBand(const PngImage& image) {
    const uint64_t rows = kBandBytes / uint64_t(image.rowBytes);
    return rows == 0 ? 1 : int32_t(rows);
}

// The first two bytes of a zlib stream as deflate writes them at level.
void PutHeader(int level, uint8_t* out) {
    const unsigned levelFlags = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned header = (0x78u << 8) | (levelFlags << 6);
    header += 31 - header % 31;
    out[0] = uint8_t(header >> 8);
    out[1] = uint8_t(header);
}

class BandJob : public WorkJob {
public:
    BandJob(const PngImage& image, int level) : image(image), level(level) {}
    ~BandJob() override {
        if (ready)
            deflateEnd(&stream);
    }

    // Buffers for the largest band, allocated once and reused band to band.
    bool Prepare(int32_t bandRows) {
        const uint32_t rowBytes = uint32_t(image.rowBytes);
        lookBackRows = int32_t((kWindow + rowBytes - 1) / rowBytes);
        if (raw.Alloc((uint32_t(lookBackRows) + uint32_t(bandRows)) * rowBytes, false) == nullptr)
            return false;
        if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        ready = true;
        // Room for the worst case plus the empty stored block a flush adds.
        const uLong bound = deflateBound(&stream, uLong(bandRows) * rowBytes) + 64;
        return packed.Alloc(uint32_t(bound), false) != nullptr;
    }

    void Assign(int32_t firstRow, int32_t rowCount, bool lastBand) {
        first = firstRow;
        count = rowCount;
        last = lastBand;
        ok = false;
    }

    void Run(const std::atomic<bool>& cancelled) override {
        if (cancelled.load() || deflateReset(&stream) != Z_OK)
            return;
        const uint32_t rowBytes = uint32_t(image.rowBytes);
        const int32_t before = first < lookBackRows ? first : lookBackRows;
        ConvertRowsInto(image, first - before, before + count, raw.data);
        const uint32_t lookBack = uint32_t(before) * rowBytes;
        const uint32_t dictionary = lookBack < kWindow ? lookBack : kWindow;
        if (dictionary > 0 && deflateSetDictionary(&stream, raw.data + lookBack - dictionary, dictionary) != Z_OK)
            return;
        const uint32_t length = uint32_t(count) * rowBytes;
        adler = uint32_t(adler32(adler32(0, nullptr, 0), raw.data + lookBack, length));
        rawLength = length;
        stream.next_in = raw.data + lookBack;
        stream.avail_in = length;
        stream.next_out = packed.data;
        stream.avail_out = packed.size;
        const int status = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
        // With room for the worst case one call does it all.
        if (last ? status != Z_STREAM_END : (status != Z_OK || stream.avail_in != 0 || stream.avail_out == 0))
            return;
        packedLength = packed.size - stream.avail_out;
        ok = true;
    }

    bool ok = false;
    uint32_t adler = 0;
    uint32_t rawLength = 0;
    uint32_t packedLength = 0;
    MemBlock packed;

private:
    const PngImage& image;
    const int level;
    z_stream stream = {};
    bool ready = false;
    int32_t lookBackRows = 0;
    MemBlock raw;
    int32_t first = 0;
    int32_t count = 0;
    bool last = false;
};

// What one band job holds: the band with the rows before it, room for its
// worst-case deflate output, and deflate's own state.
uint64_t BandJobBytes(uint64_t rowBytes, int32_t bandRows) {
    const uint64_t lookBackRows = (kWindow + rowBytes - 1) / rowBytes;
    const uint64_t raw = (lookBackRows + uint64_t(bandRows)) * rowBytes;
    const uint64_t band = uint64_t(bandRows) * rowBytes;
    // deflateBound's margin for a stream of stored blocks, and the empty
    // stored block a flush adds.
    const uint64_t packed = band + (band >> 12) + (band >> 14) + (band >> 25) + 13 + 64;
    return raw + packed + kDeflateStateBytes;
}

// Band jobs one picture keeps: one more than the threads, so a thread finds
// the next band ready while this one writes, within kBandsInFlightBytes.
unsigned BandJobCount(uint64_t rowBytes, int32_t bandRows, int32_t bands, unsigned threads) {
    const uint64_t fit = kBandsInFlightBytes / BandJobBytes(rowBytes, bandRows);
    uint64_t count = uint64_t(threads) + 1;
    if (count > fit)
        count = fit < 2 ? 2 : fit;
    return count < uint64_t(bands) ? unsigned(count) : unsigned(bands);
}

} // namespace

uint64_t MostBandsBytes(int64_t rowBytes, int32_t height) {
    if (rowBytes <= 0 || height <= 0 || uint64_t(rowBytes) * uint64_t(height) < kSplitBytes)
        return 0;
    const uint64_t rows = kBandBytes / uint64_t(rowBytes);
    const int32_t bandRows = rows == 0 ? 1 : int32_t(rows);
    const int32_t bands = int32_t((int64_t(height) + bandRows - 1) / bandRows);
    return uint64_t(BandJobCount(uint64_t(rowBytes), bandRows, bands, UINT32_MAX)) *
           BandJobBytes(uint64_t(rowBytes), bandRows);
}

bool SplitsIntoBands(const PngImage& image) {
    return uint64_t(image.rowBytes) * uint64_t(image.height) >= kSplitBytes;
}

bool DeflateInBands(const PngImage& image, int level, WorkPool* pool,
                    const std::function<bool(const uint8_t*, uint32_t)>& write) {
    WorkPool alone(1);
    WorkPool& workers = pool != nullptr ? *pool : alone;
    const int32_t bandRows = RowsPerBand(image);
    const int32_t bands = int32_t((int64_t(image.height) + bandRows - 1) / bandRows);
    const unsigned jobCount = BandJobCount(uint64_t(image.rowBytes), bandRows, bands, workers.Size());
    std::vector<std::unique_ptr<BandJob>> jobs;
    for (unsigned j = 0; j < jobCount; ++j) {
        jobs.emplace_back(new BandJob(image, level));
        if (!jobs.back()->Prepare(bandRows))
            return false;
    }
    // Ends before the jobs: after a failure the bands still out are dropped
    // or waited for (they use the jobs' buffers).
    WorkGroup group(workers);
    auto post = [&](int32_t band) {
        BandJob& job = *jobs[size_t(band) % jobCount];
        const int32_t first = band * bandRows;
        const int32_t rest = image.height - first;
        job.Assign(first, rest < bandRows ? rest : bandRows, band == bands - 1);
        // A cancelled pool takes no more: its owner gives the file up.
        return group.Post(job);
    };
    for (int32_t band = 0; band < int32_t(jobCount); ++band)
        if (!post(band))
            return false;

    uint8_t header[2];
    PutHeader(level, header);
    bool ok = write(header, 2);
    uint32_t adler = uint32_t(adler32(0, nullptr, 0));
    for (int32_t band = 0; band < bands; ++band) {
        BandJob& job = *jobs[size_t(band) % jobCount];
        group.Wait(job);
        ok = ok && job.ok && !job.Failed() && write(job.packed.data, job.packedLength);
        if (!ok)
            return false;
        adler = uint32_t(adler32_combine(adler, job.adler, z_off_t(job.rawLength)));
        if (band + int32_t(jobCount) < bands && !post(band + int32_t(jobCount)))
            return false;
    }
    if (!ok)
        return false;
    uint8_t trailer[4];
    PutU32BE(adler, trailer);
    return write(trailer, 4);
}
