// The preview handler as the preview pane uses it: created through its
// registration, handed a stream and a parent window, asked to show the
// document, laid out again and unloaded. The window's pixels are read
// through WM_PRINTCLIENT, which needs no screen.
#include "base/MemorySource.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "shell/ThumbnailIds.h"
#include "decode/ThumbnailScale.h"
#include "tests/shell/ShellRegistry.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <windows.h>

#include <shlwapi.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using docwriter::Bytes;
using namespace shelltest;

namespace {

struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF; }
};

// What the window shows, painted into a bitmap of its client size.
Capture Print(HWND window) {
    Capture capture;
    RECT client;
    GetClientRect(window, &client);
    capture.width = client.right;
    capture.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    const auto* words = static_cast<const uint32_t*>(bits);
    capture.pixels.assign(words, words + size_t(capture.width) * size_t(capture.height));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return capture;
}

uint32_t WindowColour() {
    const COLORREF colour = GetSysColor(COLOR_WINDOW);
    return uint32_t(GetRValue(colour)) << 16 | uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
}

class PreviewHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RegistryIsPrivate())
            GTEST_SKIP() << "would change this user's registry (set TESSAVEL_REGISTRY_TESTS=1 to allow)";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(RunRegsvr32(false), 0u);
        parent = CreateWindowExW(0, L"STATIC", L"pane", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override {
        if (parent != nullptr)
            DestroyWindow(parent);
        if (RegistryIsPrivate()) {
            RunRegsvr32(true);
            CoUninitialize();
        }
    }
    // A preview handler made through the registration of .qvm, given bytes;
    // the stream is kept in *kept when asked for.
    IPreviewHandler* Handler(const Bytes& bytes, IStream** kept = nullptr) {
        IInitializeWithStream* init = nullptr;
        HMODULE module = nullptr;
        EXPECT_EQ(CreateRegisteredHandler(L".qvm", &init, &module, kPreviewShellExKey), S_OK);
        if (init == nullptr)
            return nullptr;
        IStream* stream = SHCreateMemStream(bytes.data(), UINT(bytes.size()));
        EXPECT_EQ(init->Initialize(stream, STGM_READ), S_OK);
        if (kept != nullptr)
            *kept = stream;
        else
            stream->Release();
        IPreviewHandler* handler = nullptr;
        EXPECT_EQ(init->QueryInterface(IID_PPV_ARGS(&handler)), S_OK);
        init->Release();
        return handler;
    }
    HWND parent = nullptr;
};

TEST_F(PreviewHandlerTest, ShowsThePictureFittedAndCentredNeverEnlarged) {
    const Bytes bytes = docwriter::WriteQvm(paintings::TableModeQvm(240, 120));
    ImageBuffer decoded;
    MemorySource source(bytes.data(), bytes.size());
    ASSERT_TRUE(LoadDocument(decoded, source));

    IPreviewHandler* handler = Handler(bytes);
    ASSERT_NE(handler, nullptr);
    IObjectWithSite* withSite = nullptr;
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&withSite)), S_OK);
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    withSite->Release();

    // A pane larger than the picture shows it at 100%; a narrow one and a
    // low one fit it by their own side; each centred on the window colour.
    const struct {
        RECT area;
        int width, height;
    } cases[] = {
        {{10, 20, 410, 320}, 240, 120},
        {{0, 0, 120, 200}, 120, 60},
        {{5, 5, 505, 65}, 120, 60},
    };
    IOleWindow* oleWindow = nullptr;
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&oleWindow)), S_OK);
    ASSERT_EQ(handler->SetWindow(parent, &cases[0].area), S_OK);
    ASSERT_EQ(handler->DoPreview(), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(oleWindow->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), parent);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        ASSERT_EQ(handler->SetRect(&c.area), S_OK);
        RECT placed;
        GetWindowRect(window, &placed);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(EqualRect(&placed, &c.area));

        std::vector<uint8_t> expected(size_t(c.width) * size_t(c.height) * 4);
        ASSERT_TRUE(ScaleToThumbnail(decoded, {c.width, c.height}, expected.data(), ptrdiff_t(c.width) * 4));
        const Capture shown = Print(window);
        const int left = (shown.width - c.width) / 2, top = (shown.height - c.height) / 2;
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const uint8_t* p = &expected[(size_t(y) * size_t(c.width) + size_t(x)) * 4];
                const uint32_t want = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                wrong += shown.At(left + x, top + y) != want;
            }
        }
        EXPECT_EQ(wrong, 0) << "pixels unlike the area-averaged picture";
        // Outside the picture: the window colour.
        if (left > 0) {
            EXPECT_EQ(shown.At(left - 1, shown.height / 2), WindowColour());
        }
        if (top > 0) {
            EXPECT_EQ(shown.At(shown.width / 2, top - 1), WindowColour());
        }
    }

    EXPECT_EQ(handler->Unload(), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_NE(oleWindow->GetWindow(&window), S_OK);
    oleWindow->Release();
    handler->Release();
}

// The document is decoded once: a pane resized after its stream has been
// emptied still shows the picture, fitted anew.
TEST_F(PreviewHandlerTest, ResizingThePaneScalesWithoutReadingTheDocumentAgain) {
    const Bytes bytes = docwriter::WriteQvm(paintings::EveryModeQvm(300, 150));
    ImageBuffer decoded;
    MemorySource source(bytes.data(), bytes.size());
    ASSERT_TRUE(LoadDocument(decoded, source));
    IStream* stream = nullptr;
    IPreviewHandler* handler = Handler(bytes, &stream);
    ASSERT_NE(handler, nullptr);
    RECT area = {0, 0, 400, 300};
    ASSERT_EQ(handler->SetWindow(parent, &area), S_OK);
    ASSERT_EQ(handler->DoPreview(), S_OK);
    ULARGE_INTEGER none = {};
    ASSERT_EQ(stream->SetSize(none), S_OK);
    HWND window = GetWindow(parent, GW_CHILD);
    ASSERT_NE(window, nullptr);
    for (const RECT& resized : {RECT{0, 0, 150, 150}, RECT{0, 0, 77, 300}, RECT{0, 0, 500, 400}}) {
        ASSERT_EQ(handler->SetRect(&resized), S_OK);
        const int width = std::min(300, int(resized.right)), height = int(std::lround(width / 2.0));
        std::vector<uint8_t> expected(size_t(width) * size_t(height) * 4);
        ASSERT_TRUE(ScaleToThumbnail(decoded, {width, height}, expected.data(), ptrdiff_t(width) * 4));
        const Capture shown = Print(window);
        const int left = (shown.width - width) / 2, top = (shown.height - height) / 2;
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &expected[(size_t(y) * size_t(width) + size_t(x)) * 4];
                wrong += shown.At(left + x, top + y) != (uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
            }
        }
        EXPECT_EQ(wrong, 0) << resized.right << " x " << resized.bottom;
    }
    EXPECT_EQ(handler->Unload(), S_OK);
    handler->Release();
    stream->Release();
}

// A window that, on WM_APP, counts the message in its user data's count and
// unloads the handler there.
struct HostCall {
    IPreviewHandler* handler = nullptr;
    int served = 0;
};

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        auto* call = reinterpret_cast<HostCall*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        ++call->served;
        call->handler->Unload();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// While the document decodes, the host's thread goes on serving its
// messages; one of them unloading the handler leaves no preview behind.
TEST_F(PreviewHandlerTest, TheHostsMessagesAreServedWhileTheDocumentDecodes) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TessavelTestHost";
    RegisterClassExW(&windowClass);
    HWND host = CreateWindowExW(0, L"TessavelTestHost", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    HostCall call;
    SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&call));

    call.handler = Handler(docwriter::WriteQvm(paintings::EveryModeQvm(300, 150)));
    ASSERT_NE(call.handler, nullptr);
    RECT area = {0, 0, 400, 300};
    ASSERT_EQ(call.handler->SetWindow(parent, &area), S_OK);
    ASSERT_TRUE(PostMessageW(host, WM_APP, 0, 0));
    EXPECT_TRUE(FAILED(call.handler->DoPreview()));
    EXPECT_EQ(call.served, 1);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    call.handler->Release();
    DestroyWindow(host);
    UnregisterClassW(L"TessavelTestHost", GetModuleHandleW(nullptr));
}

TEST_F(PreviewHandlerTest, HostileDocumentsAreRefusedWithoutAWindow) {
    Bytes cut = docwriter::WriteQvm(paintings::TableModeQvm(64, 48));
    cut.resize(cut.size() / 2);
    // 1.6 GB of picture, read in bands, whose one tile is not zlib.
    docwriter::QvrV1Document huge;
    huge.width = 20000;
    huge.height = 20000;
    huge.layers.resize(1);
    huge.layers[0].tiles.resize(1);
    huge.layers[0].tiles[0].data = Bytes(30, 0x55);
    const Bytes documents[] = {cut, docwriter::WriteQvrV1(huge), Bytes{'Q', 'V', 'M', 'D', 'A', 'T', 'A'},
                               Bytes(100, 0xFF)};
    for (const Bytes& bytes : documents) {
        IPreviewHandler* handler = Handler(bytes);
        ASSERT_NE(handler, nullptr);
        RECT area = {0, 0, 300, 200};
        ASSERT_EQ(handler->SetWindow(parent, &area), S_OK);
        EXPECT_TRUE(FAILED(handler->DoPreview()));
        EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr) << "no window for a refused document";
        EXPECT_EQ(handler->Unload(), S_OK);
        handler->Release();
    }
}

} // namespace
