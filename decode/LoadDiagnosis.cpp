#include "decode/LoadDiagnosis.h"

#include "decode/ByteFile.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "decode/QvmFormat.h"
#include "decode/DocumentHeader.h"
#include "decode/SteadyRead.h"

namespace {

// The chunk size the QVM reader reads with: with it the walk below finds the
// records where the reader finds them.
constexpr uint32_t kReaderChunk = 32768;

// Walks the layer records as the reader does and names the first one it
// cannot read or expand.
std::string DiagnoseQvmLayers(ByteFile& file) {
    QvmHeader header;
    if (!ReadQvmHeader(file, header))
        return "corrupt header";
    if (!ImageBuffer::SizeFits(header.width, header.height))
        return "picture too large (" + std::to_string(header.width) + "x" + std::to_string(header.height) + ")";
    MemBlock scratch;
    MemBlock pixels;
    const uint32_t capacity = uint32_t(header.width) * header.height * 4;
    if (scratch.Alloc(kReaderChunk, false) == nullptr || pixels.Alloc(capacity, false) == nullptr)
        return "out of memory";
    for (uint32_t i = 0; i < header.layerCount; ++i) {
        const std::string layer = std::to_string(i + 1);
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record))
            return "truncated at layer " + layer;
        if (!record.Visible()) {
            file.Skip(record.compressedSize);
            continue;
        }
        if (!InflateFromSource(file, pixels.data, capacity, record.compressedSize, scratch.data, kReaderChunk))
            return "corrupt layer " + layer;
    }
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
        return "corrupt document";
    file.Seek(0, ByteFile::FromStart);
    return DiagnoseQvmLayers(file);
}

std::string LastLoadFailure(const char* path) {
    return LastLoadMetChanges() ? "changed while it was read" : DiagnoseLoadFailure(path);
}
