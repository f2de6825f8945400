#include "decode/ThumbnailPicture.h"

#include "base/ByteSource.h"
#include "decode/DocumentLoader.h"
#include "decode/ScaleInBands.h"
#include "pixels/ImageBuffer.h"

Deadline ThumbnailDeadline(ByteSource& source) {
    using std::chrono::milliseconds;
    constexpr uint64_t kBytesPerMillisecond = (uint64_t(32) << 20) / 1000;
    const int64_t size = source.Seek(0, ByteSource::FromEnd);
    source.Seek(0, ByteSource::FromStart);
    const uint64_t documentBytes = size > 0 ? uint64_t(size) : 0;
    return Deadline::In(milliseconds(1500) + milliseconds(documentBytes / kBytesPerMillisecond));
}

bool PeekPictureSize(ByteSource& source, int32_t& width, int32_t& height) {
    uint32_t w = 0, h = 0;
    const bool read = PeekDocumentSize(source, w, h);
    width = int32_t(w);
    height = int32_t(h);
    return read;
}

ThumbnailPictureStatus DecodeThumbnailPicture(ByteSource& source, ImageBuffer& picture, uint64_t maxPictureBytes) {
    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return ThumbnailPictureStatus::Broken;
    if (uint64_t(width) * uint64_t(height) * 4 > maxPictureBytes)
        return ThumbnailPictureStatus::TooLarge;
    // A document cut short still leaves a partial picture: a thumbnail of it
    // would pass a broken file off as a good one.
    if (!LoadDocument(picture, source) || picture.IsEmpty())
        return ThumbnailPictureStatus::Broken;
    return ThumbnailPictureStatus::Decoded;
}

ThumbnailPictureStatus DrawThumbnail(ByteSource& source, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride,
                                     WorkPool* pool, uint64_t memoryLimit, const Deadline& deadline) {
    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return ThumbnailPictureStatus::Broken;
    switch (
        ScaleDocumentInBands(source, size.width, size.height, destination, stride, memoryLimit, pool, {}, deadline)) {
    case BandedRead::Done:
        return ThumbnailPictureStatus::Decoded;
    case BandedRead::Broken:
        return ThumbnailPictureStatus::Broken;
    case BandedRead::Refused:
        return ThumbnailPictureStatus::TooLarge;
    case BandedRead::NotBanded:
        break;
    }
    // Not even one band fits: the whole picture, where it and a layer fit
    // the same bound (a small picture under a tight bound).
    if (source.Seek(0, ByteSource::FromStart) != 0)
        return ThumbnailPictureStatus::Broken;
    ImageBuffer picture;
    const ThumbnailPictureStatus status = DecodeThumbnailPicture(source, picture, memoryLimit / 2);
    if (status != ThumbnailPictureStatus::Decoded)
        return status;
    if (picture.width != width || picture.height != height || !ScaleToThumbnail(picture, size, destination, stride))
        return ThumbnailPictureStatus::Broken;
    return ThumbnailPictureStatus::Decoded;
}
