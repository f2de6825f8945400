#include "decode/LoadDiagnosis.h"

#include "base/ByteFile.h"
#include "base/MemBlock.h"
#include "decode/DocumentHeader.h"
#include "decode/Inflate.h"
#include "decode/QvmFormat.h"
#include "decode/SteadyRead.h"
#include "pixels/ImageBuffer.h"

namespace {

// The chunk size the QVM reader reads with: with it the walk below finds the
// records where the reader finds them.
constexpr uint32_t kReaderChunk = 32768;

std::string NotEnoughMemory(uint32_t width, uint32_t height) {
    return "not enough memory for " + std::to_string(width) + "x" + std::to_string(height);
}

// Walks the layer records as the reader does and names the first one it
// cannot read or expand. Each stream only passes through two pieces, so the
// walk itself needs no memory the load might have lacked: a document it
// finds sound failed for want of memory.
std::string DiagnoseQvmLayers(ByteFile& file) {
    QvmHeader header;
    if (!ReadQvmHeader(file, header))
        return "corrupt header";
    if (!ImageBuffer::SizeFits(header.width, header.height))
        return "picture too large (" + std::to_string(header.width) + "x" + std::to_string(header.height) + ")";
    MemBlock input, scratch;
    const uint64_t capacity = uint64_t(header.width) * header.height * 4;
    if (input.Alloc(kReaderChunk, false) == nullptr || scratch.Alloc(kReaderChunk, false) == nullptr)
        return NotEnoughMemory(header.width, header.height);
    for (uint32_t i = 0; i < header.layerCount; ++i) {
        const std::string layer = std::to_string(i + 1);
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record))
            return "truncated at layer " + layer;
        if (!record.Visible()) {
            file.Skip(record.compressedSize);
            continue;
        }
        if (!PassStream(file, capacity, record.compressedSize, input.data, scratch.data, kReaderChunk))
            return "corrupt layer " + layer;
    }
    return NotEnoughMemory(header.width, header.height);
}

// A QVR document is not walked: it is named short of memory only when its
// picture cannot be had now.
std::string DiagnoseQvr(ByteFile& file) {
    DocumentHeader header;
    if (file.Seek(0, ByteFile::FromStart) != 0 || !ReadDocumentHeader(file, header))
        return "corrupt document";
    if (!ImageBuffer::SizeFits(header.width, header.height))
        return "picture too large (" + std::to_string(header.width) + "x" + std::to_string(header.height) + ")";
    MemBlock picture;
    if (picture.Alloc(uint32_t(uint64_t(header.width) * header.height * 4), false) == nullptr)
        return NotEnoughMemory(header.width, header.height);
    return "corrupt document";
}

} // namespace

std::string DiagnoseLoadFailure(const char* path) {
    const DocumentKind kind = KindByExtension(path);
    if (kind == DocumentKind::Other)
        return "not a QVM/QVR document";
    ByteFile file;
    if (!file.OpenRead(path))
        return "cannot open";
    uint8_t version = 0;
    if (ReadDocumentMagic(file) != kind)
        return "not a QVM/QVR document";
    if (!file.ReadU8(version))
        return "corrupt document";
    const uint8_t newest = kind == DocumentKind::Qvm ? 0 : 1;
    if (version > newest)
        return "unsupported version " + std::to_string(version);
    if (kind == DocumentKind::Qvr)
        return DiagnoseQvr(file);
    file.Seek(0, ByteFile::FromStart);
    return DiagnoseQvmLayers(file);
}

std::string LastLoadFailure(const char* path) {
    return LastLoadMetChanges() ? "changed while it was read" : DiagnoseLoadFailure(path);
}
