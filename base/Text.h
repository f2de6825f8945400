#pragma once
// The few text services the portable core needs from the platform. The
// Windows build calls the ANSI functions of the system (so CP932 stepping and
// case folding follow the active code page); the native build uses the rules
// of code page 932 and ASCII case folding.

#include <cstdint>

namespace text {

// Start of the character after the one at p; p itself at the terminator.
// A double-byte lead byte takes the following byte with it unless that byte
// is the terminator, so a scan never steps past the end of the text.
const char* NextChar(const char* p);

// True for a byte that starts a double-byte character.
bool IsLeadByte(char c);

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

// The separator that path joins use on this platform ('\\' on Windows).
char PathSeparator();

} // namespace text
