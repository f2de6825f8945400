// What a load holds, told from the header: set by the document, not by the
// threads that read it, and never a second picture for a large QVM one nor
// more than one mask for a QVR one.
#include "decode/DocumentHeader.h"
#include "decode/LoadingMemory.h"
#include "decode/QvmPictureBands.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;

DocumentHeader Header(DocumentKind kind, uint8_t version, uint16_t width, uint16_t height, uint16_t layers) {
    DocumentHeader header;
    header.kind = kind;
    header.version = version;
    header.width = width;
    header.height = height;
    header.layerCount = layers;
    return header;
}

TEST(LoadingMemory, LargeQvmPicturesHoldBandsBesideThemWhateverTheThreads) {
    struct Case {
        const char* name;
        uint16_t width, height, layers;
        bool layerBuffer; // a second picture beside the first
    };
    const Case cases[] = {
        {"one row short of a megapixel", 1024, 1023, 6, true},
        {"a megapixel", 1024, 1024, 6, false},
        {"4096 x 4096, six layers", 4096, 4096, 6, false},
        {"one row of the widest", 65535, 1, 6, true},
        {"the widest, 17 rows", 65535, 17, 40, false},
        {"the largest square, every layer", 23170, 23170, 65535, false},
    };
    for (const Case& c : cases) {
        LoadingMemory alone, two, sixteen;
        const DocumentHeader header = Header(DocumentKind::Qvm, 0, c.width, c.height, c.layers);
        ASSERT_TRUE(LoadingMemoryOf(header, 1, alone)) << c.name;
        ASSERT_TRUE(LoadingMemoryOf(header, 2, two)) << c.name;
        ASSERT_TRUE(LoadingMemoryOf(header, 16, sixteen)) << c.name;
        EXPECT_EQ(alone.picture, uint64_t(c.width) * c.height * 4) << c.name;
        EXPECT_EQ(two.beside, alone.beside) << c.name;
        EXPECT_EQ(sixteen.beside, alone.beside) << c.name;
        if (c.layerBuffer) {
            EXPECT_GE(alone.beside, alone.picture) << c.name;
            EXPECT_LT(alone.beside, alone.picture + kMegabyte) << c.name;
        } else if (c.layers < 100) {
            EXPECT_LE(alone.beside, 12 * kMegabyte) << c.name;
        } else {
            // Streams kept open take at most a layer's worth; every record
            // its place.
            EXPECT_LE(alone.beside, alone.picture + 16 * kMegabyte) << c.name;
        }
    }
}

TEST(LoadingMemory, QvrReadersHoldAtMostAMaskOrAFixedRoomOfTilesWhateverTheThreads) {
    struct Case {
        const char* name;
        uint8_t version;
        uint16_t width, height, layers;
    };
    const Case cases[] = {
        {"masks, one row short of a megapixel", 0, 1024, 1023, 3},
        {"masks, 4096 x 4096", 0, 4096, 4096, 6},
        {"masks, the largest square, every layer", 0, 23170, 23170, 65535},
        {"tiles, a megapixel", 1, 1024, 1024, 3},
        {"tiles, the largest square", 1, 23170, 23170, 65535},
    };
    for (const Case& c : cases) {
        const DocumentHeader header = Header(DocumentKind::Qvr, c.version, c.width, c.height, c.layers);
        const uint64_t mask = ((uint64_t(c.width) + 3) & ~uint64_t(3)) * c.height;
        uint64_t most = 0;
        for (unsigned threads : {1u, 2u, 4u, 16u, 64u}) {
            LoadingMemory memory;
            ASSERT_TRUE(LoadingMemoryOf(header, threads, memory)) << c.name;
            EXPECT_EQ(memory.picture, uint64_t(c.width) * c.height * 4) << c.name;
            if (c.version == 0) {
                // A broken document is read again a mask at a time; the
                // bands take less for a few layers, and with every layer
                // their streams kept open take at most a mask's worth beside
                // every record's place.
                EXPECT_GE(memory.beside, mask) << c.name << ", " << threads << " threads";
                EXPECT_LE(memory.beside, mask + (c.layers < 100 ? kMegabyte : 16 * kMegabyte))
                    << c.name << ", " << threads << " threads";
                if (most != 0) {
                    EXPECT_EQ(memory.beside, most) << c.name << ", " << threads << " threads";
                }
            } else if (threads == 1) {
                EXPECT_LT(memory.beside, 64 * 1024u) << c.name << ": a tile and its stream";
            } else {
                EXPECT_GE(memory.beside, 3 * 2 * 4096u) << c.name << ", " << threads << " threads";
                EXPECT_LE(memory.beside, 9 * kMegabyte) << c.name << ", " << threads << " threads";
            }
            most = memory.beside;
        }
    }
}

TEST(LoadingMemory, PicturesTooLargeToCreateHoldNothing) {
    LoadingMemory memory;
    EXPECT_FALSE(LoadingMemoryOf(Header(DocumentKind::Qvm, 0, 23171, 23170, 1), 1, memory));
    EXPECT_FALSE(LoadingMemoryOf(Header(DocumentKind::Qvm, 0, 0, 10, 1), 1, memory));
    EXPECT_TRUE(LoadingMemoryOf(Header(DocumentKind::Qvm, 0, 23170, 23170, 0), 1, memory));
}

// The plan the whole-picture bands read by: no more streams side by side
// than the group, bands of about half a megabyte, one band for a short picture.
TEST(PictureBandsPlan, GroupAndBandsAreSetByTheDocument) {
    BandPlan plan;
    uint64_t bytes = 0;
    ASSERT_TRUE(PlanPictureBands(4096, 4096, 6, 6, kSlotInputBytes, plan, bytes));
    EXPECT_EQ(plan.group, 6u);
    EXPECT_EQ(plan.rows, 32);
    EXPECT_EQ(plan.keptOpen, 6u);
    ASSERT_TRUE(PlanPictureBands(4096, 4096, 100, 120, kSlotInputBytes, plan, bytes));
    EXPECT_EQ(plan.group, kPictureBandGroup);
    EXPECT_EQ(plan.keptOpen, 100u);
    ASSERT_TRUE(PlanPictureBands(4096, 20, 3, 3, 1000, plan, bytes));
    EXPECT_EQ(plan.rows, 20);
    EXPECT_EQ(plan.keptOpen, 0u) << "one band: nothing stays open";
    EXPECT_FALSE(PlanPictureBands(0, 20, 3, 3, 1000, plan, bytes));
}

} // namespace
