#include "bench/BenchDocs.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace bench {

namespace {

TempDir& Scratch() {
    static TempDir dir;
    return dir;
}

void WriteOrDie(const std::string& path, const docwriter::Bytes& bytes) {
    if (!docwriter::WriteFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

} // namespace

const std::vector<PictureSize>& Sizes() {
    static const std::vector<PictureSize> sizes = {{1024, 768}, {4096, 4096}};
    return sizes;
}

std::string ScratchFile(const std::string& name) {
    return Scratch().File(name);
}

const DocumentSet& Documents(const PictureSize& size) {
    static std::map<std::string, std::unique_ptr<DocumentSet>> built;
    std::unique_ptr<DocumentSet>& slot = built[size.Name()];
    if (slot)
        return *slot;
    slot = std::make_unique<DocumentSet>();
    DocumentSet& set = *slot;
    set.qvmLayerBytes = size.Pixels() * 4;
    set.maskBytes = ((size_t(size.width) + 3) & ~size_t(3)) * size_t(size.height);

    const docwriter::QvmDocument qvm = paintings::TableModeQvm(size.width, size.height);
    for (const docwriter::QvmLayer& layer : qvm.layers)
        set.qvmStreams.push_back(*layer.stream);
    set.qvmPath = ScratchFile("table-" + size.Name() + ".qvm");
    WriteOrDie(set.qvmPath, docwriter::WriteQvm(qvm));

    const docwriter::QvrV1Document tiles = paintings::SparseTileQvr(size.width, size.height, 10);
    for (const docwriter::QvrTileLayer& layer : tiles.layers)
        for (const docwriter::QvrTile& tile : layer.tiles)
            set.tileData.push_back(*tile.data);
    set.qvrV1Path = ScratchFile("tiles-" + size.Name() + ".qvr");
    WriteOrDie(set.qvrV1Path, docwriter::WriteQvrV1(tiles));

    const docwriter::QvrV0Document masks = paintings::MaskQvr(size.width, size.height, 4);
    for (const docwriter::QvrMaskLayer& layer : masks.layers)
        set.maskStreams.push_back(*layer.stream);
    set.qvrV0Path = ScratchFile("masks-" + size.Name() + ".qvr");
    WriteOrDie(set.qvrV0Path, docwriter::WriteQvrV0(masks));
    return set;
}

const std::vector<uint8_t>& DecodedPicture(const PictureSize& size) {
    static std::map<std::string, std::vector<uint8_t>> decoded;
    std::vector<uint8_t>& pixels = decoded[size.Name()];
    if (pixels.empty()) {
        ImageBuffer image;
        if (!LoadDocument(image, Documents(size).qvmPath.c_str())) {
            std::fprintf(stderr, "cannot decode the %s document\n", size.Name().c_str());
            std::exit(1);
        }
        pixels.assign(image.bits, image.bits + image.ByteCount());
    }
    return pixels;
}

} // namespace bench
