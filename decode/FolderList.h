#pragma once
// The documents of a folder, as the viewer lists them and the converter
// converts them.

#include <string>
#include <vector>

// Full paths of the regular files of folder (links to them included) whose
// extension is qvm or qvr in any letter case, sorted by file name as the
// viewer's list is (numbers by value, case ignored; ties ignoring case, then
// in byte order); subfolders are not searched. False when the
// folder cannot be read.
bool ListDocuments(const std::string& folder, std::vector<std::string>& paths);

struct FoundDocument {
    std::string path;     // the folder argument joined with relative and name
    std::string relative; // the subfolder it was found in, "" at the top
};

// ListDocuments for folder, then, when recursive, for each subfolder in the
// same order, depth first; relative names the subfolder from folder.
// Links to folders are not followed, so a loop of links ends. False when
// folder itself cannot be read; unreadable subfolders go to unreadable.
bool ListDocumentTree(const std::string& folder, bool recursive, std::vector<FoundDocument>& found,
                      std::vector<std::string>& unreadable);

// Platform half (FolderList_win.cpp, FolderList_posix.cpp): the names of the
// entries of folder in the system's order, regular files and folders apart
// (pipes, devices and sockets in neither); folders reached through a link
// are left out of folders.
bool ListEntries(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>& folders);

// folder and name joined by the platform's separator (not doubled when the
// folder already ends in one). An empty folder gives name.
std::string JoinPath(const std::string& folder, const std::string& name);

// The file-name part of path, after its last separator.
std::string FileNameOf(const std::string& path);
