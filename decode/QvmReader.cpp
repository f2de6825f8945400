#include "decode/QvmReader.h"

#include "decode/BlendTable.h"
#include "decode/ByteFile.h"
#include "decode/CompositeLayer.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "decode/QvmFormat.h"
#include "decode/StreamJobs.h"

#include <memory>
#include <vector>

namespace {

// Whether record index is blended: its stored flag, unless the caller says.
bool Shows(const QvmLayerRecord& record, uint32_t index, const std::vector<uint8_t>* visible) {
    if (visible != nullptr && index < visible->size())
        return (*visible)[index] != 0;
    return record.Visible();
}

bool ReadLayersInOrder(ByteSource& file, const QvmHeader& header, ImageBuffer& target, BlendTable& table,
                       const std::vector<uint8_t>* visible) {
    MemBlock scratch;
    if (scratch.Alloc(kInflateChunk, true) == nullptr)
        return false;
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
        if (!Shows(record, index, visible)) {
            if (!file.Skip(record.compressedSize))
                return false;
            continue;
        }
        uint32_t produced = 0;
        if (!InflateFromSource(file, layer.bits, capacity, record.compressedSize, scratch.data, kInflateChunk,
                               &produced))
            return false;
        // A stream that ends early leaves the rest of the layer transparent.
        // A pixel cut in the middle has no alpha byte and counts as
        // transparent too.
        CompositeLayer(target, layer, record.blendMode, record.opacity, table, produced / 4);
    }
    return true;
}

// The same on a pool: a layer buffer per thread, the layers blended in file
// order on this thread.
class PooledLayers : public StreamRecords {
public:
    PooledLayers(const QvmHeader& header, ImageBuffer& target, BlendTable& table, const std::vector<uint8_t>* visible)
        : header(header), target(target), table(table), visible(visible) {}

    bool Prepare(StreamJob& job) override {
        layers.emplace_back(new ImageBuffer);
        if (job.slot + 1 != layers.size() || !layers.back()->Create(header.width, header.height))
            return false;
        job.destination = layers.back()->bits;
        job.capacity = uint32_t(layers.back()->ByteCount());
        return true;
    }

    Next ReadRecord(ByteSource& file, uint32_t index, StreamJob& job) override {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record))
            return Next::Failed;
        if (!Shows(record, index, visible))
            return file.Skip(record.compressedSize) ? Next::Passed : Next::Failed;
        job.compressedSize = record.compressedSize;
        job.mode = record.blendMode;
        job.opacity = record.opacity;
        return Next::Stream;
    }

    void Use(const StreamJob& job) override {
        CompositeLayer(target, *layers[job.slot], job.mode, job.opacity, table, job.produced / 4);
    }

private:
    const QvmHeader& header;
    ImageBuffer& target;
    BlendTable& table;
    const std::vector<uint8_t>* visible;
    std::vector<std::unique_ptr<ImageBuffer>> layers; // one per job
};

bool ReadQvmWith(ImageBuffer& target, ByteSource& file, WorkPool* pool, bool anySize,
                 const std::vector<uint8_t>* visible = nullptr) {
    BlendTable table;
    if (!table.Allocate())
        return false;
    QvmHeader header;
    if (!ReadQvmHeader(file, header))
        return false;

    if (!target.Create(header.width, header.height))
        return false;
    target.Fill(0xFFFFFFFF);
    if (!ReadsOnPool(pool, uint64_t(header.width) * header.height, anySize))
        return ReadLayersInOrder(file, header, target, table, visible);
    PooledLayers layers(header, target, table, visible);
    return InflateStreamsInOrder(file, header.layerCount, *pool, layers);
}

} // namespace

bool ReadQvm(ImageBuffer& target, const char* path, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) && ReadQvmWith(target, file, pool, false);
}

bool ReadQvm(ImageBuffer& target, ByteSource& source, WorkPool* pool) {
    return ReadQvmWith(target, source, pool, false);
}

bool ReadQvmOnPool(ImageBuffer& target, ByteSource& source, WorkPool& pool) {
    return ReadQvmWith(target, source, &pool, true);
}

bool ReadQvmShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible, WorkPool* pool) {
    ByteFile file;
    return file.OpenRead(path) && ReadQvmWith(target, file, pool, false, &visible);
}

bool ReadQvmShowing(ImageBuffer& target, ByteSource& source, const std::vector<uint8_t>& visible, WorkPool* pool) {
    return ReadQvmWith(target, source, pool, false, &visible);
}
