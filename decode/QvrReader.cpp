#include "decode/QvrReader.h"

#include "decode/ByteFile.h"
#include "decode/QvrVersions.h"

CoverageMixer::CoverageMixer(uint8_t layerOpacity, uint32_t colour) : opacity(layerOpacity) {
    for (size_t i = 0; i < kRunBytes; i += 4) {
        colours[i] = uint8_t(colour);
        colours[i + 1] = uint8_t(colour >> 8);
        colours[i + 2] = uint8_t(colour >> 16);
        colours[i + 3] = 0; // weight 0: never reaches the picture
    }
}

void CoverageMixer::MixRow(uint8_t* pixels, const uint8_t* coverage, size_t count) {
    for (size_t done = 0; done < count; done += kRunPixels) {
        const size_t n = count - done < kRunPixels ? count - done : kRunPixels;
        CoverageWeights(coverage + done, n, opacity, weights);
        MixBytes(pixels + 4 * done, colours, weights, 4 * n);
    }
}

bool ReadQvr(ImageBuffer& target, const char* path) {
    ByteFile file;
    if (!file.OpenRead(path))
        return false;
    uint8_t version = 0;
    if (!file.ReadAndCompare("QVRFDAT") || !file.ReadU8(version))
        return false;
    switch (version) {
    case 0:
        return ReadQvrMasks(file, target);
    case 1:
        return ReadQvrTiles(file, target);
    default:
        return false;
    }
}
