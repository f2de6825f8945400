#include "decode/ScaleInBands.h"

#include "decode/AreaAverage.h"
#include "decode/ByteSource.h"
#include "decode/QvmFormat.h"

BandedRead ScaleQvmInBands(ByteSource& source, int32_t outWidth, int32_t outHeight, uint8_t* destination,
                           ptrdiff_t stride, uint64_t memoryLimit, WorkPool* pool) {
    QvmHeader header;
    if (source.Seek(0, ByteSource::FromStart) != 0 || !ReadQvmHeader(source, header))
        return BandedRead::NotBanded;
    const uint64_t filterBytes = AreaAverage::MemoryFor(header.width, header.height, outWidth);
    AreaAverage filter;
    if (filterBytes >= memoryLimit ||
        !filter.Start(header.width, header.height, outWidth, outHeight, true, destination, stride))
        return BandedRead::NotBanded;
    // The document's pixels run from the bottom row up.
    const BandedRead read =
        ReadQvmInBands(source, memoryLimit - filterBytes, pool, [&filter](const uint8_t* row) { filter.AddRow(row); });
    if (read == BandedRead::Done)
        filter.Finish();
    return read;
}
