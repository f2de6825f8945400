#include "shell/ThumbnailProvider.h"

#include "base/WorkPool.h"
#include "shell/StreamSource.h"
#include "shell/ThumbnailBitmap.h"
#include "decode/ThumbnailPicture.h"
#include "decode/ThumbnailScale.h"

ThumbnailProvider::~ThumbnailProvider() {
    if (stream != nullptr)
        stream->Release();
}

HRESULT ThumbnailProvider::Initialize(IStream* newStream, DWORD) {
    if (newStream == nullptr)
        return E_INVALIDARG;
    if (stream != nullptr)
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    // The document runs from where the stream stands now to its end; taken
    // here, since reading a thumbnail moves the stream and the handler may
    // be asked again.
    LARGE_INTEGER none = {};
    ULARGE_INTEGER at = {};
    if (FAILED(newStream->Seek(none, STREAM_SEEK_CUR, &at)))
        return E_FAIL;
    stream = newStream;
    stream->AddRef();
    start = at.QuadPart;
    return S_OK;
}

HRESULT ThumbnailProvider::GetThumbnail(UINT cx, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) {
    if (bitmap == nullptr || alpha == nullptr)
        return E_POINTER;
    *bitmap = nullptr;
    *alpha = WTSAT_UNKNOWN;
    return Guarded([&] {
        const HRESULT result = MakeThumbnail(cx, bitmap);
        if (SUCCEEDED(result))
            *alpha = WTSAT_RGB;
        return result;
    });
}

HRESULT ThumbnailProvider::MakeThumbnail(UINT cx, HBITMAP* bitmap) {
    if (stream == nullptr)
        return E_UNEXPECTED;
    if (cx == 0 || cx > 0x7FFFFFFF)
        return E_INVALIDARG;
    // The source moves the stream back to the document's start before its
    // first read.
    LARGE_INTEGER none = {};
    ULARGE_INTEGER end = {};
    if (FAILED(stream->Seek(none, STREAM_SEEK_END, &end)) || end.QuadPart < start)
        return E_FAIL;
    StreamSource source(stream, start, end.QuadPart - start);

    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    const ThumbnailSize size = FitThumbnail(width, height, int32_t(cx));
    if (size.width < 1 || size.height < 1)
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    // The layers of each band are expanded on every core.
    WorkPool pool;
    return MakeThumbnailBitmap(
        size,
        [&](uint8_t* bits, ptrdiff_t stride) {
            switch (DrawThumbnail(source, size, bits, stride, &pool, kThumbnailBytes, ThumbnailDeadline(source))) {
            case ThumbnailPictureStatus::Decoded:
                return S_OK;
            case ThumbnailPictureStatus::TooLarge:
                return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
            default:
                return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
            }
        },
        bitmap);
}
