#pragma once
// For the thumbnail handler's tests: regsvr32 run on the DLL, the current
// user's registry values it writes, and the handler created the way the shell
// creates it for a file type.

#include <windows.h>

#include <propsys.h>

#include <optional>
#include <string>

namespace shelltest {

// An exported function of module, or null.
template <typename Function> Function ModuleExport(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// True where registering and unregistering touch no one's real settings:
// under Wine (each build folder has a prefix of its own), or on Windows when
// TESSAVEL_REGISTRY_TESTS=1 says the user accepts that the tests register the
// handler for them and remove .qvm and .qvr keys of their own.
bool RegistryIsPrivate();

// The DLL of this build, as a Windows path.
std::wstring HandlerDll();

// Runs regsvr32 /s [/u] on the DLL; its exit code.
DWORD RunRegsvr32(bool unregister);

// A text value under HKEY_CURRENT_USER; nothing when absent.
std::optional<std::wstring> UserValue(const std::wstring& key, const wchar_t* name = nullptr);
// A text value as stored, unexpanded, with its type (REG_SZ, REG_EXPAND_SZ).
struct TypedText {
    std::wstring text;
    DWORD type;
    bool operator==(const TypedText& o) const { return text == o.text && type == o.type; }
};
std::optional<TypedText> UserTypedValue(const std::wstring& key, const wchar_t* name = nullptr);
bool UserKeyExists(const std::wstring& key);
void SetUserValue(const std::wstring& key, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ);
// Creates key as volatile: the registry then refuses to create a lasting key
// under it, which makes a registration fail at that point.
void CreateVolatileUserKey(const std::wstring& key);
void DeleteUserTree(const std::wstring& key);

// The handler registered for extension (".qvm"), asking for
// IInitializeWithStream. CoCreateInstance first; where COM does not see the
// per-user classes (Wine merges HKCU\Software\Classes into HKCR for nothing
// it did not write itself), the server the registration names is loaded and
// asked for its class object, as COM does. The module is given back for
// DllCanUnloadNow.
// shellExKey picks the handler: the thumbnail handler by default, or the
// preview handler (kPreviewShellExKey).
HRESULT CreateRegisteredHandler(const wchar_t* extension, IInitializeWithStream** handler, HMODULE* module,
                                const wchar_t* shellExKey = nullptr);

} // namespace shelltest
