// The most heap memory one conversion of a QVM, a QVR version 0 and a QVR
// version 1 document holds above what was held before it, on pools of 1, 2
// and 16 threads (more than this machine has: the pool does not care): one
// picture and a few megabytes, whatever the threads, and never more than the
// batch's estimate for it. Counted through the address
// sanitizer's allocation hooks (the native build); elsewhere skipped.
#include "base/WorkPool.h"
#include "decode/DocumentLoader.h"
#include "export/BatchItem.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DocWriter.h"
#include "tests/support/HeapCount.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

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
            const int64_t start = heapcount::Held();
            heapcount::MarkPeak();
            EXPECT_TRUE(LoadDocument(image, document.c_str(), &pool)) << document << ", " << threads;
            const int64_t readPeak = heapcount::PeakAbove(start);
            std::cout << document << ", " << threads << " threads: read peak " << readPeak << " bytes\n";
            EXPECT_LE(readPeak, picture + 12 * kMegabyte) << document << ", " << threads;
        }
        const std::string output = dir.File("out-" + std::to_string(threads) + ".png");
        ImageBuffer image;
        const int64_t start = heapcount::Held();
        heapcount::MarkPeak();
        EXPECT_EQ(ConvertItemTo(image, document.c_str(), output.c_str(), OutputFormat::Png, true, &pool),
                  ItemResult::Converted)
            << document << ", " << threads;
        const int64_t peakBytes = heapcount::PeakAbove(start);
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
    if (!heapcount::Start())
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
