#include "shell/UserRegistry.h"

#include <vector>

namespace userregistry {

bool Read(const std::wstring& key, const wchar_t* name, Text& text) {
    // RRF_NOEXPAND keeps %variables% as written, so that the value can be put
    // back as it was.
    constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0, type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, kFlags, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return false;
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = DWORD(buffer.size() * sizeof(wchar_t));
        const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, kFlags, &type, buffer.data(), &bytes);
        if (status == ERROR_MORE_DATA)
            continue; // it grew in between
        if (status != ERROR_SUCCESS)
            return false;
        text.value = buffer.data();
        text.type = type;
        return true;
    }
    return false;
}

bool Write(const std::wstring& key, const wchar_t* name, const Text& text) {
    const DWORD bytes = DWORD((text.value.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, text.type, text.value.c_str(), bytes) == ERROR_SUCCESS;
}

bool Write(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return Write(key, name, Text{value, REG_SZ});
}

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

} // namespace userregistry
