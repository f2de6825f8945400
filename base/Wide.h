#pragma once
// The program keeps its text in UTF-8; the system's wide calls take UTF-16.
// These convert at the edge (Windows build only). Text that is no valid
// UTF-8 or UTF-16 converts with the replacement character in its place, so a
// broken name never turns into another file's name.

#include "base/Str.h"

#include <string>

std::wstring Widen(const char* utf8);
std::string Narrow(const wchar_t* wide);
std::string Narrow(const wchar_t* wide, size_t length);
void Narrow(const wchar_t* wide, Str& out);

// text in code page, e.g. 932 for the program's Japanese messages, as UTF-16.
std::wstring WidenFrom(unsigned codePage, const char* text);

// A path the wide file functions take beyond MAX_PATH characters whatever
// the system's long-path setting: a path of that length is made full (the
// prefix takes "." and ".." literally) and gets the "\\?\" prefix; shorter
// paths go as they are.
std::wstring WidePath(const char* utf8);
