#pragma once
// IniReader: reads keys of one section of the settings file. Missing files,
// sections and keys give the default (the platform's rule).

#include "framework/Str.h"

#include <cstdint>

class IniReader {
public:
    void SetFile(const char* path) { file.Assign(path); }
    void SetSection(const char* name) { section.Assign(name); }
    int32_t GetInt(const char* key, int32_t defaultValue);
    // Into out's buffer as it is (reserve first); the characters copied.
    uint32_t GetString(const char* key, Str& out, const char* defaultText);

    Str file;
    Str section;
};
