#include "shell/PreviewHandler.h"

#include "shell/BackgroundDecode.h"
#include "shell/Module.h"
#include "shell/ThumbnailBitmap.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TessavelPreview";

int32_t Width(const RECT& r) {
    return r.right - r.left;
}
int32_t Height(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace

PreviewHandler::~PreviewHandler() {
    Unload();
    if (site != nullptr)
        site->Release();
}

HRESULT PreviewHandler::Initialize(IStream* newStream, DWORD) {
    if (newStream == nullptr)
        return E_INVALIDARG;
    if (stream != nullptr)
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    // The document runs from where the stream stands to its end.
    LARGE_INTEGER none = {};
    ULARGE_INTEGER start = {};
    if (FAILED(newStream->Seek(none, STREAM_SEEK_CUR, &start)))
        return E_FAIL;
    stream = newStream;
    stream->AddRef();
    streamStart = start.QuadPart;
    cancelled = false;
    return S_OK;
}

HRESULT PreviewHandler::SetWindow(HWND newParent, const RECT* rect) {
    if (newParent == nullptr || rect == nullptr)
        return E_INVALIDARG;
    parent = newParent;
    area = *rect;
    if (window != nullptr) {
        ::SetParent(window, parent);
        return SetRect(rect);
    }
    return S_OK;
}

HRESULT PreviewHandler::SetRect(const RECT* rect) {
    if (rect == nullptr)
        return E_INVALIDARG;
    area = *rect;
    if (window == nullptr)
        return S_OK;
    return Guarded([&] {
        MoveWindow(window, area.left, area.top, Width(area), Height(area), FALSE);
        const HRESULT result = FitToWindow();
        InvalidateRect(window, nullptr, TRUE);
        return result;
    });
}

HRESULT PreviewHandler::DoPreview() {
    if (stream == nullptr || parent == nullptr || decoding)
        return E_UNEXPECTED;
    // The host may let go of the handler while it waits for the decode.
    AddRef();
    const HRESULT result = Guarded([&] { return Show(); });
    Release();
    return result;
}

HRESULT PreviewHandler::Show() {
    // The document is decoded once, on a thread of its own; every later size
    // is scaled from it.
    if (kept.pixels.empty()) {
        decoding = true;
        ScaledPicture decoded;
        const HRESULT result = DecodeInBackground(stream, streamStart, decoded, cancelled);
        decoding = false;
        // Unloaded meanwhile: nothing is shown.
        if (stream == nullptr)
            return HRESULT_FROM_WIN32(ERROR_CANCELLED);
        if (FAILED(result))
            return result;
        kept = std::move(decoded);
    }
    const HRESULT made = ScaleKeptPicture(kept, Width(area), Height(area), picture);
    if (FAILED(made))
        return made;
    if (window == nullptr) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = shellmodule::Instance();
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.lpszClassName = kWindowClass;
        if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return HRESULT_FROM_WIN32(GetLastError());
        window = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, area.left, area.top,
                                 Width(area), Height(area), parent, nullptr, shellmodule::Instance(), this);
        if (window == nullptr)
            return HRESULT_FROM_WIN32(GetLastError());
    }
    InvalidateRect(window, nullptr, TRUE);
    return S_OK;
}

HRESULT PreviewHandler::FitToWindow() {
    int32_t width = 0, height = 0;
    FitWithin(picture.pictureWidth, picture.pictureHeight, Width(area), Height(area), width, height);
    if (width == picture.width && height == picture.height)
        return S_OK;
    if (width == 0) {
        // Too small to show anything: keep the picture for when it grows.
        return S_OK;
    }
    return ScaleKeptPicture(kept, Width(area), Height(area), picture);
}

HRESULT PreviewHandler::Unload() {
    // A decode under way gives up at its next look at the flag.
    cancelled = true;
    if (window != nullptr) {
        DestroyWindow(window);
        window = nullptr;
        // Fails while another handler of this process still shows a window;
        // the last one's Unload takes the class away before the DLL may go.
        UnregisterClassW(kWindowClass, shellmodule::Instance());
    }
    if (stream != nullptr) {
        stream->Release();
        stream = nullptr;
    }
    picture = ScaledPicture();
    kept = ScaledPicture();
    return S_OK;
}

HRESULT PreviewHandler::SetFocus() {
    if (window == nullptr)
        return S_FALSE;
    ::SetFocus(window);
    return S_OK;
}

HRESULT PreviewHandler::QueryFocus(HWND* focus) {
    if (focus == nullptr)
        return E_INVALIDARG;
    *focus = GetFocus();
    return *focus != nullptr ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT PreviewHandler::TranslateAccelerator(MSG* message) {
    // No keys of its own: the host's frame gets them.
    IPreviewHandlerFrame* frame = nullptr;
    if (site == nullptr || FAILED(site->QueryInterface(IID_PPV_ARGS(&frame))))
        return S_FALSE;
    const HRESULT result = frame->TranslateAccelerator(message);
    frame->Release();
    return result;
}

HRESULT PreviewHandler::SetSite(IUnknown* newSite) {
    if (newSite != nullptr)
        newSite->AddRef();
    if (site != nullptr)
        site->Release();
    site = newSite;
    return S_OK;
}

HRESULT PreviewHandler::GetSite(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    return site != nullptr ? site->QueryInterface(iid, object) : E_FAIL;
}

HRESULT PreviewHandler::GetWindow(HWND* result) {
    if (result == nullptr)
        return E_INVALIDARG;
    *result = window;
    return window != nullptr ? S_OK : E_FAIL;
}

HRESULT PreviewHandler::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

void PreviewHandler::Paint(HDC dc) const {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (picture.pixels.empty())
        return;
    const BITMAPINFO info = TopDownBitmapInfo(picture.width, picture.height);
    const int x = (Width(client) - picture.width) / 2, y = (Height(client) - picture.height) / 2;
    SetDIBitsToDevice(dc, x, y, DWORD(picture.width), DWORD(picture.height), 0, 0, 0, UINT(picture.height),
                      picture.pixels.data(), &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK PreviewHandler::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The host's message loop runs this: nothing may escape into it. A
    // message that failed is left to the system's handling.
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT PreviewHandler::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* handler = reinterpret_cast<PreviewHandler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills the whole window
    case WM_PAINT:
        if (handler != nullptr) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            handler->Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (handler != nullptr) {
            handler->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
