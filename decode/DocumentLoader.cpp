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
bool LoadSteadily(ImageBuffer& target, const char* path, const std::function<bool(ByteFile&)>& read) {
    const SteadyResult result = ReadSteadily(path, read);
    NoteLoadMetChanges(result == SteadyResult::Changed);
    if (result == SteadyResult::Changed)
        target.Free();
    return result == SteadyResult::Read;
}

} // namespace

bool LoadDocument(ImageBuffer& target, const char* path, WorkPool* pool) {
    // The extension alone decides; the content is never sniffed.
    const DocumentKind kind = KindByExtension(path);
    NoteLoadMetChanges(false);
    if (kind == DocumentKind::Other)
        return false;
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return kind == DocumentKind::Qvr ? ReadQvr(target, file, pool) : ReadQvm(target, file, pool);
    });
}

bool LoadDocumentShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible, WorkPool* pool) {
    const DocumentKind kind = KindByExtension(path);
    NoteLoadMetChanges(false);
    if (kind == DocumentKind::Other)
        return false;
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return kind == DocumentKind::Qvr ? ReadQvrShowing(target, file, visible, pool)
                                         : ReadQvmShowing(target, file, visible, pool);
    });
}

bool LoadDocument(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    const DocumentKind kind = ReadDocumentMagic(source);
    // The reader reads the magic again, so step back over it.
    if (kind == DocumentKind::Other || !source.Skip(-kDocumentMagicLength))
        return false;
    return kind == DocumentKind::Qvm ? ReadQvm(target, source, pool) : ReadQvr(target, source, pool);
}

bool LoadDocumentOnPool(ImageBuffer& target, const char* path, WorkPool& pool) {
    const DocumentKind kind = KindByExtension(path);
    NoteLoadMetChanges(false);
    if (kind == DocumentKind::Other)
        return false;
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
