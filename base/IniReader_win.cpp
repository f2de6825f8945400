#include "base/IniReader.h"

#include <windows.h>

int32_t IniReader::GetInt(const char* key, int32_t defaultValue) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section.Text(), key, defaultValue, file.Text()));
}

uint32_t IniReader::GetString(const char* key, Str& out, const char* defaultText) {
    return GetPrivateProfileStringA(section.Text(), key, defaultText, out.data, out.BufferSize(), file.Text());
}
