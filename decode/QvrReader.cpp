#include "decode/QvrReader.h"

#include "decode/ByteFile.h"
#include "decode/DocumentHeader.h"
#include "decode/QvrVersions.h"

namespace {

bool ReadQvrWith(ImageBuffer& target, ByteSource& file, WorkPool* pool, bool anySize) {
    DocumentHeader header;
    if (!ReadDocumentHeader(file, header) || header.kind != DocumentKind::Qvr)
        return false;
    return header.version == 0 ? ReadQvrMasks(file, header, target, pool, anySize)
                               : ReadQvrTiles(file, header, target, pool, anySize);
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
