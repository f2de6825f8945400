// regsvr32's entry points. Everything goes under HKCU\Software\Classes, so
// registering needs no administrator rights and reaches the current user
// only. The thumbnail handler is registered on the extension key and under
// SystemFileAssociations: once a program gives .qvm a ProgID of its own,
// Windows may look for the handler only there, whatever the ProgID.
//
// Unregistering removes what registering wrote and nothing else: a file
// type's other values and keys stay, and a thumbnail handler of another
// program that registering displaced is put back, with its value type. A
// registration that fails half-way removes what it had written.

#include "shell/Module.h"
#include "shell/ThumbnailIds.h"
#include "shell/UserRegistry.h"

#include <olectl.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kClassKey = kClasses + L"CLSID\\" + kThumbnailClsidText;
constexpr wchar_t kDescription[] = L"Tessavel thumbnails";
// Under our class key: the handler a file type had before ours, by the key's
// place under Classes (".qvm", "SystemFileAssociations\.qvm").
constexpr wchar_t kReplacedPrefix[] = L"Replaced ";

// A key under Classes that gets our thumbnail handler, with the name under
// which the handler it had before is kept.
struct TypeKey {
    std::wstring key;          // Software\Classes\.qvm
    std::wstring replacedName; // Replaced .qvm
    std::wstring HandlerKey() const { return key + L"\\ShellEx\\" + kThumbnailShellExKey; }
};

std::vector<TypeKey> TypeKeys() {
    std::vector<TypeKey> keys;
    for (const wchar_t* extension : kThumbnailExtensions) {
        for (const std::wstring& place :
             {std::wstring(extension), L"SystemFileAssociations\\" + std::wstring(extension)})
            keys.push_back({kClasses + place, kReplacedPrefix + place});
    }
    return keys;
}

bool IsOurs(const userregistry::Text& handler) {
    return _wcsicmp(handler.value.c_str(), kThumbnailClsidText) == 0;
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

// Makes ours the handler of one key, keeping the one it displaces.
bool Claim(const TypeKey& type) {
    userregistry::Text before;
    if (userregistry::Read(type.HandlerKey(), nullptr, before) && !IsOurs(before) &&
        !userregistry::Write(kClassKey, type.replacedName.c_str(), before))
        return false;
    return userregistry::Write(type.HandlerKey(), nullptr, kThumbnailClsidText);
}

// Gives one key back: the displaced handler returns; a key we created and
// that holds nothing else goes. A handler registered after ours stays.
void Release(const TypeKey& type) {
    userregistry::Text now, replaced;
    if (!userregistry::Read(type.HandlerKey(), nullptr, now) || !IsOurs(now))
        return;
    if (userregistry::Read(kClassKey, type.replacedName.c_str(), replaced)) {
        userregistry::Write(type.HandlerKey(), nullptr, replaced);
        return;
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, type.HandlerKey().c_str());
    // Keys left empty hold nothing of anyone's: the type's own values or
    // other keys keep them.
    userregistry::DeleteIfEmpty(type.key + L"\\ShellEx");
    userregistry::DeleteIfEmpty(type.key);
}

bool RemoveRegistration() {
    for (const TypeKey& type : TypeKeys())
        Release(type);
    userregistry::DeleteIfEmpty(kClasses + L"SystemFileAssociations");
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

HRESULT Register() {
    std::wstring path;
    if (!ModulePath(path))
        return SELFREG_E_CLASS;
    const std::wstring server = kClassKey + L"\\InprocServer32";
    if (!userregistry::Write(kClassKey, nullptr, kDescription) || !userregistry::Write(server, nullptr, path) ||
        !userregistry::Write(server, L"ThreadingModel", L"Apartment")) {
        RemoveRegistration();
        return SELFREG_E_CLASS;
    }
    for (const TypeKey& type : TypeKeys()) {
        if (!Claim(type)) {
            RemoveRegistration();
            TellTheShell();
            return SELFREG_E_TYPELIB;
        }
    }
    TellTheShell();
    return S_OK;
}

HRESULT Unregister() {
    const bool removed = RemoveRegistration();
    TellTheShell();
    return removed ? S_OK : SELFREG_E_CLASS;
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
