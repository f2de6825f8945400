#pragma once
// The folder picker: the item dialog picking folders, or the older folder
// browser where that cannot be made; file-system folders only.

#include "base/Str.h"

#include <windows.h>

// The chosen folder's path into out. With stripRoot, a drive root such as
// D:\ comes back as D: so that joining a backslash and a name gives D:\name.
// The browser opens at startFolder when it names one (null or empty: at the
// top of the tree). Cancel and a choice without a file-system path are false.
bool PickFolder(HWND owner, const char* title, Str& out, bool stripRoot, const char* startFolder = nullptr);

// D:\ (three bytes) becomes D:; any other path is left as it is.
void StripDriveRoot(Str& path);
