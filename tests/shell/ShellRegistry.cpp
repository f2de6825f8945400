#include "tests/shell/ShellRegistry.h"

#include "shell/ThumbnailIds.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/RunToEnd.h"

#include <cstdlib>
#include <string>

namespace shelltest {

bool RegistryIsPrivate() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr)
        return true;
    const char* allowed = std::getenv("TESSAVEL_REGISTRY_TESTS");
    return allowed != nullptr && std::string(allowed) == "1";
}

std::wstring HandlerDll() {
    const std::string path = e2e::WindowsPath(TESSAVEL_THUMBNAILS_DLL);
    return std::wstring(path.begin(), path.end());
}

DWORD RunRegsvr32(bool unregister) {
    return e2e::RunToEnd(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + HandlerDll() +
                         L"\"");
}

std::optional<std::wstring> UserValue(const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[2048] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

std::optional<TypedText> UserTypedValue(const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[2048] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t), type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type,
                     buffer, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return TypedText{buffer, type};
}

void CreateVolatileUserKey(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &handle, nullptr) == ERROR_SUCCESS)
        RegCloseKey(handle);
}

bool UserKeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void SetUserValue(const std::wstring& key, const wchar_t* name, const std::wstring& value, DWORD type) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, type, value.c_str(),
                    DWORD((value.size() + 1) * sizeof(wchar_t)));
}

void DeleteUserTree(const std::wstring& key) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

HRESULT CreateRegisteredHandler(const wchar_t* extension, IInitializeWithStream** handler, HMODULE* module,
                                const wchar_t* shellExKey) {
    *handler = nullptr;
    *module = nullptr;
    const std::wstring classes = L"Software\\Classes\\";
    const std::optional<std::wstring> clsidText =
        UserValue(classes + extension + L"\\ShellEx\\" + (shellExKey != nullptr ? shellExKey : kThumbnailShellExKey));
    CLSID clsid;
    if (!clsidText || FAILED(CLSIDFromString(clsidText->c_str(), &clsid)))
        return REGDB_E_CLASSNOTREG;
    const std::optional<std::wstring> server = UserValue(classes + L"CLSID\\" + *clsidText + L"\\InprocServer32");
    if (!server)
        return REGDB_E_CLASSNOTREG;

    HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(handler));
    if (SUCCEEDED(result)) {
        *module = GetModuleHandleW(server->c_str());
        return result;
    }
    if (result != REGDB_E_CLASSNOTREG)
        return result;
    HMODULE loaded = LoadLibraryW(server->c_str());
    if (loaded == nullptr)
        return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto getClassObject = ModuleExport<GetClassObject>(loaded, "DllGetClassObject");
    if (getClassObject == nullptr)
        return E_NOINTERFACE;
    IClassFactory* factory = nullptr;
    result = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result))
        return result;
    result = factory->CreateInstance(nullptr, IID_IInitializeWithStream, reinterpret_cast<void**>(handler));
    factory->Release();
    *module = loaded;
    return result;
}

} // namespace shelltest
