#pragma once
// Where tessavel.ini lives. Beside the executable whenever that folder can be
// written, so a copy unpacked anywhere keeps its settings with it. A copy
// installed where the user cannot write (Program Files: a 64-bit program gets
// no file virtualisation) would lose them at every close, so there they are
// kept per user, in Tessavel\tessavel.ini under the roaming
// application-data folder. So is a save that the file beside the executable
// refuses (read-only, or held by another program), and the per-user file is
// read from then on, as long as it is the newer of the two.

#include "app/Settings.h"
#include "base/Str.h"

// True when the system's access check lets the user add files to folder.
// Nothing is created: a probe file at every start would be reported by
// Controlled Folder Access each time. A folder that passes may still refuse
// the save itself; the save then falls back.
bool MayCreateFilesIn(const char* folder);

struct SettingsPaths {
    Str read;     // read at start-up
    Str write;    // a save goes here first
    Str fallback; // and here when write refuses it; empty when there is none
};

// The rule, for the given folders (no trailing separator): write is
// programFolder\tessavel.ini when programFolder may be written, otherwise
// userFolder\Tessavel\tessavel.ini; fallback is the per-user file behind the
// one beside the executable. read is the per-user file when it exists and
// either the program folder may not be written or it is newer than the file
// beside the executable (a save that fell back); otherwise the file beside
// the executable. With no user folder all is the file beside the executable.
void ChooseSettingsPaths(const char* programFolder, const char* userFolder, SettingsPaths& paths);

// The rule for the running program: its own folder and the current user's
// roaming application-data folder. False when the program's folder is
// unknown.
bool FindSettingsPaths(SettingsPaths& paths);

// Creates the folder that holds path when it is missing (the per-user
// Tessavel folder before the first save).
bool MakeFolderOf(const char* path);

// Writes the settings to paths.write, and when that fails to paths.fallback
// (making its folder). False when neither took them.
bool SaveSettingsTo(const SettingsPaths& paths, const WindowState& window, const Settings& settings);
