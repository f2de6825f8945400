// The preview handler on a real screen (Xvfb, Wine's X11 driver): created
// through its registration, shown in a parent window the way the preview
// pane hosts it, and the screen compared with the picture fitted into it.
#include "base/MemorySource.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "shell/ThumbnailIds.h"
#include "decode/ThumbnailScale.h"
#include "tests/e2e/Screenshot.h"
#include "tests/shell/ShellRegistry.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <windows.h>

#include <shlwapi.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <vector>

using docwriter::Bytes;
using namespace shelltest;

namespace {

TEST(PreviewScreen, PaneShowsThePictureFittedAndCentred) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_EQ(RunRegsvr32(false), 0u);
    const Bytes bytes = docwriter::WriteQvm(paintings::TableModeQvm(300, 200));
    ImageBuffer decoded;
    MemorySource source(bytes.data(), bytes.size());
    ASSERT_TRUE(LoadDocument(decoded, source));

    // The pane: 240 x 240 inside a visible window; the picture fits by its
    // width, 240 x 160, centred with 40 pixels of window colour above and below.
    HWND pane = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"pane", WS_POPUP | WS_VISIBLE, 20, 20, 300, 300, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(pane, nullptr);
    IInitializeWithStream* init = nullptr;
    HMODULE module = nullptr;
    ASSERT_EQ(CreateRegisteredHandler(L".qvr", &init, &module, kPreviewShellExKey), S_OK);
    IStream* stream = SHCreateMemStream(bytes.data(), UINT(bytes.size()));
    ASSERT_EQ(init->Initialize(stream, STGM_READ), S_OK);
    stream->Release();
    IPreviewHandler* handler = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_PPV_ARGS(&handler)), S_OK);
    init->Release();
    const RECT area = {30, 30, 270, 270};
    ASSERT_EQ(handler->SetWindow(pane, &area), S_OK);
    ASSERT_EQ(handler->DoPreview(), S_OK);
    HWND window = GetWindow(pane, GW_CHILD);
    ASSERT_NE(window, nullptr);
    // The host's message loop runs once DoPreview returns, and Wine's X11
    // driver puts what was painted on the screen from there: this thread
    // owns the pane, so it serves its messages before the screen is read.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);

    const e2e::Picture shown = e2e::CaptureClient(window);
    ASSERT_EQ(shown.width, 240);
    ASSERT_EQ(shown.height, 240);
    std::vector<uint8_t> expected(size_t(240) * 160 * 4);
    ASSERT_TRUE(ScaleToThumbnail(decoded, {240, 160}, expected.data(), 240 * 4));
    int wrong = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            const uint8_t* p = &expected[(size_t(y) * 240 + size_t(x)) * 4];
            wrong += shown.ColourAt(x, 40 + y) != RGB(p[2], p[1], p[0]);
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels unlike the area-averaged picture";
    for (int y : {0, 39, 200, 239})
        EXPECT_EQ(shown.ColourAt(120, y), GetSysColor(COLOR_WINDOW)) << y;

    EXPECT_EQ(handler->Unload(), S_OK);
    handler->Release();
    DestroyWindow(pane);
    EXPECT_EQ(RunRegsvr32(true), 0u);
    CoUninitialize();
}

} // namespace
