// regsvr32's entry points, for the thumbnail and the preview handler.
// Everything goes under HKEY_CURRENT_USER, so registering needs no
// administrator rights and reaches the current user only. The handlers are
// registered on the extension key and under SystemFileAssociations: once a
// program gives .qvm a ProgID of its own, Windows may look for them only
// there, whatever the ProgID.
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
const std::wstring kPreviewHandlers = L"Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers";
// Under a handler's class key: the handler a file type had before ours, by
// the key's place under Classes (".qvm", "SystemFileAssociations\.qvm").
constexpr wchar_t kReplacedPrefix[] = L"Replaced ";

// One of the DLL's two handlers.
struct Handler {
    const wchar_t* clsid;
    const wchar_t* description;
    const wchar_t* shellExKey; // the interface the shell looks the handler up by
    const wchar_t* appId;      // the process that hosts it, or null for the caller's
    std::wstring ClassKey() const { return kClasses + L"CLSID\\" + clsid; }
};

const Handler kHandlers[] = {
    {kThumbnailClsidText, L"Tessavel thumbnails", kThumbnailShellExKey, nullptr},
    // Previews run in the system's surrogate, isolated from Explorer.
    {kPreviewClsidText, L"Tessavel previews", kPreviewShellExKey, kPreviewSurrogateAppId},
};
const Handler& kPreview = kHandlers[1];

// A key under Classes that gets one of our handlers, with the name under
// which the handler it had before is kept.
struct TypeKey {
    const Handler* handler;
    std::wstring key;          // Software\Classes\.qvm
    std::wstring replacedName; // Replaced .qvm
    std::wstring HandlerKey() const { return key + L"\\ShellEx\\" + handler->shellExKey; }
};

std::vector<TypeKey> TypeKeys() {
    std::vector<TypeKey> keys;
    for (const Handler& handler : kHandlers) {
        for (const wchar_t* extension : kThumbnailExtensions) {
            for (const std::wstring& place :
                 {std::wstring(extension), L"SystemFileAssociations\\" + std::wstring(extension)})
                keys.push_back({&handler, kClasses + place, kReplacedPrefix + place});
        }
    }
    return keys;
}

bool IsOurs(const userregistry::Text& value, const Handler& handler) {
    return _wcsicmp(value.value.c_str(), handler.clsid) == 0;
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

bool WriteClass(const Handler& handler, const std::wstring& path) {
    const std::wstring server = handler.ClassKey() + L"\\InprocServer32";
    return userregistry::Write(handler.ClassKey(), nullptr, handler.description) &&
           (handler.appId == nullptr || userregistry::Write(handler.ClassKey(), L"AppID", handler.appId)) &&
           userregistry::Write(server, nullptr, path) && userregistry::Write(server, L"ThreadingModel", L"Apartment");
}

// Makes ours the handler of one key, keeping the one it displaces.
bool Claim(const TypeKey& type) {
    userregistry::Text before;
    if (userregistry::Read(type.HandlerKey(), nullptr, before) && !IsOurs(before, *type.handler) &&
        !userregistry::Write(type.handler->ClassKey(), type.replacedName.c_str(), before))
        return false;
    return userregistry::Write(type.HandlerKey(), nullptr, type.handler->clsid);
}

// Gives one key back: the displaced handler returns; a key we created and
// that holds nothing else goes. A handler registered after ours stays.
void Release(const TypeKey& type) {
    userregistry::Text now, replaced;
    if (!userregistry::Read(type.HandlerKey(), nullptr, now) || !IsOurs(now, *type.handler))
        return;
    if (userregistry::Read(type.handler->ClassKey(), type.replacedName.c_str(), replaced)) {
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
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPreviewHandlers.c_str(), kPreview.clsid);
    bool removed = true;
    for (const Handler& handler : kHandlers) {
        const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, handler.ClassKey().c_str());
        removed = removed && (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND);
    }
    return removed;
}

HRESULT Register() {
    std::wstring path;
    if (!ModulePath(path))
        return SELFREG_E_CLASS;
    // The preview pane lists the handlers it may run here.
    if (!WriteClass(kHandlers[0], path) || !WriteClass(kHandlers[1], path) ||
        !userregistry::Write(kPreviewHandlers, kPreview.clsid, kPreview.description)) {
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
