#include "decode/DocumentLoader.h"

#include "base/ByteFile.h"
#include "base/ByteSource.h"
#include "decode/DocumentHeader.h"
#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "decode/SteadyRead.h"
#include "pixels/ImageBuffer.h"

#include <functional>

namespace {

// Reads the document at path with read, again when it changed meanwhile. A
// picture decoded from a file that kept changing is torn: it is dropped, so
// that nobody shows or writes it.
LoadResult LoadSteadily(ImageBuffer& target, const char* path, const std::function<LoadResult(ByteFile&)>& read) {
    LoadResult result;
    bool opened = false;
    const SteadyResult steady = ReadSteadily(path, [&](ByteFile& file) {
        opened = true;
        result = read(file);
        return bool(result);
    });
    switch (steady) {
    case SteadyResult::Read:
        return result;
    case SteadyResult::Changed:
        target.Free();
        return loadresult::Changed();
    case SteadyResult::Failed:
        break;
    }
    return opened ? result : loadresult::CannotOpen();
}

} // namespace

LoadResult LoadDocument(ImageBuffer& target, const char* path, WorkPool* pool) {
    // The extension alone decides; the content is never sniffed.
    const DocumentKind kind = KindByExtension(path);
    if (kind == DocumentKind::Other)
        return loadresult::NotDocument();
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return kind == DocumentKind::Qvr ? ReadQvr(target, file, pool) : ReadQvm(target, file, pool);
    });
}

LoadResult LoadDocumentShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible,
                               WorkPool* pool) {
    const DocumentKind kind = KindByExtension(path);
    if (kind == DocumentKind::Other)
        return loadresult::NotDocument();
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return kind == DocumentKind::Qvr ? ReadQvrShowing(target, file, visible, pool)
                                         : ReadQvmShowing(target, file, visible, pool);
    });
}

LoadResult LoadDocument(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    const DocumentKind kind = ReadDocumentMagic(source);
    if (kind == DocumentKind::Other)
        return loadresult::NotDocument();
    // The reader reads the magic again, so step back over it.
    if (!source.Skip(-kDocumentMagicLength))
        return loadresult::ReadError();
    return kind == DocumentKind::Qvm ? ReadQvm(target, source, pool) : ReadQvr(target, source, pool);
}

LoadResult LoadDocumentOnPool(ImageBuffer& target, const char* path, WorkPool& pool) {
    const DocumentKind kind = KindByExtension(path);
    if (kind == DocumentKind::Other)
        return loadresult::NotDocument();
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return kind == DocumentKind::Qvr ? ReadQvrOnPool(target, file, pool) : ReadQvmOnPool(target, file, pool);
    });
}

bool PeekDocumentHeader(const char* path, DocumentHeader& header) {
    const DocumentKind kind = KindByExtension(path);
    ByteFile file;
    return kind != DocumentKind::Other && file.OpenRead(path) && ReadDocumentHeader(file, header) &&
           header.kind == kind;
}

bool PeekDocumentSize(const char* path, uint32_t& width, uint32_t& height) {
    DocumentHeader header;
    if (!PeekDocumentHeader(path, header))
        return false;
    width = header.width;
    height = header.height;
    return true;
}

bool PeekDocumentSize(ByteSource& source, uint32_t& width, uint32_t& height) {
    DocumentHeader header;
    if (source.Seek(0, ByteSource::FromStart) != 0)
        return false;
    const bool read = ReadDocumentHeader(source, header);
    width = header.width;
    height = header.height;
    return source.Seek(0, ByteSource::FromStart) == 0 && read;
}
