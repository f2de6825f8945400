#pragma once
// Layer names as people read them. The paint program stores each name as up
// to 32 bytes in the code page of the system that saved it, which for its
// users is nearly always CP932. One rule decides how those bytes are read,
// so the layers pane, the layer files and the layered exports all show the
// same name:
//   - bytes that are valid CP932 text holding at least one double-byte
//     character are read as CP932 (plain ASCII or Western bytes rarely pass
//     for that by chance);
//   - any other bytes are read in the system's ANSI code page on Windows and
//     as Windows-1252 elsewhere;
//   - a code page the user names instead (not 0) reads every name.
// A byte that is no character of the code page becomes "_".

#include <cstdint>
#include <string>

namespace text {

constexpr uint32_t kAutomaticCodePage = 0;
constexpr uint32_t kJapaneseCodePage = 932;

// The stored name (NUL-terminated) as UTF-8.
std::string DecodeLayerName(const char* stored, uint32_t codePage = kAutomaticCodePage);

// Whether name is CP932 text of lead and second bytes in their ranges and
// single bytes CP932 has, with at least one double-byte character.
bool LooksLikeCp932(const char* name);

// The code page of names that do not look like CP932: the system's ANSI one
// on Windows, 1252 elsewhere.
uint32_t FallbackNamesCodePage();

// Whether this system can read text in codePage.
bool CodePageSupported(uint32_t codePage);

// Platform half (LayerName_win.cpp, LayerName_posix.cpp): bytes in codePage
// as UTF-8, a byte that starts no character replaced by "_". strict: false
// instead when any byte is no character.
bool DecodeCodePage(const char* bytes, uint32_t codePage, bool strict, std::string& utf8);

} // namespace text
