// Every sample document shipped in samples/ loads.
#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "framework/Text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The source tree as this build's programs see it: under Wine a POSIX path
// /x/y is the drive path Z:\x\y.
std::string SourcePath(const std::string& relative) {
    const char* root = std::getenv("TESSAVEL_SOURCE_DIR");
    std::string path = std::string(root != nullptr ? root : ".") + "/" + relative;
    if (text::PathSeparator() == '\\') {
        if (!path.empty() && path[0] == '/')
            path = "Z:" + path;
        for (char& c : path)
            if (c == '/')
                c = '\\';
    }
    return path;
}

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
