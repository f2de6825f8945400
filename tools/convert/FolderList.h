#pragma once
// The documents of a folder, as the viewer lists them.

#include <string>
#include <vector>

// Full paths of the entries of folder that are not folders and whose
// extension is qvm or qvr in any letter case, sorted by file name as the
// viewer's list is (numbers by value, case ignored; ties ignoring case, then
// in byte order); subfolders are not searched. False when the
// folder cannot be read.
bool ListDocuments(const std::string& folder, std::vector<std::string>& paths);

// Platform half (FolderList_win.cpp, FolderList_posix.cpp): the names of the
// entries of folder that are not folders, in the system's order.
bool ListFileNames(const std::string& folder, std::vector<std::string>& names);

// folder and name joined by the platform's separator (not doubled when the
// folder already ends in one).
std::string JoinPath(const std::string& folder, const std::string& name);
