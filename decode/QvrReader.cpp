#include "decode/QvrReader.h"

#include "decode/ByteFile.h"
#include "decode/QvrVersions.h"

bool ReadQvr(ImageBuffer& target, const char* path) {
    ByteFile file;
    return file.OpenRead(path) && ReadQvr(target, file);
}

bool ReadQvr(ImageBuffer& target, ByteSource& file) {
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
