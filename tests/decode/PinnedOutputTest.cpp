// The exact bytes of composited and decoded pictures, pinned by checksum.
// The blend loops and readers are tuned for speed; these guard that no tuning
// ever changes a single output byte. The paintings exercise every blend code,
// partly clear and opaque layers, clamped opacities, clipped and plain tiles
// and odd sizes (so loops that work several pixels at a time meet their tails).
#include "decode/DocumentLoader.h"
#include "pixels/BlendTable.h"
#include "pixels/CompositeLayer.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <zlib.h>

namespace {

using paintings::Cover;

constexpr int kWidth = 203;
constexpr int kHeight = 141;

uint32_t Checksum(const ImageBuffer& image) {
    return uint32_t(crc32(0, image.bits, uInt(image.ByteCount())));
}

void Load(ImageBuffer& image, const docwriter::Bytes& bytes, const TempDir& dir, const char* name) {
    const std::string path = dir.File(name);
    ASSERT_TRUE(docwriter::WriteFile(path, bytes));
    ASSERT_TRUE(LoadDocument(image, path.c_str()));
}

TEST(PinnedOutput, CompositedPicturesKeepTheirBytes) {
    struct Case {
        uint8_t code;
        Cover cover;
        uint8_t opacity;
        uint32_t checksum;
    };
    const Case cases[] = {
        {0, Cover::Opaque, 128, 0xEF443377u},   {0, Cover::Partial, 128, 0x825006DBu},
        {0, Cover::Partial, 77, 0x3D08F2BBu},   {0, Cover::Partial, 200, 0x825006DBu},
        {1, Cover::Opaque, 128, 0x5BBF70D6u},   {1, Cover::Partial, 128, 0x10D8B172u},
        {1, Cover::Partial, 77, 0x9C768C04u},   {1, Cover::Partial, 200, 0x10D8B172u},
        {2, Cover::Opaque, 128, 0x429B23C3u},   {2, Cover::Partial, 128, 0xEC200AF6u},
        {2, Cover::Partial, 77, 0x827C545Eu},   {2, Cover::Partial, 200, 0xEC200AF6u},
        {3, Cover::Opaque, 128, 0x4EA8888Au},   {3, Cover::Partial, 128, 0x01D7DB7Bu},
        {3, Cover::Partial, 77, 0xE5F722CFu},   {3, Cover::Partial, 200, 0x01D7DB7Bu},
        {4, Cover::Opaque, 128, 0xA5525D6Bu},   {4, Cover::Partial, 128, 0x7B56DEE9u},
        {4, Cover::Partial, 77, 0x9E9BD7DBu},   {4, Cover::Partial, 200, 0x7B56DEE9u},
        {5, Cover::Opaque, 128, 0xAF01F95Cu},   {5, Cover::Partial, 128, 0xD3B3E2A4u},
        {5, Cover::Partial, 77, 0xD59AC6FAu},   {5, Cover::Partial, 200, 0xD3B3E2A4u},
        {6, Cover::Opaque, 128, 0xFD5CA14Au},   {6, Cover::Partial, 128, 0x90079872u},
        {6, Cover::Partial, 77, 0x03570D72u},   {6, Cover::Partial, 200, 0x90079872u},
        {7, Cover::Opaque, 128, 0x24D574DBu},   {7, Cover::Partial, 128, 0x9CC04B5Cu},
        {7, Cover::Partial, 77, 0xE8DC9D8Du},   {7, Cover::Partial, 200, 0x9CC04B5Cu},
        {8, Cover::Opaque, 128, 0x4CC137C4u},   {8, Cover::Partial, 128, 0x94F3D668u},
        {8, Cover::Partial, 77, 0xD875E20Bu},   {8, Cover::Partial, 200, 0x94F3D668u},
        {9, Cover::Opaque, 128, 0x5B2B3D3Bu},   {9, Cover::Partial, 128, 0xF41D8B2Au},
        {9, Cover::Partial, 77, 0xACB2FB33u},   {9, Cover::Partial, 200, 0xF41D8B2Au},
        {10, Cover::Opaque, 128, 0xF3601703u},  {10, Cover::Partial, 128, 0x1D5460BCu},
        {10, Cover::Partial, 77, 0x21D68FA8u},  {10, Cover::Partial, 200, 0x1D5460BCu},
        {11, Cover::Opaque, 128, 0xE5EA4C61u},  {11, Cover::Partial, 128, 0x409175D9u},
        {11, Cover::Partial, 77, 0x513BFA61u},  {11, Cover::Partial, 200, 0x409175D9u},
        {12, Cover::Opaque, 128, 0x12C8786Eu},  {12, Cover::Partial, 128, 0x88939BACu},
        {12, Cover::Partial, 77, 0xD809924Cu},  {12, Cover::Partial, 200, 0x88939BACu},
        {13, Cover::Opaque, 128, 0x690A6B68u},  {13, Cover::Partial, 128, 0x4A50F20Eu},
        {13, Cover::Partial, 77, 0x752D8221u},  {13, Cover::Partial, 200, 0x4A50F20Eu},
        {14, Cover::Opaque, 128, 0x9F4A39E3u},  {14, Cover::Partial, 128, 0x5748A730u},
        {14, Cover::Partial, 77, 0xE4D4CA0Fu},  {14, Cover::Partial, 200, 0x5748A730u},
        {15, Cover::Opaque, 128, 0xD89F6576u},  {15, Cover::Partial, 128, 0xA9273FE1u},
        {15, Cover::Partial, 77, 0xFAF258ABu},  {15, Cover::Partial, 200, 0xA9273FE1u},
        {16, Cover::Opaque, 128, 0x1AB423A8u},  {16, Cover::Partial, 128, 0xF6EAF56Bu},
        {16, Cover::Partial, 77, 0x27192CF0u},  {16, Cover::Partial, 200, 0xF6EAF56Bu},
        {17, Cover::Opaque, 128, 0x0EEA9294u},  {17, Cover::Partial, 128, 0xFABC06F1u},
        {17, Cover::Partial, 77, 0x59F19A2Fu},  {17, Cover::Partial, 200, 0xFABC06F1u},
        {18, Cover::Opaque, 128, 0xA91D6B41u},  {18, Cover::Partial, 128, 0x7F2643B5u},
        {18, Cover::Partial, 77, 0x66AB8423u},  {18, Cover::Partial, 200, 0x7F2643B5u},
        {19, Cover::Opaque, 128, 0x80F0A333u},  {19, Cover::Partial, 128, 0xEA19B67Cu},
        {19, Cover::Partial, 77, 0x3F11F020u},  {19, Cover::Partial, 200, 0xEA19B67Cu},
        {20, Cover::Opaque, 128, 0x8A51A994u},  {20, Cover::Partial, 128, 0xEF3A3EF1u},
        {20, Cover::Partial, 77, 0xFFD3EC56u},  {20, Cover::Partial, 200, 0xEF3A3EF1u},
        {21, Cover::Opaque, 128, 0xAD43ACC3u},  {21, Cover::Partial, 128, 0x2BCE1666u},
        {21, Cover::Partial, 77, 0xB5E05CB7u},  {21, Cover::Partial, 200, 0x2BCE1666u},
        {255, Cover::Opaque, 128, 0x80169D27u}, {255, Cover::Partial, 128, 0xCE1D13BCu},
        {255, Cover::Partial, 77, 0x9BFE3E70u}, {255, Cover::Partial, 200, 0xCE1D13BCu},
    };
    const docwriter::Bytes start = paintings::LayerPixels(kWidth, kHeight, 7, Cover::Opaque);
    ImageBuffer target, layer;
    ASSERT_TRUE(target.Create(kWidth, kHeight));
    ASSERT_TRUE(layer.Create(kWidth, kHeight));
    BlendTable table;
    for (const Case& c : cases) {
        const docwriter::Bytes pixels = paintings::LayerPixels(kWidth, kHeight, 20u + c.code, c.cover);
        std::memcpy(target.bits, start.data(), start.size());
        std::memcpy(layer.bits, pixels.data(), pixels.size());
        CompositeLayer(target, layer, c.code, c.opacity, table);
        EXPECT_EQ(Checksum(target), c.checksum)
            << "code " << int(c.code) << (c.cover == Cover::Opaque ? " opaque" : " partial") << " opacity "
            << int(c.opacity);
    }
}

TEST(PinnedOutput, DecodedDocumentsKeepTheirBytes) {
    TempDir dir;
    ImageBuffer image;
    Load(image, docwriter::WriteQvm(paintings::EveryModeQvm(kWidth, kHeight)), dir, "every.qvm");
    EXPECT_EQ(Checksum(image), 0x9DFBCF08u) << "every mode";
    Load(image, docwriter::WriteQvm(paintings::TableModeQvm(kWidth, kHeight)), dir, "table.qvm");
    EXPECT_EQ(Checksum(image), 0x31E7B65Bu) << "table modes";
    Load(image, docwriter::WriteQvrV1(paintings::SparseTileQvr(kWidth, kHeight, 10)), dir, "tiles.qvr");
    EXPECT_EQ(Checksum(image), 0x30A21EDFu) << "sparse tiles";
    Load(image, docwriter::WriteQvrV0(paintings::MaskQvr(kWidth, kHeight, 4)), dir, "masks.qvr");
    EXPECT_EQ(Checksum(image), 0x62710CE8u) << "masks";
}

} // namespace
