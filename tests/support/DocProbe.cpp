#include "tests/support/DocProbe.h"

#include "base/MemorySource.h"
#include "base/WorkPool.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// A picture no reader makes: 3 x 2 of an odd colour.
constexpr int32_t kOldWidth = 3;
constexpr int32_t kOldHeight = 2;
constexpr uint32_t kOldPixel = 0x5A123456;

bool IsOldPicture(const ImageBuffer& image) {
    if (image.width != kOldWidth || image.height != kOldHeight)
        return false;
    for (size_t i = 0; i < image.PixelCount(); ++i) {
        uint32_t pixel;
        std::memcpy(&pixel, image.bits + 4 * i, 4);
        if (pixel != kOldPixel)
            return false;
    }
    return true;
}

// True when the document's name and its first bytes name the same format,
// so that a load from memory (chosen by those bytes) must agree with the
// load by name.
bool NameAgreesWithContent(const char* path, const std::vector<uint8_t>& bytes) {
    const size_t length = std::strlen(path);
    if (bytes.size() < 7 || length < 4 || path[length - 4] != '.')
        return false;
    const char last = char(path[length - 1] | 0x20);
    return (std::memcmp(bytes.data(), "QVMDATA", 7) == 0 && last == 'm') ||
           (std::memcmp(bytes.data(), "QVRFDAT", 7) == 0 && last == 'r');
}

} // namespace

DocProbe ProbeDocument(const char* path) {
    DocProbe probe;
    ImageBuffer fresh;
    const LoadResult first = LoadDocument(fresh, path);
    probe.loaded = bool(first);
    probe.reason = first.reason;
    probe.width = fresh.width;
    probe.height = fresh.height;

    ImageBuffer used;
    if (!used.Create(kOldWidth, kOldHeight)) {
        probe.problem = "cannot make the second target";
        return probe;
    }
    used.Fill(kOldPixel);
    const LoadResult again = LoadDocument(used, path);

    // The pooled readers must end every document exactly where reading one
    // stream after the other ends it.
    WorkPool pool(3);
    ImageBuffer pooled;
    const LoadResult onPool = LoadDocumentOnPool(pooled, path, pool);

    if (again.code != first.code || again.reason != first.reason)
        probe.problem = "the second load gave another result: " + again.reason + " after " + first.reason;
    else if (probe.loaded && fresh.IsEmpty())
        probe.problem = "the load succeeded without a picture";
    else if (fresh.IsEmpty() && !used.IsEmpty() && !IsOldPicture(used))
        // Failing before Create leaves the old picture, failing Create leaves
        // none; nothing else is possible without a picture of the document.
        probe.problem = "a load that made no picture changed the old one";
    else if (!fresh.IsEmpty() && (used.width != fresh.width || used.height != fresh.height))
        probe.problem = "the second load made a picture of another size";
    else if (!fresh.IsEmpty() && std::memcmp(fresh.bits, used.bits, fresh.ByteCount()) != 0)
        probe.problem = "the second load made other pixels";
    else if (onPool.code != first.code || onPool.reason != first.reason)
        probe.problem = "the load on threads gave another result: " + onPool.reason + " beside " + first.reason;
    else if (pooled.width != fresh.width || pooled.height != fresh.height)
        probe.problem = "the load on threads made a picture of another size";
    else if (!fresh.IsEmpty() && std::memcmp(fresh.bits, pooled.bits, fresh.ByteCount()) != 0)
        probe.problem = "the load on threads made other pixels";
    if (!probe.problem.empty())
        return probe;

    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!NameAgreesWithContent(path, bytes))
        return probe;
    MemorySource source(bytes.data(), bytes.size());
    ImageBuffer fromMemory;
    const LoadResult fromBytes = LoadDocument(fromMemory, source);
    if (fromBytes.code != first.code || fromBytes.reason != first.reason)
        probe.problem = "the load from memory gave another result: " + fromBytes.reason + " beside " + first.reason;
    else if (fromMemory.width != fresh.width || fromMemory.height != fresh.height)
        probe.problem = "the load from memory made a picture of another size";
    else if (!fresh.IsEmpty() && std::memcmp(fresh.bits, fromMemory.bits, fresh.ByteCount()) != 0)
        probe.problem = "the load from memory made other pixels";
    return probe;
}
