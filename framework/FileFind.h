#pragma once
// FileFind: one folder search at a time, closed when a new one starts and
// when the object goes. Patterns and names are UTF-8.

#include <windows.h>

#include <string>

class FileFind {
public:
    FileFind() = default;
    ~FileFind() { Close(); }
    FileFind(const FileFind&) = delete;
    FileFind& operator=(const FileFind&) = delete;

    // False (and no search open) when nothing matches pattern.
    bool FindFirst(const char* pattern);
    bool FindNext();
    // False when no search was open.
    bool Close();
    bool IsDirectory() const { return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    const char* Name() const { return name.c_str(); }

    HANDLE handle = nullptr; // absent when no search is open
    WIN32_FIND_DATAW found{};
    std::string name; // found.cFileName in UTF-8
};
