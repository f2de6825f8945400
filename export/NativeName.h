#pragma once
// Layer names are stored as CP932 bytes. The Windows build hands them to
// the ANSI file functions as they are; elsewhere they are turned into the
// system's encoding first, or the file names would show as garbage
// (NativeName_win.cpp, NativeName_posix.cpp).

#include "base/Str.h"

// Converts name, CP932 text, in place into the text the file system of this
// platform expects. A byte that is no CP932 character becomes "_".
void ToNativeFileName(Str& name);
