// The programs of the download, run from the unpacked zip: the viewer starts
// on the samples, shows its window and closes; the converter converts a
// sample; the stripped DLL loads and hands out its class object.
#include "shell/ThumbnailIds.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/RunToEnd.h"
#include "tests/e2e/ViewerProcess.h"

#include "app/FrameMessages.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <unknwn.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Unpacked(const std::string& name) {
    const char* folder = std::getenv("TESSAVEL_DIST_UNPACKED");
    return e2e::WindowsPath(std::string(folder != nullptr ? folder : "") + "/" + name);
}

TEST(Dist, ViewerStartsOnTheSamplesAndCloses) {
    e2e::ViewerProcess viewer(Unpacked("tessavel.exe"));
    ASSERT_TRUE(viewer.Ready());
    ASSERT_TRUE(viewer.Start("\"" + Unpacked("samples") + "\"")) << viewer.Problem();
    // Once its start-up has ended the first sample is read: the title gives
    // its size. A box telling a failure would hold the start-up up.
    ASSERT_TRUE(viewer.WaitReady("Main", kStartupEndedMessageName)) << viewer.Problem();
    const std::string title = e2e::WindowText(viewer.MainWindow());
    EXPECT_NE(title.find("("), std::string::npos) << title;
    EXPECT_NE(title.find("blend-modes.qvm"), std::string::npos) << title;
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(Dist, ConverterConvertsASample) {
    TempDir out;
    const std::string folder = e2e::WindowsPath(out.Path());
    const std::string command = "\"" + Unpacked("tessavel-convert.exe") + "\" -q -o \"" + folder + "\" \"" +
                                Unpacked("samples\\sunset.qvm") + "\"";
    EXPECT_EQ(e2e::RunToEnd(std::wstring(command.begin(), command.end())), 0u);
    EXPECT_TRUE(e2e::FileExists(folder + "\\sunset.png"));
}

TEST(Dist, ThumbnailDllHandsOutItsClass) {
    HMODULE dll = LoadLibraryA(Unpacked("tessavel-thumbnails.dll").c_str());
    ASSERT_NE(dll, nullptr);
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto get =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    ASSERT_NE(get, nullptr);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(get(kThumbnailClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    factory->Release();
    EXPECT_NE(GetProcAddress(dll, "DllRegisterServer"), nullptr);
    EXPECT_NE(GetProcAddress(dll, "DllUnregisterServer"), nullptr);
    EXPECT_NE(GetProcAddress(dll, "DllCanUnloadNow"), nullptr);
}

} // namespace
