#include "decode/QvrReader.h"

#include "base/ByteFile.h"
#include "decode/DocumentHeader.h"
#include "decode/QvrVersions.h"

namespace {

LoadResult ReadQvrWith(ImageBuffer& target, ByteSource& file, WorkPool* pool, bool anySize,
                       const std::vector<uint8_t>* visible = nullptr) {
    DocumentHeader header;
    LoadResult result = ReadDocumentHeaderSaying(file, header);
    if (!result)
        return result;
    if (header.kind != DocumentKind::Qvr)
        return loadresult::NotDocument();
    return header.version == 0 ? ReadQvrMasks(file, header, target, pool, anySize, visible)
                               : ReadQvrTiles(file, header, target, pool, anySize, visible);
}

} // namespace

LoadResult ReadQvr(ImageBuffer& target, const char* path, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) ? ReadQvrWith(target, file, pool, false) : loadresult::CannotOpen();
}

LoadResult ReadQvr(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    return ReadQvrWith(target, source, pool, false);
}

LoadResult ReadQvrOnPool(ImageBuffer& target, ByteSource& source, WorkPool& pool) {
    return ReadQvrWith(target, source, &pool, true);
}

LoadResult ReadQvrShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) ? ReadQvrWith(target, file, pool, false, &visible) : loadresult::CannotOpen();
}

LoadResult ReadQvrShowing(ImageBuffer& target, ByteSource& source, const std::vector<uint8_t>& visible,
                          WorkPool* pool) {
    return ReadQvrWith(target, source, pool, false, &visible);
}
