#include "shell/ScaledPicture.h"

#include "base/WorkPool.h"
#include "shell/StreamSource.h"
#include "shell/ThumbnailPicture.h"
#include "shell/ThumbnailScale.h"

#include <algorithm>
#include <cmath>
#include <new>

void FitWithin(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth, int32_t boxHeight, int32_t& width,
               int32_t& height) {
    width = height = 0;
    if (pictureWidth < 1 || pictureHeight < 1 || boxWidth < 1 || boxHeight < 1)
        return;
    const double scale = std::min({1.0, double(boxWidth) / pictureWidth, double(boxHeight) / pictureHeight});
    width = std::clamp(int32_t(std::lround(pictureWidth * scale)), int32_t(1), std::min(pictureWidth, boxWidth));
    height = std::clamp(int32_t(std::lround(pictureHeight * scale)), int32_t(1), std::min(pictureHeight, boxHeight));
}

HRESULT MakeScaledPicture(IStream* stream, uint64_t start, int32_t boxWidth, int32_t boxHeight,
                          ScaledPicture& picture) {
    picture = ScaledPicture();
    LARGE_INTEGER none = {};
    ULARGE_INTEGER end = {};
    if (FAILED(stream->Seek(none, STREAM_SEEK_END, &end)) || end.QuadPart < start)
        return E_FAIL;
    StreamSource source(stream, start, end.QuadPart - start);
    int32_t pictureWidth = 0, pictureHeight = 0;
    if (!PeekPictureSize(source, pictureWidth, pictureHeight))
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    ThumbnailSize size;
    FitWithin(pictureWidth, pictureHeight, boxWidth, boxHeight, size.width, size.height);
    if (size.width == 0)
        return pictureWidth == 0 || pictureHeight == 0 ? HRESULT_FROM_WIN32(ERROR_BAD_FORMAT) : E_INVALIDARG;
    ScaledPicture scaled;
    scaled.width = size.width;
    scaled.height = size.height;
    scaled.pictureWidth = pictureWidth;
    scaled.pictureHeight = pictureHeight;
    try {
        scaled.pixels.resize(size_t(size.width) * size_t(size.height) * 4);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // The layers of each band are expanded on every core, as for a thumbnail.
    WorkPool pool;
    switch (DrawThumbnail(source, size, scaled.pixels.data(), ptrdiff_t(size.width) * 4, &pool, kThumbnailBytes,
                          ThumbnailDeadline(source))) {
    case ThumbnailPictureStatus::Decoded:
        break;
    case ThumbnailPictureStatus::TooLarge:
        return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
    case ThumbnailPictureStatus::Broken:
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    }
    picture = std::move(scaled);
    return S_OK;
}
