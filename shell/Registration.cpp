// regsvr32's entry points. Everything goes under HKCU\Software\Classes, so
// registering needs no administrator rights and reaches the current user
// only. Unregistering removes what registering wrote and nothing else: a
// file type's other values and keys stay, and a thumbnail handler of
// another program that registering displaced is put back.

#include "shell/Module.h"
#include "shell/ThumbnailIds.h"

#include <olectl.h>
#include <shlobj.h>

#include <string>

namespace {

const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kClassKey = kClasses + L"CLSID\\" + kThumbnailClsidText;
constexpr wchar_t kDescription[] = L"Tessavel thumbnails";
// Under our class key: the handler a file type had before ours, by extension.
constexpr wchar_t kReplacedPrefix[] = L"Replaced ";

std::wstring ShellExKey(const wchar_t* extension) {
    return kClasses + extension + L"\\ShellEx\\" + kThumbnailShellExKey;
}

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    const DWORD bytes = DWORD((value.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(), bytes) == ERROR_SUCCESS;
}

// The text value, or false when it is absent or not text.
bool GetText(const std::wstring& key, const wchar_t* name, std::wstring& value) {
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

// Deletes key when nothing is left in it: no values, no subkeys.
void DeleteIfEmpty(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0, values = 0;
    const LSTATUS status = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                            nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    if (status == ERROR_SUCCESS && subkeys == 0 && values == 0)
        RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

bool ModulePath(std::wstring& path) {
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(shellmodule::Instance(), buffer, ARRAYSIZE(buffer));
    if (length == 0 || length >= ARRAYSIZE(buffer))
        return false;
    path.assign(buffer, length);
    return true;
}

void TellTheShell() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

HRESULT Register() {
    std::wstring path;
    if (!ModulePath(path))
        return SELFREG_E_CLASS;
    const std::wstring server = kClassKey + L"\\InprocServer32";
    if (!SetText(kClassKey, nullptr, kDescription) || !SetText(server, nullptr, path) ||
        !SetText(server, L"ThreadingModel", L"Apartment"))
        return SELFREG_E_CLASS;
    for (const wchar_t* extension : kThumbnailExtensions) {
        const std::wstring key = ShellExKey(extension);
        std::wstring before;
        if (GetText(key, nullptr, before) && _wcsicmp(before.c_str(), kThumbnailClsidText) != 0 &&
            !SetText(kClassKey, (kReplacedPrefix + std::wstring(extension)).c_str(), before))
            return SELFREG_E_TYPELIB;
        if (!SetText(key, nullptr, kThumbnailClsidText))
            return SELFREG_E_TYPELIB;
    }
    TellTheShell();
    return S_OK;
}

HRESULT Unregister() {
    for (const wchar_t* extension : kThumbnailExtensions) {
        const std::wstring key = ShellExKey(extension);
        std::wstring now, replaced;
        // Another program's handler, registered after ours, is not ours to remove.
        if (!GetText(key, nullptr, now) || _wcsicmp(now.c_str(), kThumbnailClsidText) != 0)
            continue;
        if (GetText(kClassKey, (kReplacedPrefix + std::wstring(extension)).c_str(), replaced)) {
            SetText(key, nullptr, replaced);
            continue;
        }
        RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        // Keys left empty hold nothing of anyone's: the type's own values or
        // other keys keep them.
        DeleteIfEmpty(kClasses + extension + L"\\ShellEx");
        DeleteIfEmpty(kClasses + extension);
    }
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey.c_str());
    TellTheShell();
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

} // namespace

// regsvr32 is not ours: nothing may escape into it but an HRESULT.
extern "C" HRESULT __stdcall DllRegisterServer() {
    try {
        return Register();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    try {
        return Unregister();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
