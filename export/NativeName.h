#pragma once
// Layer names are stored as CP932 bytes (the code page of the system that
// saved them). File names are UTF-8 in the Windows build, converted from the
// system's ANSI code page; elsewhere they are turned into the system's
// encoding, or the file names would show as garbage (NativeName_win.cpp,
// NativeName_posix.cpp).

#include "base/Str.h"

// Converts name, stored text, in place into the text the file system of this
// platform expects. A byte that is no character becomes "_".
void ToNativeFileName(Str& name);
