#pragma once
// The documents the benchmarks read, made once per picture size with the test
// writer in a scratch folder that lives as long as the benchmark program, and
// the raw material the anchors need (the layer streams, the tile data).

#include "tests/support/DocWriter.h"

#include <string>
#include <vector>

namespace bench {

struct PictureSize {
    int width;
    int height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
    size_t Pixels() const { return size_t(width) * size_t(height); }
};

// The sizes every benchmark runs at: a screen-sized and a large canvas.
const std::vector<PictureSize>& Sizes();

// Folder for files the benchmarks write; removed at exit.
std::string ScratchFile(const std::string& name);

struct DocumentSet {
    std::string qvmPath;                       // six table-mode layers
    std::string qvrV1Path;                     // ten layers of sparse tiles
    std::string qvrV0Path;                     // four whole masks
    std::vector<docwriter::Bytes> qvmStreams;  // each layer's zlib stream
    std::vector<docwriter::Bytes> maskStreams; // each mask's zlib stream
    std::vector<docwriter::Bytes> tileData;    // each tile's stored bytes, in file order
    size_t qvmLayerBytes = 0;                  // width x height x 4
    size_t maskBytes = 0;                      // padded rows x height
};

// Built on first use (the large one takes a few seconds).
const DocumentSet& Documents(const PictureSize& size);

// The pixels of the six-layer document, decoded, as a picture to save.
const std::vector<uint8_t>& DecodedPicture(const PictureSize& size);

} // namespace bench
