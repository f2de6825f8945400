#pragma once
// IniReader: reads keys of one section of the settings file. Missing files,
// sections and keys give the default. Windows reads through the system's
// profile functions; other systems follow the same rules in
// IniReader_posix.cpp, so the settings code builds, is tested and is fuzzed
// there too.

#include "base/Str.h"

#include <cstdint>

class IniReader {
public:
    void SetFile(const char* path) { file.Assign(path); }
    void SetSection(const char* name) { section.Assign(name); }
    // The value as a number: optional sign, decimal digits or "0x" and hex
    // digits, wrapping at 32 bits; the default when the key is missing or
    // its value is empty.
    int32_t GetInt(const char* key, int32_t defaultValue);
    // Into out's buffer as it is (reserve first), cut to the buffer; the
    // characters copied.
    uint32_t GetString(const char* key, Str& out, const char* defaultText);

    Str file;
    Str section;
};
