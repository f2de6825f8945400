#pragma once
// Where tessavel.ini lives. Beside the executable whenever that folder can be
// written, so a copy unpacked anywhere keeps its settings with it. A copy
// installed where the user cannot write (Program Files: a 64-bit program gets
// no file virtualisation) would lose them at every close, so there they are
// kept per user, in Tessavel\tessavel.ini under the roaming
// application-data folder.

#include "framework/Str.h"

// True when a file can be created in folder: a temporary file is made and
// deleted again. Attributes do not tell (a read-only attribute on a folder
// means nothing to the system; permissions do).
bool CanCreateFileIn(const char* folder);

// The rule, for the given folders (no trailing separator): writePath is
// programFolder\tessavel.ini when programFolder can be written, otherwise
// userFolder\Tessavel\tessavel.ini. readPath is writePath, except that a
// user who has not saved yet reads the file beside the executable, as
// installed. With no user folder both are the file beside the executable,
// and the result is false when that folder cannot be written.
bool ChooseSettingsPaths(const char* programFolder, const char* userFolder, Str& readPath, Str& writePath);

// The rule for the running program: its own folder and the current user's
// roaming application-data folder.
bool FindSettingsPaths(Str& readPath, Str& writePath);

// Creates the folder that holds path when it is missing (the per-user
// Tessavel folder before the first save).
bool MakeFolderOf(const char* path);
