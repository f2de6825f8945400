// The most heap memory one conversion of a QVM, a QVR version 0 and a QVR
// version 1 document holds above what was held before it, on pools of 1, 2
// and 16 threads (more than this machine has: the pool does not care): one
// picture and a few megabytes, whatever the threads, and never more than the
// batch's estimate for it. Counted through the address
// sanitizer's allocation hooks (the native build); elsewhere skipped.
#include "base/WorkPool.h"
#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "export/BatchItem.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TESSAVEL_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSAVEL_COUNTS_ALLOCATIONS 1
#endif
#endif

#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
// The sanitizer runtime's own interface (its header comes with clang only).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* block);
#endif

namespace {

#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
std::atomic<int64_t> held{0};
std::atomic<int64_t> peak{0};

void Took(const volatile void*, size_t size) {
    const int64_t now = held.fetch_add(int64_t(size)) + int64_t(size);
    int64_t high = peak.load();
    while (now > high && !peak.compare_exchange_weak(high, now)) {
    }
}

void Giving(const volatile void* block) {
    held.fetch_sub(int64_t(__sanitizer_get_allocated_size(block)));
}

bool CountAllocations() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(Took, Giving) != 0;
    return installed;
}

void StartPeak() {
    peak = held.load();
}

int64_t PeakAbove(int64_t start) {
    return peak.load() - start;
}
#else
bool CountAllocations() {
    return false;
}
void StartPeak() {}
int64_t PeakAbove(int64_t) {
    return -1;
}
#endif

int64_t HeldNow() {
#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
    return held.load();
#else
    return 0;
#endif
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Six visible layers of one partly clear painting (one stream, made once),
// blended by modes of every family, so that every layer is expanded and
// blended as a painted document's are.
docwriter::Bytes SixLayers(int side) {
    const docwriter::Bytes stream =
        docwriter::Compress(paintings::LayerPixels(side, side, 7, paintings::Cover::Partial), 1);
    docwriter::QvmDocument doc;
    doc.width = uint16_t(side);
    doc.height = uint16_t(side);
    const uint8_t modes[] = {0, 1, 2, 5, 17, 16};
    for (uint8_t mode : modes) {
        docwriter::QvmLayer layer = docwriter::MakeQvmLayer("layer", {}, mode, mode == 0 ? 128 : 90);
        layer.stream = stream;
        doc.layers.push_back(std::move(layer));
    }
    return docwriter::WriteQvm(doc);
}

// Six layers of one mask (one stream, made once), one of them hidden, at
// opacities from full to faint, so that every mask is expanded and most are
// mixed.
docwriter::Bytes SixMasks(int side) {
    const docwriter::Bytes stream = docwriter::Compress(paintings::CoverageMask(side, side, 11), 1);
    docwriter::QvrV0Document doc;
    doc.width = uint16_t(side);
    doc.height = uint16_t(side);
    for (int l = 0; l < 6; ++l) {
        docwriter::QvrMaskLayer layer;
        layer.opacity = uint8_t(128 - l * 20);
        layer.flags = l == 3 ? 0 : 1;
        layer.color = 0x102030u * uint32_t(l + 1);
        layer.stream = stream;
        doc.layers.push_back(std::move(layer));
    }
    return docwriter::WriteQvrV0(doc);
}

// Converts document on pools of 1, 2 and 16 threads: each conversion holds
// one picture and a few megabytes, never a second picture, never more than
// its estimate, and writes the same file.
void ExpectOnePictureWhateverTheThreads(const TempDir& dir, const std::string& document, int side) {
    const int64_t picture = int64_t(side) * side * 4;
    constexpr int64_t kMegabyte = 1024 * 1024;
    std::vector<char> first;
    for (unsigned threads : {1u, 2u, 16u}) {
        WorkPool pool(threads);
        // The read alone, which the writer's buffers would hide.
        {
            ImageBuffer image;
            const int64_t start = HeldNow();
            StartPeak();
            EXPECT_TRUE(LoadDocument(image, document.c_str(), &pool)) << document << ", " << threads;
            const int64_t readPeak = PeakAbove(start);
            std::cout << document << ", " << threads << " threads: read peak " << readPeak << " bytes\n";
            EXPECT_LE(readPeak, picture + 12 * kMegabyte) << document << ", " << threads;
        }
        const std::string output = dir.File("out-" + std::to_string(threads) + ".png");
        ImageBuffer image;
        const int64_t start = HeldNow();
        StartPeak();
        EXPECT_EQ(ConvertItemTo(image, document.c_str(), output.c_str(), OutputFormat::Png, true, &pool),
                  ItemResult::Converted)
            << document << ", " << threads;
        const int64_t peakBytes = PeakAbove(start);
        image.Free();
        std::cout << document << ", " << threads << " threads: peak " << peakBytes << " bytes beside a picture of "
                  << picture << "\n";
        EXPECT_LE(peakBytes, picture + 16 * kMegabyte) << document << ", " << threads;
        EXPECT_LT(peakBytes, 2 * picture) << document << ", " << threads << " threads: no second picture";
        EXPECT_LE(uint64_t(peakBytes), ItemMemoryEstimate(document.c_str(), threads)) << document << ", " << threads;
        // The same file, whatever the threads.
        const std::vector<char> written = FileBytes(output);
        ASSERT_FALSE(written.empty()) << document << ", " << threads;
        if (first.empty())
            first = written;
        EXPECT_TRUE(written == first) << document << ", " << threads;
    }
}

TEST(ConvertMemory, OneConversionHoldsOnePictureAndAFewMegabytesWhateverTheThreads) {
    if (!CountAllocations())
        GTEST_SKIP() << "allocations are counted under the address sanitizer only";
    constexpr int kSide = 2048;
    TempDir dir;
    struct Document {
        const char* name;
        docwriter::Bytes bytes;
    };
    const Document documents[] = {
        {"six.qvm", SixLayers(kSide)},
        {"masks.qvr", SixMasks(kSide)},
        {"tiles.qvr", docwriter::WriteQvrV1(paintings::SparseTileQvr(kSide, kSide, 6))},
    };
    for (const Document& d : documents) {
        const std::string document = dir.File(d.name);
        ASSERT_TRUE(docwriter::WriteFile(document, d.bytes));
        ExpectOnePictureWhateverTheThreads(dir, document, kSide);
    }
}

} // namespace
