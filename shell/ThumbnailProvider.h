#pragma once
// The thumbnail handler: the shell hands it a document's stream
// (IInitializeWithStream) and asks for a picture of a given size
// (IThumbnailProvider). It reads the stream only, never a path, as the shell
// runs it in an isolated process that may not see the file.

#include "shell/ComObject.h"

#include <windows.h>

#include <cstdint>

#include <propsys.h>
#include <thumbcache.h>

class ThumbnailProvider final : public ComObject<IInitializeWithStream, IThumbnailProvider> {
public:
    // A new handler, handed out through iid; its only reference is the caller's.
    static HRESULT Create(REFIID iid, void** object) { return ComObject::Create<ThumbnailProvider>(iid, object); }

    // Keeps the stream, and where it stands (the document's start), for
    // GetThumbnail; a handler takes one stream only.
    HRESULT __stdcall Initialize(IStream* stream, DWORD mode) override;
    // A 32-bit DIB section whose longest side is min(cx, the picture's);
    // WTSAT_RGB. A document that does not decode, or is too large for the
    // memory bound, gives a failed HRESULT and no bitmap.
    HRESULT __stdcall GetThumbnail(UINT cx, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) override;

private:
    friend ComObject;
    ThumbnailProvider() = default;
    ~ThumbnailProvider() override;

    HRESULT MakeThumbnail(UINT cx, HBITMAP* bitmap);

    IStream* stream = nullptr;
    uint64_t start = 0; // where the document begins in the stream
};
