#pragma once
// The system folder browser, file-system folders only.

#include "framework/Str.h"

#include <windows.h>

// The chosen folder's path into out. With stripRoot, a drive root such as
// D:\ comes back as D: so that joining a backslash and a name gives D:\name.
// Cancel and a choice without a file-system path are false.
bool PickFolder(HWND owner, const char* title, Str& out, bool stripRoot);

// D:\ (three bytes) becomes D:; any other path is left as it is.
void StripDriveRoot(Str& path);
