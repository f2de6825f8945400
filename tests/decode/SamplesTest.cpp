// Every sample document shipped in samples/ loads.
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/SourceTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

TEST(Samples, EverySampleLoads) {
    ASSERT_NE(std::getenv("TESSAVEL_SOURCE_DIR"), nullptr);
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourcePath("samples"))) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".qvm" && extension != ".qvr")
            continue;
        ImageBuffer image;
        EXPECT_TRUE(LoadDocument(image, entry.path().string().c_str())) << entry.path().string();
        EXPECT_FALSE(image.IsEmpty()) << entry.path().string();
        ++loaded;
    }
    EXPECT_GE(loaded, 5); // both formats, both QVR versions
}

} // namespace
