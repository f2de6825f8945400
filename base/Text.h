#pragma once
// The few text services the portable core needs. Text is UTF-8 in both
// builds; the Windows build folds case and orders names through the system's
// wide functions, the native build folds ASCII letters only and takes file
// names' bytes as they are.

#include <cstdint>
#include <string>

namespace text {

// Start of the character after the one at p; p itself at the terminator.
// A UTF-8 lead byte takes the continuation bytes that follow it, at most as
// many as it announces, so a scan never steps past the end of the text and a
// byte below 0x80 is always a character of its own.
const char* NextChar(const char* p);

// How many bytes the character starting with byte c announces: 1 for ASCII
// and for a byte that starts no character.
int CharSize(char c);

// Comparison ignoring letter case; negative, zero or positive.
int CompareNoCase(const char* a, const char* b);

// The order of file names that people expect beside the system's file
// manager: runs of digits compare by their value (pic2 before pic10), the
// rest ignoring letter case; negative, zero or positive. Names that differ
// only in case or in leading zeros may compare equal.
int CompareNatural(const char* a, const char* b);

// Full path of the running executable into buffer (size bytes, including the
// terminator); the number of characters stored, 0 on failure.
uint32_t GetModulePath(char* buffer, uint32_t size);

// The whole file at path (UTF-8) into bytes; false when it cannot be read
// or holds more than mostBytes (nothing is read then).
bool ReadFileBytes(const char* path, std::string& bytes, uint64_t mostBytes = UINT64_MAX);

// The settings file's text as it is stored: on Windows in the system's code
// page when every character has a spelling there (so that earlier versions,
// which read that code page, still read it), otherwise as UTF-8 behind a
// byte-order mark. Elsewhere UTF-8 as it is.
void ToStoredText(std::string& text);
// Back to UTF-8: a byte-order mark says UTF-8, anything else is the
// system's code page.
void FromStoredText(std::string& bytes);

// The separator that path joins use on this platform ('\\' on Windows).
char PathSeparator();

} // namespace text
