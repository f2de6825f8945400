#include "decode/DocumentLoader.h"

#include "decode/ByteFile.h"
#include "decode/ImageBuffer.h"
#include "decode/QvmFormat.h"
#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "decode/SteadyRead.h"
#include "base/Str.h"

#include <cstring>
#include <functional>

namespace {

enum class Format { Qvr, Qvm, Other };

Format FormatOf(const char* path) {
    Str fullPath;
    fullPath.Assign(path);
    Str extension;
    fullPath.GetExtension(extension);
    // The extension alone decides; the content is never sniffed.
    if (extension.CompareNoCase("qvr") == 0)
        return Format::Qvr;
    if (extension.CompareNoCase("qvm") == 0)
        return Format::Qvm;
    return Format::Other;
}

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
    const Format format = FormatOf(path);
    NoteLoadMetChanges(false);
    if (format == Format::Other)
        return false;
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return format == Format::Qvr ? ReadQvr(target, file, pool) : ReadQvm(target, file, pool);
    });
}

bool LoadDocument(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    constexpr uint32_t kMagicLength = 7;
    char magic[kMagicLength];
    // The reader checks the magic again, so step back over it.
    if (!source.ReadExact(magic, kMagicLength) || !source.Skip(-int64_t(kMagicLength)))
        return false;
    if (std::memcmp(magic, "QVMDATA", kMagicLength) == 0)
        return ReadQvm(target, source, pool);
    if (std::memcmp(magic, "QVRFDAT", kMagicLength) == 0)
        return ReadQvr(target, source, pool);
    return false;
}

bool LoadDocumentOnPool(ImageBuffer& target, const char* path, WorkPool& pool) {
    const Format format = FormatOf(path);
    NoteLoadMetChanges(false);
    if (format == Format::Other)
        return false;
    return LoadSteadily(target, path, [&](ByteFile& file) {
        return format == Format::Qvr ? ReadQvrOnPool(target, file, pool) : ReadQvmOnPool(target, file, pool);
    });
}

bool PeekDocumentSize(const char* path, uint32_t& width, uint32_t& height) {
    const Format format = FormatOf(path);
    ByteFile file;
    if (format == Format::Other || !file.OpenRead(path))
        return false;
    uint16_t w = 0, h = 0;
    if (format == Format::Qvr) {
        if (!ReadQvrSize(file, w, h))
            return false;
    } else {
        QvmHeader header;
        if (!ReadQvmHeader(file, header))
            return false;
        w = header.width;
        h = header.height;
    }
    width = w;
    height = h;
    return true;
}
