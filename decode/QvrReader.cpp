#include "decode/QvrReader.h"

#include "decode/ByteFile.h"
#include "decode/Mix.h"
#include "decode/QvrVersions.h"

void MixCoverageRow(uint8_t* pixels, const uint8_t* coverage, size_t count, uint8_t opacity, uint32_t colour) {
    const int channel[3] = {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        const uint32_t weight = MixWeight(coverage[i], opacity);
        if (weight == 0)
            continue;
        for (int c = 0; c < 3; ++c)
            pixels[c] = MixChannel(pixels[c], channel[c], weight);
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
