#include "decode/QvrReader.h"

#include "decode/ByteFile.h"
#include "decode/QvrTileWalk.h"
#include "decode/QvrVersions.h"

namespace {

bool ReadQvrWith(ImageBuffer& target, ByteSource& file, WorkPool* pool, bool anySize) {
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
    ByteFile file;
    return file.OpenRead(path) && ReadQvrWith(target, file, pool, false);
}

bool ReadQvr(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    return ReadQvrWith(target, source, pool, false);
}

bool ReadQvrOnPool(ImageBuffer& target, ByteSource& source, WorkPool& pool) {
    return ReadQvrWith(target, source, &pool, true);
}

bool ReadQvrSize(ByteSource& source, uint16_t& width, uint16_t& height) {
    uint8_t version = 0;
    if (!source.ReadAndCompare("QVRFDAT") || !source.ReadU8(version))
        return false;
    if (version == 0)
        return source.ReadU16LE(width) && source.ReadU16LE(height);
    // Version 1: the size comes after a block of stated length and the
    // header length, read as the reader reads them.
    qvrtiles::Header header;
    uint16_t headerLength = 0;
    if (version != 1 || !qvrtiles::ReadHeaderToSize(source, header, headerLength))
        return false;
    width = header.width;
    height = header.height;
    return true;
}
