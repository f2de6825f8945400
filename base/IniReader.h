#pragma once
// IniReader: reads keys of one section of the settings file. Missing files,
// sections and keys give the default. Every platform reads with the rules
// of the system's profile functions in IniReader_posix.cpp, from a file in
// the system's code page or in UTF-8 behind a byte-order mark. The file is
// read once, at the first key asked for after SetFile: a hostile file of
// megabytes costs one read, not one per key.

#include "base/Str.h"

#include <cstdint>
#include <string>

class IniReader {
public:
    // A larger file is read as missing. The program writes a few kilobytes;
    // the bound keeps a hostile file from taking the memory, and every length
    // within the 32 bits the system's text conversions count in.
    static constexpr uint64_t kMostFileBytes = uint64_t(16) << 20;

    void SetFile(const char* path) {
        file.Assign(path);
        read = false;
    }
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

private:
    // The file's text in UTF-8, or null when it cannot be read.
    const std::string* Text();

    std::string text;
    bool read = false;
    bool readable = false;
};
