#pragma once
// Several viewers may run at once, each having read tessavel.ini when it
// started. The one that closes last must not write its old copy of what the
// others changed (a Velmora path set in one would be lost): a save writes
// only the keys this viewer changed since it read them, over what the file
// holds at that moment.

#include "app/Settings.h"

// What to write: each key from current where it differs from loaded (what
// this viewer read at start), from onDisk (the file now) where it does not.
// The recent folders are one list and go together: this viewer's whole list
// when it changed any of them, the file's otherwise. The last file shown
// goes with them.
void MergeSettings(const Settings& loaded, const Settings& current, const Settings& onDisk, Settings& out);
void MergeWindowState(const WindowState& loaded, const WindowState& current, const WindowState& onDisk,
                      WindowState& out);
