#include "shell/ThumbnailPicture.h"

#include "decode/ByteSource.h"
#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "decode/QvmFormat.h"
#include "decode/ScaleInBands.h"

#include <string_view>

bool PeekPictureSize(ByteSource& source, int32_t& width, int32_t& height) {
    char magic[8];
    if (!source.ReadExact(magic, sizeof magic) || source.Seek(0, ByteSource::FromStart) != 0)
        return false;
    uint16_t w = 0, h = 0;
    bool read = false;
    if (std::string_view(magic, 7) == "QVMDATA") {
        QvmHeader header;
        read = ReadQvmHeader(source, header);
        w = header.width;
        h = header.height;
    } else if (std::string_view(magic, 7) == "QVRFDAT" && magic[7] == 0) {
        // Version 0: width and height right after the version byte.
        read = source.Skip(8) && source.ReadU16LE(w) && source.ReadU16LE(h);
    } else if (std::string_view(magic, 7) == "QVRFDAT" && magic[7] == 1) {
        // Version 1: 4 bytes, a block of stated length, the header length,
        // then width and height.
        uint32_t blockLength = 0;
        uint16_t headerLength = 0;
        read = source.Skip(12) && source.ReadU32LE(blockLength) && source.Skip(blockLength) &&
               source.ReadU16LE(headerLength) && source.ReadU16LE(w) && source.ReadU16LE(h);
    }
    width = w;
    height = h;
    return source.Seek(0, ByteSource::FromStart) == 0 && read;
}

ThumbnailPictureStatus DecodeThumbnailPicture(ByteSource& source, ImageBuffer& picture) {
    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return ThumbnailPictureStatus::Broken;
    if (uint64_t(width) * uint64_t(height) * 4 > kMaxThumbnailPictureBytes)
        return ThumbnailPictureStatus::TooLarge;
    // A document cut short still leaves a partial picture: a thumbnail of it
    // would pass a broken file off as a good one.
    if (!LoadDocument(picture, source) || picture.IsEmpty())
        return ThumbnailPictureStatus::Broken;
    return ThumbnailPictureStatus::Decoded;
}

ThumbnailPictureStatus DrawThumbnail(ByteSource& source, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride,
                                     WorkPool* pool, uint64_t bandedBytes) {
    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return ThumbnailPictureStatus::Broken;
    char magic[7] = {};
    const bool qvm = source.ReadExact(magic, sizeof magic) && std::string_view(magic, 7) == "QVMDATA";
    if (qvm &&
        ScaleQvmInBands(source, size.width, size.height, destination, stride, bandedBytes, pool) == BandedRead::Done)
        return ThumbnailPictureStatus::Decoded;
    if (source.Seek(0, ByteSource::FromStart) != 0)
        return ThumbnailPictureStatus::Broken;
    ImageBuffer picture;
    const ThumbnailPictureStatus status = DecodeThumbnailPicture(source, picture);
    if (status != ThumbnailPictureStatus::Decoded)
        return status;
    if (picture.width != width || picture.height != height || !ScaleToThumbnail(picture, size, destination, stride))
        return ThumbnailPictureStatus::Broken;
    return ThumbnailPictureStatus::Decoded;
}
