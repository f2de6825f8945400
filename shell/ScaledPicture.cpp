#include "shell/ScaledPicture.h"

#include "base/WorkPool.h"
#include "pixels/AreaAverage.h"
#include "shell/StreamSource.h"
#include "decode/ThumbnailPicture.h"
#include "decode/ThumbnailScale.h"

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

HRESULT DecodeKeptPicture(IStream* stream, uint64_t start, ScaledPicture& kept, const std::atomic<bool>* cancelled) {
    kept = ScaledPicture();
    LARGE_INTEGER none = {};
    ULARGE_INTEGER end = {};
    if (FAILED(stream->Seek(none, STREAM_SEEK_END, &end)) || end.QuadPart < start)
        return E_FAIL;
    StreamSource source(stream, start, end.QuadPart - start);
    int32_t pictureWidth = 0, pictureHeight = 0;
    if (!PeekPictureSize(source, pictureWidth, pictureHeight))
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    ThumbnailSize size;
    FitWithin(pictureWidth, pictureHeight, kKeptSide, kKeptSide, size.width, size.height);
    if (size.width == 0)
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
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
    const Deadline bound = ThumbnailDeadline(source);
    switch (DrawThumbnail(source, size, scaled.pixels.data(), ptrdiff_t(size.width) * 4, &pool, kThumbnailBytes,
                          cancelled != nullptr ? bound.OrWhen(*cancelled) : bound)) {
    case ThumbnailPictureStatus::Decoded:
        break;
    case ThumbnailPictureStatus::TooLarge:
        return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
    case ThumbnailPictureStatus::Broken:
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    }
    kept = std::move(scaled);
    return S_OK;
}

HRESULT ScaleKeptPicture(const ScaledPicture& kept, int32_t boxWidth, int32_t boxHeight, ScaledPicture& picture) {
    int32_t width = 0, height = 0;
    FitWithin(kept.pictureWidth, kept.pictureHeight, boxWidth, boxHeight, width, height);
    if (width == 0 || kept.pixels.empty())
        return E_INVALIDARG;
    if (width > kept.width || height > kept.height) {
        // The pane outgrows the kept picture: it is shown at its own size.
        width = kept.width;
        height = kept.height;
    }
    ScaledPicture scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.pictureWidth = kept.pictureWidth;
    scaled.pictureHeight = kept.pictureHeight;
    try {
        scaled.pixels.resize(size_t(width) * size_t(height) * 4);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    AreaAverage filter;
    if (!filter.Start(kept.width, kept.height, width, height, false, scaled.pixels.data(), ptrdiff_t(width) * 4))
        return E_OUTOFMEMORY;
    for (int32_t y = 0; y < kept.height; ++y)
        filter.AddRow(kept.pixels.data() + size_t(y) * size_t(kept.width) * 4);
    filter.Finish();
    picture = std::move(scaled);
    return S_OK;
}
