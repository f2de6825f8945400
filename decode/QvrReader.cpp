#include "decode/QvrReader.h"

#include "base/ByteFile.h"
#include "decode/DocumentHeader.h"
#include "decode/QvrVersions.h"

namespace {

bool ReadQvrWith(ImageBuffer& target, ByteSource& file, WorkPool* pool, bool anySize,
                 const std::vector<uint8_t>* visible = nullptr) {
    DocumentHeader header;
    if (!ReadDocumentHeader(file, header) || header.kind != DocumentKind::Qvr)
        return false;
    return header.version == 0 ? ReadQvrMasks(file, header, target, pool, anySize, visible)
                               : ReadQvrTiles(file, header, target, pool, anySize, visible);
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

bool ReadQvrShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) && ReadQvrWith(target, file, pool, false, &visible);
}

bool ReadQvrShowing(ImageBuffer& target, ByteSource& source, const std::vector<uint8_t>& visible, WorkPool* pool) {
    return ReadQvrWith(target, source, pool, false, &visible);
}
