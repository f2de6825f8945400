#include "decode/ScaleInBands.h"

#include "base/ByteSource.h"
#include "decode/DocumentHeader.h"
#include "decode/DocumentLoader.h"
#include "decode/QvrBands.h"
#include "pixels/AreaAverage.h"

namespace {

class FilterSink : public BandSink {
public:
    FilterSink(int32_t width, int32_t height, int32_t outWidth, int32_t outHeight, uint8_t* destination,
               ptrdiff_t stride)
        : width(width), height(height), outWidth(outWidth), outHeight(outHeight), destination(destination),
          stride(stride) {}

    bool Begin(bool bottomUp) override {
        return filter.Start(width, height, outWidth, outHeight, bottomUp, destination, stride);
    }
    void Row(const uint8_t* row) override { filter.AddRow(row); }
    void RepeatRow(const uint8_t* row, int32_t count) override { filter.AddRepeatedRow(row, count); }
    void Finish() { filter.Finish(); }

private:
    AreaAverage filter;
    const int32_t width, height, outWidth, outHeight;
    uint8_t* const destination;
    const ptrdiff_t stride;
};

} // namespace

BandedRead ScaleDocumentInBands(ByteSource& source, int32_t outWidth, int32_t outHeight, uint8_t* destination,
                                ptrdiff_t stride, uint64_t memoryLimit, WorkPool* pool, const BandShape& shape,
                                const Deadline& deadline, LoadResult* fault) {
    uint32_t width = 0, height = 0;
    // The readers below name a header they cannot read.
    if (!PeekDocumentSize(source, width, height) || width == 0 || height == 0) {
        LoadResult named;
        LoadResult& why = fault != nullptr ? *fault : named;
        DocumentHeader header;
        why = source.Seek(0, ByteSource::FromStart) == 0 ? ReadDocumentHeaderSaying(source, header)
                                                         : loadresult::ReadError();
        if (why)
            why = loadresult::EmptyPicture(width, height);
        return BandedRead::Broken;
    }
    // The filter's rows and sums come first, out of the same bound.
    const uint64_t filterBytes = AreaAverage::MemoryFor(int32_t(width), int32_t(height), outWidth);
    if (filterBytes >= memoryLimit)
        return BandedRead::NotBanded;
    FilterSink sink(int32_t(width), int32_t(height), outWidth, outHeight, destination, stride);
    const bool qvm = ReadDocumentMagic(source) == DocumentKind::Qvm;
    const BandedRead read = qvm ? ReadQvmInBands(source, memoryLimit - filterBytes, pool, sink, shape, deadline, fault)
                                : ReadQvrInBands(source, memoryLimit - filterBytes, pool, sink, shape, deadline, fault);
    if (read == BandedRead::Done)
        sink.Finish();
    return read;
}
