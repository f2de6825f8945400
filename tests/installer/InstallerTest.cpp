// The per-user installer under Wine, as a user meets it: installed over an
// older version (one product remains), its files, keys and Start menu
// shortcut in place, a document whose path holds a space opened through the
// file type's command as the shell runs it, the thumbnail and preview
// handlers loaded through the installed registration, and the uninstall leaving nothing of
// it and giving back the handler another program had. One scenario, since
// each msiexec run under Wine costs seconds.
#include "res/ResourceIds.h"
#include "shell/ThumbnailIds.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/RunToEnd.h"
#include "tests/e2e/ViewerProcess.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/shell/ShellRegistry.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <msi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <thumbcache.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace shelltest;

namespace {

constexpr wchar_t kUpgradeCode[] = L"{5ACB6CD2-CA26-45FB-9E36-7E9D09EB386A}";
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kHandlerKey = std::wstring(L"\\ShellEx\\") + kThumbnailShellExKey;
const std::wstring kPreviewKey = std::wstring(L"\\ShellEx\\") + kPreviewShellExKey;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the paths here are ASCII
}
std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        out = path;
    CoTaskMemFree(path);
    return out;
}

DWORD Msiexec(const std::wstring& arguments) {
    return e2e::RunToEnd(L"msiexec.exe " + arguments, 300000);
}

// The installed products of our upgrade code, with their versions.
std::vector<std::wstring> InstalledVersions() {
    std::vector<std::wstring> versions;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, product) == ERROR_SUCCESS; ++i) {
        wchar_t version[64] = {};
        DWORD length = ARRAYSIZE(version);
        MsiGetProductInfoW(product, L"VersionString", version, &length);
        versions.push_back(version);
    }
    return versions;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Value {
    std::wstring key; // under HKEY_CURRENT_USER
    const wchar_t* name;
    std::wstring expected;
};

// Every value the installer and the DLL's registration write that a user or
// Explorer relies on.
std::vector<Value> InstalledValues(const std::wstring& dir) {
    const std::wstring exe = dir + L"tessavel.exe";
    const std::wstring open = L"\"" + exe + L"\" \"%1\"";
    const std::wstring icon = exe + L",-" + std::to_wstring(IDI_TESSAVEL_DOCUMENT);
    const std::wstring clsid = kThumbnailClsidText;
    return {
        {kClasses + L"Tessavel.qvm", nullptr, L"QVM document"},
        {kClasses + L"Tessavel.qvm\\DefaultIcon", nullptr, icon},
        {kClasses + L"Tessavel.qvm\\shell\\open\\command", nullptr, open},
        {kClasses + L"Tessavel.qvr", nullptr, L"QVR document"},
        {kClasses + L"Tessavel.qvr\\DefaultIcon", nullptr, icon},
        {kClasses + L"Tessavel.qvr\\shell\\open\\command", nullptr, open},
        {kClasses + L".qvm\\OpenWithProgids", L"Tessavel.qvm", L""},
        {kClasses + L".qvr\\OpenWithProgids", L"Tessavel.qvr", L""},
        {kClasses + L"Applications\\tessavel.exe", L"FriendlyAppName", L"Tessavel"},
        {kClasses + L"Applications\\tessavel.exe\\SupportedTypes", L".qvm", L""},
        {kClasses + L"Applications\\tessavel.exe\\SupportedTypes", L".qvr", L""},
        {L"Software\\Tessavel\\Capabilities", L"ApplicationName", L"Tessavel"},
        {L"Software\\Tessavel\\Capabilities\\FileAssociations", L".qvm", L"Tessavel.qvm"},
        {L"Software\\Tessavel\\Capabilities\\FileAssociations", L".qvr", L"Tessavel.qvr"},
        {L"Software\\RegisteredApplications", L"Tessavel", L"Software\\Tessavel\\Capabilities"},
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tessavel.exe", nullptr, exe},
        {kClasses + L"CLSID\\" + clsid + L"\\InprocServer32", nullptr, dir + L"tessavel-thumbnails.dll"},
        {kClasses + L".qvm" + kHandlerKey, nullptr, clsid},
        {kClasses + L".qvr" + kHandlerKey, nullptr, clsid},
        {kClasses + L"SystemFileAssociations\\.qvm" + kHandlerKey, nullptr, clsid},
        {kClasses + L"SystemFileAssociations\\.qvr" + kHandlerKey, nullptr, clsid},
        {kClasses + L"CLSID\\" + kPreviewClsidText + L"\\InprocServer32", nullptr, dir + L"tessavel-thumbnails.dll"},
        {kClasses + L".qvm" + kPreviewKey, nullptr, kPreviewClsidText},
        {kClasses + L"SystemFileAssociations\\.qvr" + kPreviewKey, nullptr, kPreviewClsidText},
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", kPreviewClsidText, L"Tessavel previews"},
    };
}

std::wstring ShortcutTarget(const std::wstring& link) {
    IShellLinkW* shellLink = nullptr;
    std::wstring target;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink))))
        return target;
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(shellLink->QueryInterface(IID_PPV_ARGS(&file))) && SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
        target = path;
    if (file != nullptr)
        file->Release();
    shellLink->Release();
    return target;
}

// The thumbnail handler as COM on Windows creates it from the per-user
// registration (Wine 8 does not merge HKCU\Software\Classes into HKCR):
// the server InprocServer32 names, loaded and asked for its class object.
// The size of the thumbnail it draws of document, or 0.
int ThumbnailThroughRegistration(const std::wstring& document, std::wstring& server) {
    const std::optional<std::wstring> clsidText = UserValue(kClasses + L".qvm" + kHandlerKey);
    CLSID clsid;
    if (!clsidText || FAILED(CLSIDFromString(clsidText->c_str(), &clsid)))
        return 0;
    server = UserValue(kClasses + L"CLSID\\" + *clsidText + L"\\InprocServer32").value_or(L"");
    HMODULE module = LoadLibraryW(server.c_str());
    if (module == nullptr)
        return 0;
    int size = 0;
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto getClassObject = ModuleExport<GetClassObject>(module, "DllGetClassObject");
    IClassFactory* factory = nullptr;
    IInitializeWithStream* handler = nullptr;
    IThumbnailProvider* provider = nullptr;
    IStream* stream = nullptr;
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha;
    if (getClassObject != nullptr &&
        SUCCEEDED(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateInstance(nullptr, IID_PPV_ARGS(&handler))) &&
        SUCCEEDED(
            SHCreateStreamOnFileEx(document.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, 0, FALSE, nullptr, &stream)) &&
        SUCCEEDED(handler->Initialize(stream, STGM_READ)) &&
        SUCCEEDED(handler->QueryInterface(IID_PPV_ARGS(&provider))) &&
        SUCCEEDED(provider->GetThumbnail(64, &bitmap, &alpha))) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        size = std::max(info.bmWidth, std::abs(info.bmHeight));
        DeleteObject(bitmap);
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{provider, stream, handler, factory}) {
        if (object != nullptr)
            object->Release();
    }
    // Unloaded, or the uninstall could not remove it.
    FreeLibrary(module);
    return size;
}

// The preview handler made from the server its installed registration names.
bool PreviewThroughRegistration() {
    const std::optional<std::wstring> clsidText = UserValue(kClasses + L".qvm" + kPreviewKey);
    CLSID clsid;
    if (!clsidText || FAILED(CLSIDFromString(clsidText->c_str(), &clsid)))
        return false;
    const std::wstring server = UserValue(kClasses + L"CLSID\\" + *clsidText + L"\\InprocServer32").value_or(L"");
    HMODULE module = LoadLibraryW(server.c_str());
    if (module == nullptr)
        return false;
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto getClassObject = ModuleExport<GetClassObject>(module, "DllGetClassObject");
    IClassFactory* factory = nullptr;
    IPreviewHandler* handler = nullptr;
    const bool made = getClassObject != nullptr &&
                      SUCCEEDED(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) &&
                      SUCCEEDED(factory->CreateInstance(nullptr, IID_PPV_ARGS(&handler)));
    if (handler != nullptr)
        handler->Release();
    if (factory != nullptr)
        factory->Release();
    FreeLibrary(module);
    return made;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RegistryIsPrivate())
            GTEST_SKIP() << "would install for this user (set TESSAVEL_REGISTRY_TESTS=1 to allow)";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(Installer, InstallsOverAnOlderVersionOpensDocumentsAndUninstallsCompletely) {
    const std::wstring msi = Wide(e2e::WindowsPath(TESSAVEL_MSI));
    const std::wstring older = Wide(e2e::WindowsPath(TESSAVEL_OLDER_MSI));
    const std::wstring dir = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Tessavel\\";
    const std::wstring shortcut = KnownFolder(FOLDERID_Programs) + L"\\Tessavel.lnk";
    // Another program's thumbnail handler, which the install displaces.
    const std::wstring displacedKey = kClasses + L"SystemFileAssociations\\.qvm" + kHandlerKey;
    const TypedText displaced{L"{00000000-1111-2222-3333-444444444444}", REG_EXPAND_SZ};
    SetUserValue(displacedKey, nullptr, displaced.text, displaced.type);

    ASSERT_EQ(Msiexec(L"/i \"" + older + L"\" /qn"), 0u);
    ASSERT_EQ(InstalledVersions(), std::vector<std::wstring>{L"0.0.1"});
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\" /qn"), 0u);
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{Wide(TESSAVEL_VERSION_TEXT)})
        << "one product, the new one";

    for (const wchar_t* file : {L"tessavel.exe", L"tessavel-convert.exe", L"tessavel-thumbnails.dll", L"README.txt"})
        EXPECT_TRUE(Exists(dir + file)) << Narrow(dir + file);
    EXPECT_EQ(ShortcutTarget(shortcut), dir + L"tessavel.exe");
    for (const Value& value : InstalledValues(dir))
        EXPECT_EQ(UserValue(value.key, value.name), value.expected) << Narrow(value.key);
    // The extensions' default values are the paint program's.
    EXPECT_EQ(UserValue(kClasses + L".qvm"), std::nullopt);
    EXPECT_EQ(UserValue(kClasses + L".qvr"), std::nullopt);

    // A document in a folder whose name holds a space, opened by the file
    // type's command with %1 replaced, as the shell runs it.
    const std::wstring folder = KnownFolder(FOLDERID_Documents) + L"\\My drawings";
    const std::wstring document = folder + L"\\sun set.qvm";
    const char* source = std::getenv("TESSAVEL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Wide(e2e::WindowsPath(std::string(source) + "/samples/sunset.qvm")).c_str(), document.c_str(),
                          FALSE));
    std::wstring command = UserValue(kClasses + L"Tessavel.qvm\\shell\\open\\command").value_or(L"");
    const size_t argument = command.find(L"%1");
    ASSERT_NE(argument, std::wstring::npos);
    command.replace(argument, 2, document);
    {
        e2e::ViewerProcess viewer(Narrow(dir + L"tessavel.exe"), e2e::ViewerProcess::Placement::kInPlace);
        ASSERT_TRUE(viewer.StartCommandLine(Narrow(command)));
        const e2e::Appeared shown = viewer.WaitFirst("Main");
        ASSERT_NE(shown.hwnd, nullptr);
        ASSERT_FALSE(shown.isMessageBox) << shown.text;
        std::string title;
        EXPECT_TRUE(waits::WaitUntil([&] {
            title = e2e::WindowText(shown.hwnd);
            return title.find("(") != std::string::npos;
        })) << title;
        EXPECT_NE(title.find("sun set.qvm"), std::string::npos) << title;
        // Ended without closing: closing would save tessavel.ini beside the
        // program, a file of the user's that the uninstall rightly leaves.
        viewer.Kill();
    }

    std::wstring server;
    EXPECT_EQ(ThumbnailThroughRegistration(document, server), 64);
    EXPECT_EQ(server, dir + L"tessavel-thumbnails.dll");
    EXPECT_TRUE(PreviewThroughRegistration());

    ASSERT_EQ(Msiexec(L"/x \"" + msi + L"\" /qn"), 0u);
    EXPECT_TRUE(InstalledVersions().empty());
    EXPECT_FALSE(Exists(dir)) << "the folder goes with the files";
    EXPECT_FALSE(Exists(shortcut));
    for (const Value& value : InstalledValues(dir)) {
        if (value.key != displacedKey) {
            EXPECT_EQ(UserValue(value.key, value.name), std::nullopt) << Narrow(value.key);
        }
    }
    for (const wchar_t* key : {L"Software\\Tessavel", L"Software\\Classes\\Tessavel.qvm", L"Software\\Classes\\.qvr",
                               L"Software\\Classes\\Applications\\tessavel.exe",
                               L"Software\\Classes\\CLSID\\{17B9A355-525B-4B38-9D9B-54FE25EE5947}",
                               L"Software\\Classes\\CLSID\\{7879226B-B527-47DE-959A-00FE4F86D180}"})
        EXPECT_FALSE(UserKeyExists(key)) << Narrow(key);
    EXPECT_EQ(UserTypedValue(displacedKey), displaced) << "the handler the install displaced is back";
}

} // namespace
