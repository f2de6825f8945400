#pragma once
// Text values under HKEY_CURRENT_USER, kept with their type: registering
// puts back a displaced REG_EXPAND_SZ value as REG_EXPAND_SZ, unexpanded.

#include <windows.h>

#include <string>

namespace userregistry {

struct Text {
    std::wstring value;
    DWORD type = REG_SZ; // REG_SZ or REG_EXPAND_SZ
};

// The value, of any length; false when it is absent or not text.
bool Read(const std::wstring& key, const wchar_t* name, Text& text);
// Writes value, creating key and its parents where missing.
bool Write(const std::wstring& key, const wchar_t* name, const Text& text);
bool Write(const std::wstring& key, const wchar_t* name, const std::wstring& value);
// Deletes key when nothing is left in it: no values, no subkeys.
void DeleteIfEmpty(const std::wstring& key);

} // namespace userregistry
