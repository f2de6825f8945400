#pragma once
// Shared by the reader tests: a scratch folder to write documents into, and
// pixel access in picture coordinates.

#include "base/MemorySource.h"
#include "base/WorkPool.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DocWriter.h"
#include "tests/support/ReferenceMix.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace doctest {

using docwriter::Bytes;

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr& o) const { return b == o.b && g == o.g && r == o.r; }
};

inline std::ostream& operator<<(std::ostream& out, const Bgr& c) {
    return out << "(b " << c.b << ", g " << c.g << ", r " << c.r << ")";
}

constexpr Bgr kWhite = {255, 255, 255};

// Colour of picture pixel (x, y), y counted from the top.
inline Bgr At(const ImageBuffer& image, int x, int y) {
    const uint8_t* p = image.TopRow(y) + 4 * x;
    return {p[0], p[1], p[2]};
}

inline uint8_t AlphaAt(const ImageBuffer& image, int x, int y) {
    return image.TopRow(y)[4 * x + 3];
}

// The mix of colour c onto t at weight w, per channel.
inline Bgr Mix(Bgr t, Bgr c, int w) {
    return {ReferenceMix(t.b, c.b, w), ReferenceMix(t.g, c.g, w), ReferenceMix(t.r, c.r, w)};
}

// Colour as a QVR colour field, or a QVM pixel with alpha a.
inline uint32_t Pack(Bgr c, int a = 0) {
    return uint32_t(c.b) | uint32_t(c.g) << 8 | uint32_t(c.r) << 16 | uint32_t(a) << 24;
}

// A QVM layer of w x h pixels of colour c with alpha a.
inline docwriter::QvmLayer QvmSolid(int w, int h, Bgr c, int a, uint8_t mode = 0, uint8_t opacity = 128) {
    docwriter::QvmLayer layer;
    layer.pixels = docwriter::SolidPixels(w, h, uint8_t(c.b), uint8_t(c.g), uint8_t(c.r), uint8_t(a));
    layer.blendMode = mode;
    layer.opacity = opacity;
    return layer;
}

// The format a document's name asks for, or one its first bytes claim:
// 'm' (QVM), 'r' (QVR) or 0.
inline char KindOfName(const std::string& name) {
    const std::string end = name.size() >= 4 ? name.substr(name.size() - 4) : "";
    if (end.size() == 4 && end[0] == '.' && (end[1] | 0x20) == 'q' && (end[2] | 0x20) == 'v')
        return (end[3] | 0x20) == 'm' ? 'm' : (end[3] | 0x20) == 'r' ? 'r' : 0;
    return 0;
}
inline char KindOfBytes(const Bytes& bytes) {
    if (bytes.size() >= 7 && std::memcmp(bytes.data(), "QVMDATA", 7) == 0)
        return 'm';
    if (bytes.size() >= 7 && std::memcmp(bytes.data(), "QVRFDAT", 7) == 0)
        return 'r';
    return 0;
}

class DocFileTest : public ::testing::Test {
protected:
    // Writes bytes to a file called name in the scratch folder and loads it.
    // Every load is made a second time from the bytes in memory, into a copy
    // of the target as it was, and must give the same outcome and picture:
    // the readers behave alike whatever source they read. It is read once
    // more on a work pool, which must give the same result and picture.
    bool Load(const Bytes& bytes, ImageBuffer& image, const std::string& name) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(docwriter::WriteFile(path, bytes));
        ImageBuffer fromMemory;
        if (!image.IsEmpty()) {
            EXPECT_TRUE(fromMemory.Create(image.width, image.height));
            std::memcpy(fromMemory.bits, image.bits, image.ByteCount());
        }
        ImageBuffer pooled;
        const LoadResult onPool = LoadDocumentOnPool(pooled, path.c_str(), pool);
        const LoadResult result = LoadDocument(image, path.c_str());
        const bool loaded = bool(result);
        EXPECT_EQ(onPool.reason, result.reason) << name << " on threads";
        const bool sameSize = pooled.width == image.width && pooled.height == image.height;
        EXPECT_TRUE(sameSize || (!loaded && pooled.IsEmpty())) << name << " on threads";
        if (sameSize && !image.IsEmpty()) {
            EXPECT_EQ(std::memcmp(pooled.bits, image.bits, image.ByteCount()), 0) << name << " on threads";
        }
        // Memory has no name: a name that contradicts the content is the
        // file road's own concern.
        const char claimed = KindOfBytes(bytes);
        if (claimed != 0 && claimed != KindOfName(name))
            return loaded;
        MemorySource source(bytes.data(), bytes.size());
        EXPECT_EQ(LoadDocument(fromMemory, source).reason, result.reason) << name << " from memory";
        EXPECT_EQ(fromMemory.width, image.width) << name << " from memory";
        EXPECT_EQ(fromMemory.height, image.height) << name << " from memory";
        if (fromMemory.width == image.width && fromMemory.height == image.height && !image.IsEmpty()) {
            EXPECT_EQ(std::memcmp(fromMemory.bits, image.bits, image.ByteCount()), 0) << name << " from memory";
        }
        return loaded;
    }
    bool LoadQvm(const docwriter::QvmDocument& doc, ImageBuffer& image) {
        return Load(docwriter::WriteQvm(doc), image, "doc.qvm");
    }
    bool LoadQvr(const docwriter::QvrV0Document& doc, ImageBuffer& image) {
        return Load(docwriter::WriteQvrV0(doc), image, "doc.qvr");
    }
    bool LoadQvr(const docwriter::QvrV1Document& doc, ImageBuffer& image) {
        return Load(docwriter::WriteQvrV1(doc), image, "doc.qvr");
    }

    // A 3 x 2 picture of a colour no reader produces, to see that a failed
    // load left the target alone.
    static void MakeOldPicture(ImageBuffer& image) {
        ASSERT_TRUE(image.Create(3, 2));
        image.Fill(0x5A123456);
    }
    static void ExpectOldPicture(const ImageBuffer& image) {
        ASSERT_EQ(image.width, 3);
        ASSERT_EQ(image.height, 2);
        for (size_t i = 0; i < image.PixelCount(); ++i)
            ASSERT_EQ(reinterpret_cast<const uint32_t*>(image.bits)[i], 0x5A123456u);
    }
    static void ExpectAll(const ImageBuffer& image, Bgr colour) {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                ASSERT_EQ(At(image, x, y), colour) << "at " << x << "," << y;
    }

    TempDir dir;
    WorkPool pool{3};
};

} // namespace doctest
