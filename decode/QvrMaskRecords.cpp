#include "decode/QvrMaskRecords.h"

#include "base/ByteSource.h"
#include "base/MemBlock.h"
#include "decode/Inflate.h"
#include "decode/StreamBands.h"

namespace {

bool ReadMaskRecord(ByteSource& file, MaskLayer& layer, uint32_t& compressedSize) {
    return file.Skip(32) && file.ReadU8(layer.opacity) && file.ReadU8(layer.flags) && file.ReadU32LE(layer.colour) &&
           file.ReadU32LE(compressedSize);
}

} // namespace

bool FindMasks(ByteSource& source, uint16_t layerCount, uint64_t maskBytes, bool byLengths, StreamBands& streams,
               std::vector<MaskLayer>& layers, uint64_t mostPlanned, const Deadline& deadline, bool& tooMuch,
               LoadResult* faultOut) {
    LoadResult noted;
    LoadResult& fault = faultOut != nullptr ? *faultOut : noted;
    MemBlock input, scratch;
    if (!byLengths && (input.Alloc(kInflateChunk, false) == nullptr || scratch.Alloc(kInflateChunk, false) == nullptr))
        return false;
    uint64_t passedBytes = 0;
    for (uint32_t index = 0; index < layerCount; ++index) {
        MaskLayer layer;
        uint32_t size = 0;
        if (deadline.Passed())
            return false;
        if (!ReadMaskRecord(source, layer, size)) {
            fault = loadresult::TruncatedAt(index + 1);
            return false;
        }
        const int64_t start = source.Tell();
        if (start < 0) {
            fault = loadresult::ReadError();
            return false;
        }
        if (!byLengths) {
            passedBytes += MostExpanded(size, maskBytes);
            tooMuch = passedBytes > mostPlanned / 2;
            if (tooMuch)
                return false;
            if (!PassStream(source, maskBytes, size, input.data, scratch.data, kInflateChunk, deadline)) {
                fault = loadresult::CorruptMask(index + 1);
                return false;
            }
        } else if (!source.Skip(size)) {
            fault = loadresult::TruncatedAt(index + 1);
            return false;
        }
        streams.Add({start, size});
        layers.push_back(layer);
    }
    return true;
}
