#pragma once
// The preview handler: the preview pane hands it a document's stream
// (IInitializeWithStream) and a window (IPreviewHandler::SetWindow); it shows
// the picture in a child window of its own, fitted and centred, never above
// 100%, area-averaged as the thumbnails are, on the system's window colour.

#include <windows.h>

#include <ocidl.h>
#include <propsys.h>
#include <shobjidl.h>

#include "shell/ComObject.h"
#include "shell/ScaledPicture.h"

#include <atomic>

class PreviewHandler final : public ComObject<IPreviewHandler, IInitializeWithStream, IObjectWithSite, IOleWindow> {
public:
    // A new handler, handed out through iid; its only reference is the caller's.
    static HRESULT Create(REFIID iid, void** object) { return ComObject::Create<PreviewHandler>(iid, object); }

    HRESULT __stdcall Initialize(IStream* stream, DWORD mode) override;

    HRESULT __stdcall SetWindow(HWND parent, const RECT* rect) override;
    HRESULT __stdcall SetRect(const RECT* rect) override;
    // Decodes the document, on a thread of its own while this one goes on
    // dispatching the host's messages, and shows it; a document that does
    // not decode, or an Unload meanwhile, gives a failed HRESULT and no
    // window.
    HRESULT __stdcall DoPreview() override;
    // Destroys the window and lets go of the stream and the picture.
    HRESULT __stdcall Unload() override;
    HRESULT __stdcall SetFocus() override;
    HRESULT __stdcall QueryFocus(HWND* focus) override;
    HRESULT __stdcall TranslateAccelerator(MSG* message) override;

    HRESULT __stdcall SetSite(IUnknown* site) override;
    HRESULT __stdcall GetSite(REFIID iid, void** object) override;

    HRESULT __stdcall GetWindow(HWND* window) override;
    HRESULT __stdcall ContextSensitiveHelp(BOOL enter) override;

private:
    friend ComObject;
    PreviewHandler() = default;
    ~PreviewHandler() override;

    HRESULT Show();
    // Scales the kept picture again when the window's size calls for another.
    HRESULT FitToWindow();
    void Paint(HDC dc) const;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    IStream* stream = nullptr;
    uint64_t streamStart = 0;
    IUnknown* site = nullptr;
    HWND parent = nullptr;
    RECT area = {};
    HWND window = nullptr;
    ScaledPicture kept;                 // the document decoded once (DecodeInBackground)
    std::atomic<bool> cancelled{false}; // set by Unload for a decode under way
    bool decoding = false;              // DoPreview waits for the decode
    ScaledPicture picture;              // kept fitted to the window
};
