#include "decode/QvmReader.h"

#include "decode/BlendTable.h"
#include "decode/ByteFile.h"
#include "decode/CompositeLayer.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "decode/QvmFormat.h"

namespace {

constexpr uint32_t kChunkSize = 32768;

} // namespace

bool ReadQvm(ImageBuffer& target, const char* path) {
    ByteFile file;
    return file.OpenRead(path) && ReadQvm(target, file);
}

bool ReadQvm(ImageBuffer& target, ByteSource& file) {
    MemBlock scratch;
    BlendTable table;
    if (scratch.Alloc(kChunkSize, true) == nullptr || !table.Allocate())
        return false;
    QvmHeader header;
    if (!ReadQvmHeader(file, header))
        return false;

    if (!target.Create(header.width, header.height))
        return false;
    target.Fill(0xFFFFFFFF);
    // One layer buffer serves every visible layer. It is not cleared between
    // layers: only the pixels a layer's stream actually produced are blended.
    ImageBuffer layer;
    if (!layer.Create(header.width, header.height))
        return false;
    // Create refuses pictures above 2^31 - 1 bytes, so this fits 32 bits.
    const uint32_t capacity = uint32_t(layer.ByteCount());

    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record))
            return false;
        if (!record.Visible()) {
            if (!file.Skip(record.compressedSize))
                return false;
            continue;
        }
        uint32_t produced = 0;
        if (!InflateFromSource(file, layer.bits, capacity, record.compressedSize, scratch.data, kChunkSize, &produced))
            return false;
        // A stream that ends early leaves the rest of the layer transparent.
        // A pixel cut in the middle has no alpha byte and counts as
        // transparent too.
        CompositeLayer(target, layer, record.blendMode, record.opacity, table, produced / 4);
    }
    return true;
}
