#include "decode/QvrReader.h"

#include "decode/ByteFile.h"
#include "decode/QvrVersions.h"

namespace {

bool ReadQvrWith(ImageBuffer& target, const char* path, WorkPool* pool, bool anySize) {
    ByteFile file;
    if (!file.OpenRead(path))
        return false;
    uint8_t version = 0;
    if (!file.ReadAndCompare("QVRFDAT") || !file.ReadU8(version))
        return false;
    switch (version) {
    case 0:
        return ReadQvrMasks(file, target, pool, anySize);
    case 1:
        return ReadQvrTiles(file, target, pool, anySize);
    default:
        return false;
    }
}

} // namespace

bool ReadQvr(ImageBuffer& target, const char* path, WorkPool* pool) {
    return ReadQvrWith(target, path, pool, false);
}

bool ReadQvrOnPool(ImageBuffer& target, const char* path, WorkPool& pool) {
    return ReadQvrWith(target, path, &pool, true);
}
