#include "shell/ThumbnailProvider.h"

#include "base/WorkPool.h"
#include "shell/Module.h"
#include "shell/StreamSource.h"
#include "shell/ThumbnailPicture.h"
#include "shell/ThumbnailScale.h"

#include <new>

ThumbnailProvider::ThumbnailProvider() {
    shellmodule::ObjectCreated();
}

ThumbnailProvider::~ThumbnailProvider() {
    if (stream != nullptr)
        stream->Release();
    shellmodule::ObjectDestroyed();
}

HRESULT ThumbnailProvider::Create(REFIID iid, void** object) {
    ThumbnailProvider* provider = new (std::nothrow) ThumbnailProvider();
    if (provider == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = provider->QueryInterface(iid, object);
    provider->Release();
    return result;
}

HRESULT ThumbnailProvider::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IInitializeWithStream)))
        *object = static_cast<IInitializeWithStream*>(this);
    else if (IsEqualIID(iid, __uuidof(IThumbnailProvider)))
        *object = static_cast<IThumbnailProvider*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG ThumbnailProvider::AddRef() {
    return ULONG(InterlockedIncrement(&references));
}

ULONG ThumbnailProvider::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return ULONG(left);
}

HRESULT ThumbnailProvider::Initialize(IStream* newStream, DWORD) {
    if (newStream == nullptr)
        return E_INVALIDARG;
    if (stream != nullptr)
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    stream = newStream;
    stream->AddRef();
    return S_OK;
}

HRESULT ThumbnailProvider::GetThumbnail(UINT cx, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) {
    if (bitmap == nullptr || alpha == nullptr)
        return E_POINTER;
    *bitmap = nullptr;
    *alpha = WTSAT_UNKNOWN;
    // Nothing may escape into the shell's process: every failure is an
    // HRESULT.
    try {
        const HRESULT result = MakeThumbnail(cx, bitmap);
        if (SUCCEEDED(result))
            *alpha = WTSAT_RGB;
        return result;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ThumbnailProvider::MakeThumbnail(UINT cx, HBITMAP* bitmap) {
    if (stream == nullptr)
        return E_UNEXPECTED;
    if (cx == 0 || cx > 0x7FFFFFFF)
        return E_INVALIDARG;
    // The document runs from where the stream stands to its end. The source
    // moves the stream back before its first read.
    LARGE_INTEGER none = {};
    ULARGE_INTEGER start = {}, end = {};
    if (FAILED(stream->Seek(none, STREAM_SEEK_CUR, &start)) || FAILED(stream->Seek(none, STREAM_SEEK_END, &end)) ||
        end.QuadPart < start.QuadPart)
        return E_FAIL;
    StreamSource source(stream, start.QuadPart, end.QuadPart - start.QuadPart);

    int32_t width = 0, height = 0;
    if (!PeekPictureSize(source, width, height))
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    const ThumbnailSize size = FitThumbnail(width, height, int32_t(cx));
    if (size.width < 1 || size.height < 1)
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP made = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (made == nullptr)
        return E_OUTOFMEMORY;
    if (bits == nullptr) {
        DeleteObject(made);
        return E_OUTOFMEMORY;
    }
    // The layers of each band are expanded on every core.
    WorkPool pool;
    const ThumbnailPictureStatus status =
        DrawThumbnail(source, size, static_cast<uint8_t*>(bits), ptrdiff_t(size.width) * 4, &pool, kThumbnailBytes,
                      ThumbnailDeadline(source));
    if (status != ThumbnailPictureStatus::Decoded) {
        DeleteObject(made);
        return status == ThumbnailPictureStatus::TooLarge ? HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE)
                                                          : HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    }
    *bitmap = made;
    return S_OK;
}
