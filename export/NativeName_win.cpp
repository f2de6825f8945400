#include "export/NativeName.h"

// The ANSI functions read the bytes in the system's code page, the one the
// documents were written in.
void ToNativeFileName(Str&) {}
