#pragma once
// The file list as child IDC_FILE_LIST of the main window, its names in the
// system's message font at the window's DPI.

#include "framework/FileListBox.h"
#include "res/ResourceIds.h"

inline bool CreateFileList(FileListBox& list, HWND parent) {
    return list.CreateList(parent, IDC_FILE_LIST);
}
