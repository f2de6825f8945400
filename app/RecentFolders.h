#pragma once
// The five recent folders, index 0 the most recent.

#include "base/Str.h"

constexpr int kRecentFolderCount = 5;

// Makes folder the most recent entry. A folder already listed (compared
// ignoring case, whole text) moves to the top and the others keep their
// order; a new one pushes the oldest entry out.
void PushRecentFolder(Str (&recent)[kRecentFolderCount], const char* folder);
// The same, with shown[k] the document last shown in recent[k]: each moves
// with its folder, and a new folder has none yet.
void PushRecentFolder(Str (&recent)[kRecentFolderCount], Str (&shown)[kRecentFolderCount], const char* folder);

// Notes path as the document last shown in folder, when folder is one of the
// recent ones (compared as PushRecentFolder does).
void NoteRecentShown(const Str (&recent)[kRecentFolderCount], Str (&shown)[kRecentFolderCount], const char* folder,
                     const char* path);
// The document last shown in folder when it is a recent one; null for none.
const char* RecentShown(const Str (&recent)[kRecentFolderCount], const Str (&shown)[kRecentFolderCount],
                        const char* folder);

// The menu text of a folder: every '&' doubled, so the menu shows it instead
// of underlining the next letter. (No CP932 second byte is '&'.)
void RecentMenuText(const char* folder, Str& out);
